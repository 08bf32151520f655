#include "platform/MenuCheckStyle.h"

#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QStyleFactory>
#include <QStyleOption>

namespace korva::platform {

namespace {

void DrawCheckMark(const QStyleOption& option, QPainter& painter) {
    const QRectF box = QRectF(option.rect).adjusted(2, 2, -2, -2);
    const QSizeF size = box.size();
    QPainterPath tick;
    tick.moveTo(box.left() + size.width() * 0.15, box.top() + size.height() * 0.5);
    tick.lineTo(box.left() + size.width() * 0.4, box.top() + size.height() * 0.78);
    tick.lineTo(box.left() + size.width() * 0.85, box.top() + size.height() * 0.2);

    const QPalette::ColorRole role =
        (option.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(option.palette.color(role), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(tick);
    painter.restore();
}

}  // namespace

// Built on a fresh instance of the application's own style, so everything
// but the check mark looks as the rest of the program does.
MenuCheckStyle::MenuCheckStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}

void MenuCheckStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                   const QWidget* widget) const {
    if (element == PE_IndicatorCheckBox && qobject_cast<const QMenu*>(widget)) {
        if (option->state & State_On) {
            DrawCheckMark(*option, *painter);
        }
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

}  // namespace korva::platform
