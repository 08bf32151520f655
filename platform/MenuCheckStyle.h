#pragma once

#include <QProxyStyle>

namespace korva::platform {

// Menus whose checkable items show a bare check mark while checked and
// nothing at all while unchecked, as Windows menus do; the application's
// style draws an empty box for the latter.
class MenuCheckStyle : public QProxyStyle {
public:
    MenuCheckStyle();

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
};

}  // namespace korva::platform
