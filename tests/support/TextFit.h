#pragma once

#include <QFont>
#include <QStringList>

#include "platform/Dialogs.h"

class QWidget;

namespace korva::test {

// The desktop font sizes the windows are tried under: Qt's own and KDE's
// 9 and 10 pt, GNOME's 11 pt and a large-print 14 pt.
inline constexpr int DesktopPointSizes[] = {9, 10, 11, 14};

// The application font a desktop's platform theme would set, for the life of
// the object.
class DesktopFont {
public:
    explicit DesktopFont(int points);
    ~DesktopFont();
    DesktopFont(const DesktopFont&) = delete;
    DesktopFont& operator=(const DesktopFont&) = delete;

private:
    QFont Saved_;
};

// Every text of the window whose line does not fit the box it is drawn in,
// or runs into a neighbouring control: labels, buttons, frame captions, and
// the items of its menu bar and of every menu it owns or shows there; and
// every menu the window owns itself that has another font than the window.
QStringList TextsOutsideTheirBoxes(const QWidget& window);

// The same for the program's message box with this text, shown under the
// current desktop font, and what keeps a window manager from showing its
// title whole or gives it minimise and maximise buttons.
QStringList MessageBoxMisfits(const QString& text, platform::MessageButtons buttons, const QString& title);

}  // namespace korva::test
