#include "shell/OpenBrowser.h"

#include <exception>

namespace korva {

void OpenBrowser(platform::Dialogs& dialogs, const QString& Address) {
    // A "mailto:" address (its first seven characters, any case) must open a
    // new message without a browser window. The desktop's handler does that
    // by itself: it chooses the mail program by the address's scheme and
    // never shows a browser for it, so both kinds take the same road here.
    // The failure may be known only after this returns (the opener ran but
    // found no program); it is reported then.
    auto report = [&dialogs] {
        dialogs.Message(BrowserMissingMessage, platform::MessageButtons::Ok, platform::AppTitle);
    };
    try {
        dialogs.OpenAddress(Address, report);
    } catch (const std::exception&) {
        report();  // no failure may leave this procedure
    }
}

}  // namespace korva
