#include "record/ForecastView.h"

#include <algorithm>

#include <QPainter>

namespace korva {

ForecastView::ForecastView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("forecast"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void ForecastView::setForecast(const std::array<int, ForecastDays>& forecast) {
    Forecast_ = forecast;
    update();
}

QSize ForecastView::sizeHint() const {
    const int line = fontMetrics().height();
    return {ForecastDays * line, line * 7};
}

// Bars scaled to the busiest day, whose count stands above it; the days
// are named under every seventh bar.
void ForecastView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const int line = fontMetrics().height();
    const QRect plot = rect().adjusted(0, line, 0, -line - 2);
    const int most = *std::max_element(Forecast_.begin(), Forecast_.end());
    const double slot = static_cast<double>(plot.width()) / ForecastDays;
    const QColor text = palette().color(QPalette::WindowText);
    painter.setPen(text);
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    for (int day = 0; day < ForecastDays; ++day) {
        const int left = plot.left() + static_cast<int>(day * slot);
        const int width = std::max(1, static_cast<int>(slot) - 2);
        const int count = Forecast_[static_cast<std::size_t>(day)];
        if (count > 0 && most > 0) {
            const int height = std::max(1, plot.height() * count / most);
            painter.fillRect(QRect(left + 1, plot.bottom() - height + 1, width, height),
                             palette().color(QPalette::Highlight));
            if (count == most) {
                painter.drawText(QRect(left - line, plot.bottom() - height - line, width + 2 * line, line),
                                 Qt::AlignHCenter | Qt::AlignBottom, QString::number(count));
            }
        }
        if (day % 7 == 0) {
            const QString name = day == 0 ? QStringLiteral("今日") : QStringLiteral("%1日後").arg(day);
            painter.drawText(QRect(left, plot.bottom() + 2, 4 * line, line), Qt::AlignLeft | Qt::AlignTop, name);
        }
    }
}

}  // namespace korva
