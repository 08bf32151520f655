#include "cardwindow/CaptionFrame.h"

#include <qdrawutil.h>
#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

namespace korva {

namespace {

constexpr int CaptionIndent = 8;  // from the frame's left edge to the caption
constexpr int CaptionGap = 2;     // line left out on each side of the caption

}  // namespace

CaptionFrame::CaptionFrame(const QString& caption, int bandHeight, QWidget* parent)
    : QGroupBox(caption, parent), Band_(bandHeight) {}

// The window's font, made smaller only when its letters would not fit the
// band, so the caption is always whole.
QFont CaptionFrame::CaptionFont() const {
    QFont captionFont = font();
    while (QFontMetrics(captionFont).tightBoundingRect(title()).height() > Band_ && captionFont.pointSizeF() > 4) {
        captionFont.setPointSizeF(captionFont.pointSizeF() - 0.5);
    }
    return captionFont;
}

// Across: the caption's advance from the indent. Down: its letters' ink,
// centred in the band.
QRect CaptionFrame::CaptionRect() const {
    const QFontMetrics metrics(CaptionFont());
    const QRect ink = metrics.tightBoundingRect(title());
    return QRect(CaptionIndent, (Band_ - ink.height()) / 2, metrics.horizontalAdvance(title()), ink.height());
}

// Keys that reach a frame go on to the window, as they do past a frame on
// Windows. Qt's group box keeps the keys that press a button for its check
// box even when it has none, and the GNOME desktop counts Enter among them:
// Enter in the answer box would never reach the window's default button.
bool CaptionFrame::event(QEvent* event) {
    const bool key = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease;
    if (key && !isCheckable()) {
        return QWidget::event(event);  // NOLINT(bugprone-parent-virtual-call)
    }
    return QGroupBox::event(event);
}

void CaptionFrame::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const int lineTop = Band_ / 2;
    qDrawShadeRect(&painter, QRect(0, lineTop, width(), height() - lineTop), palette(), true, 1);

    const QFont captionFont = CaptionFont();
    const QRect ink = QFontMetrics(captionFont).tightBoundingRect(title());
    const QRect place = CaptionRect();
    painter.fillRect(QRect(place.left() - CaptionGap, 0, place.width() + 2 * CaptionGap, Band_), palette().window());
    painter.setFont(captionFont);
    painter.setPen(palette().color(QPalette::WindowText));
    // tightBoundingRect is relative to the pen position on the baseline.
    painter.drawText(place.left(), place.top() - ink.top(), title());
}

}  // namespace korva
