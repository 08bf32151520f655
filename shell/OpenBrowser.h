#pragma once

#include <QString>

#include "platform/Dialogs.h"

namespace korva {

// The message shown when nothing could open an address.
inline const QString BrowserMissingMessage =
    QStringLiteral("Microsoft InternetExplorer（Ver 5.0以上推進）がありません。") + QStringLiteral("\r\n") +
    QStringLiteral("（弊団体まで連絡下されば適切な処置をします。）");

// Shows Address in the web browser, or hands a "mailto:" address to the mail
// program, without waiting for either. A failure is reported in a message
// box, once, now or when the desktop tells it; the caller always goes on.
// dialogs must outlive that report.
void OpenBrowser(platform::Dialogs& dialogs, const QString& Address);

}  // namespace korva
