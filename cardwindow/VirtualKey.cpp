#include "cardwindow/VirtualKey.h"

#include <QKeyEvent>

namespace korva {

namespace {
constexpr quint32 ScanCodeRightOfL = 47;
constexpr quint32 ScanCodeRightOfThat = 48;
}  // namespace

int16_t VirtualKeyCode(const QKeyEvent& event) {
    switch (event.nativeScanCode()) {
        case ScanCodeRightOfL: return VirtualKeyCheck;
        case ScanCodeRightOfThat: return VirtualKeyUncheck;
        case 0: break;
        default: return 0;
    }
    const QString text = event.text();
    if (text == u";" || text == u"+") {
        return VirtualKeyCheck;
    }
    if (text == u":" || text == u"*") {
        return VirtualKeyUncheck;
    }
    return 0;
}

bool ProducesCharacter(const QKeyEvent& event) {
    const int key = event.key();
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    const bool control = modifiers & Qt::ControlModifier;
    const bool alt = modifiers & Qt::AltModifier;
    // Ctrl+Alt is how that platform spells AltGr, which types characters.
    if ((alt && !control) || (modifiers & Qt::MetaModifier)) {
        return false;
    }

    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
        case Qt::Key_Backspace: return true;
        default: break;
    }
    // Keys outside Unicode (Tab, Delete, arrows, function keys, dead keys,
    // input-method switches) produce nothing, whatever text X attaches.
    if (key >= Qt::Key_Escape) {
        return false;
    }
    if (control && !alt) {
        // The control codes 1 to 26 and 27 to 29.
        return (key >= Qt::Key_A && key <= Qt::Key_Z) || key == Qt::Key_BracketLeft || key == Qt::Key_Backslash ||
               key == Qt::Key_BracketRight;
    }
    return !event.text().isEmpty();
}

}  // namespace korva
