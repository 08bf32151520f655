#pragma once

#include <vector>

#include <QDate>
#include <QWidget>

namespace korva {

// Reviews a day over the last year as a calendar: a column a week, Monday
// at the top, each day's square darker for more reviews.
class CalendarView : public QWidget {
    Q_OBJECT

public:
    explicit CalendarView(QWidget* parent = nullptr);

    // perDay[0] is today (the day of study holding now), perDay[k] k days before.
    void setDays(QDate today, std::vector<int> perDay);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int Cell() const;
    int WeeksBack(int k) const;
    int Weeks() const;
    int Left() const;
    int Top() const;

    QDate Today_;
    std::vector<int> PerDay_;
};

}  // namespace korva
