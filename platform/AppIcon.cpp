#include "platform/AppIcon.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>

namespace korva::platform {

namespace {

// Only colours of the classic 16-colour palette, drawn without smoothing, so
// the picture stays a 16-colour icon at its own size.
constexpr QRgb Black = 0xff000000;
constexpr QRgb Navy = 0xff000080;
constexpr QRgb Maroon = 0xff800000;
constexpr QRgb Gray = 0xff808080;
constexpr QRgb Silver = 0xffc0c0c0;
constexpr QRgb Red = 0xffff0000;
constexpr QRgb Yellow = 0xffffff00;
constexpr QRgb White = 0xffffffff;

void DrawCard(QPainter& painter, const QRect& card, QRgb face) {
    painter.fillRect(card.translated(2, 2), QColor::fromRgb(Gray));
    painter.fillRect(card, QColor::fromRgb(face));
    painter.setPen(QColor::fromRgb(Black));
    painter.drawRect(card.adjusted(0, 0, -1, -1));
}

QImage DrawIcon() {
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);

    DrawCard(painter, QRect(9, 2, 20, 15), Yellow);
    DrawCard(painter, QRect(2, 11, 22, 17), White);

    painter.setPen(QColor::fromRgb(Navy));
    for (int y : {15, 18, 21}) {
        painter.drawLine(5, y, 13, y);
    }
    painter.setPen(QColor::fromRgb(Silver));
    painter.drawLine(5, 24, 13, 24);

    // The tick of a learnt card.
    painter.setPen(QPen(QColor::fromRgb(Red), 2));
    painter.drawLine(14, 19, 17, 23);
    painter.drawLine(17, 23, 22, 13);
    painter.setPen(QColor::fromRgb(Maroon));
    painter.drawLine(12, 4, 26, 4);
    return image;
}

}  // namespace

QIcon AppIcon() {
    // A static pixmap would outlive the application object; an image may.
    static const QImage image = DrawIcon();
    return QIcon(QPixmap::fromImage(image));
}

}  // namespace korva::platform
