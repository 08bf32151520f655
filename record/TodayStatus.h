#pragma once

#include <memory>

#include <QLabel>

#include "document/DeckDocument.h"

namespace korva {

// The status bar's 「復習 N枚・新規 M枚」: what is left to study today in the
// deck it watches, counted again after every action on it. Blank for a deck
// that keeps no record, and with no deck.
class TodayStatus : public QLabel, private DeckListener {
    Q_OBJECT

public:
    explicit TodayStatus(QWidget* parent = nullptr);
    ~TodayStatus() override;
    TodayStatus(const TodayStatus&) = delete;
    TodayStatus& operator=(const TodayStatus&) = delete;

    // Held until another deck is watched, so the count never reads a deck gone.
    void Watch(std::shared_ptr<DeckDocument> document);

private:
    void DeckChanged(const DeckChange& /*change*/) override {}
    void DeckActionEnded() override { Fresh(); }
    void Fresh();

    std::shared_ptr<DeckDocument> Document_;
};

}  // namespace korva
