#pragma once

#include <array>

#include <QWidget>

#include "study/Schedule.h"

namespace korva {

// Cards due on each of the next days as bars, today's (overdue ones with
// it) first.
class ForecastView : public QWidget {
    Q_OBJECT

public:
    explicit ForecastView(QWidget* parent = nullptr);

    void setForecast(const std::array<int, ForecastDays>& forecast);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::array<int, ForecastDays> Forecast_{};
};

}  // namespace korva
