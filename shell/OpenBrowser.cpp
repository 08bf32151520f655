#include "shell/OpenBrowser.h"

#include <exception>

namespace korva {

void OpenBrowser(platform::Dialogs& dialogs, const QString& Address) {
    // A "mailto:" address (its first seven characters, any case) must open a
    // new message without a browser window. The desktop's handler does that
    // by itself: it chooses the mail program by the address's scheme and
    // never shows a browser for it, so both kinds take the same road here.
    bool opened = false;
    try {
        opened = dialogs.OpenAddress(Address);
    } catch (const std::exception&) {
        opened = false;  // no failure may leave this procedure
    }
    if (!opened) {
        dialogs.Message(BrowserMissingMessage, platform::MessageButtons::Ok, platform::AppTitle);
    }
}

}  // namespace korva
