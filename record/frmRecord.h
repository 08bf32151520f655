#pragma once

#include <memory>

#include <QWidget>

#include "document/DeckSession.h"

class QLabel;

namespace korva {

class CalendarView;
class ForecastView;

// 学習の記録: a deck's record drawn, as it stands after every action on the
// deck: the reviews a day over a year and the days studied in a row, the
// cards due on each of the next days, retention against the deck's target,
// and the cards new, learning and learnt in each direction.
class frmRecord : public QWidget, private DeckListener {
    Q_OBJECT

public:
    explicit frmRecord(std::shared_ptr<DeckSession> session, QWidget* parent = nullptr);
    ~frmRecord() override;
    frmRecord(const frmRecord&) = delete;
    frmRecord& operator=(const frmRecord&) = delete;

    const DeckSession& getSession() const { return *Session_; }

private:
    void DeckChanged(const DeckChange& /*change*/) override {}
    void DeckActionEnded() override { Fresh(); }
    void Fresh();

    std::shared_ptr<DeckSession> Session_;
    CalendarView* Calendar_ = nullptr;
    ForecastView* Forecast_ = nullptr;
    QLabel* Streak_ = nullptr;
    QLabel* Retention_ = nullptr;
    QLabel* Today_ = nullptr;
    QLabel* Directions_ = nullptr;
};

}  // namespace korva
