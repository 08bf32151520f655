#include "record/CalendarView.h"

#include <algorithm>

#include <QPainter>

#include "record/Shades.h"

namespace korva {

CalendarView::CalendarView(QWidget* parent) : QWidget(parent) { setObjectName(QStringLiteral("calendar")); }

void CalendarView::setDays(QDate today, std::vector<int> perDay) {
    Today_ = today;
    PerDay_ = std::move(perDay);
    updateGeometry();
    update();
}

// Squares sized by the font, so the calendar grows with the text around it.
int CalendarView::Cell() const { return std::max(6, fontMetrics().height() * 3 / 4); }

// How many weeks before today's the day k days before today falls in, the
// weeks running Monday to Sunday.
int CalendarView::WeeksBack(int k) const { return (k + 7 - Today_.dayOfWeek()) / 7; }

// Today's week is the last column; the oldest day shown starts the first.
int CalendarView::Weeks() const {
    if (PerDay_.empty() || !Today_.isValid()) {
        return 0;
    }
    return WeeksBack(static_cast<int>(PerDay_.size()) - 1) + 1;
}

int CalendarView::Left() const { return fontMetrics().horizontalAdvance(QStringLiteral("月")) + Cell() / 2; }

int CalendarView::Top() const { return fontMetrics().height() + 2; }

QSize CalendarView::sizeHint() const {
    const int cell = Cell() + 2;
    // Room after the last week for a month's name that begins there.
    return {Left() + Weeks() * cell + fontMetrics().horizontalAdvance(QStringLiteral("12月")), Top() + 7 * cell};
}

void CalendarView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const int cell = Cell() + 2;
    const int weeks = Weeks();
    const int most = PerDay_.empty() ? 0 : *std::max_element(PerDay_.begin(), PerDay_.end());
    painter.setPen(palette().color(QPalette::WindowText));
    const QStringList weekdays{QStringLiteral("月"), QStringLiteral("水"), QStringLiteral("金")};
    for (int row = 0; row < 3; ++row) {
        painter.drawText(QRect(0, Top() + row * 2 * cell, Left(), cell), Qt::AlignLeft | Qt::AlignVCenter,
                         weekdays[row]);
    }
    int lastMonth = 0;
    for (int k = static_cast<int>(PerDay_.size()) - 1; k >= 0; --k) {
        const QDate day = Today_.addDays(-k);
        const int week = weeks - 1 - WeeksBack(k);
        const int row = day.dayOfWeek() - 1;
        const QRect square(Left() + week * cell, Top() + row * cell, cell - 2, cell - 2);
        painter.fillRect(square, Shade(palette(), PerDay_[static_cast<std::size_t>(k)], most));
        if (day.month() != lastMonth && row == 0) {
            lastMonth = day.month();
            painter.setPen(palette().color(QPalette::WindowText));
            painter.drawText(QPoint(square.left(), fontMetrics().ascent()), QStringLiteral("%1月").arg(day.month()));
        }
    }
}

}  // namespace korva
