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
    if (text == u";" || text == u"+") return VirtualKeyCheck;
    if (text == u":" || text == u"*") return VirtualKeyUncheck;
    return 0;
}

}  // namespace korva
