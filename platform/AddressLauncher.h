#pragma once

#include <functional>

#include <QString>

namespace korva::platform {

// The desktop's opener for addresses: it chooses the browser or, for a
// "mailto:" address, the mail program.
inline const QString DesktopLauncher = QStringLiteral("xdg-open");

// Starts program with the address (a web or mail address as it is, a local
// file as a file URL) and returns without waiting for it. done is called
// once, when the outcome is known: true when the program ran and ended with
// status 0, false when it could not start, crashed or ended with another
// status.
void LaunchAddress(const QString& program, const QString& address, const std::function<void(bool)>& done);

}  // namespace korva::platform
