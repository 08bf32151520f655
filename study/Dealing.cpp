// Start and NextCard: the dealing cycle.
//
// NextCard is a loop. Where the dealing rules end a used-up cycle by calling
// Start (which deals through its own NextCard, then redraws), the loop begins
// the new cycle in place and goes on dealing, so any number of skips and new
// cycles costs no stack. The redraws those nested Starts would make all come
// after the last deal, one after another, with nothing changing in between,
// so the window cannot tell one of them from many: NextCard redraws once at
// its end when at least one new cycle began.
//
// In shuffled order with a narrow filter a deal may run through thousands of
// new cycles, each used up after a position or two. Those cycles are drawn
// only as far as they are dealt (LazyShuffle), and only the cycle that deals
// the passing card is drawn in full; it is the list ShuffleTurn would have
// built from the same generator.
#include <algorithm>
#include <limits>
#include <stdexcept>

#include "study/CountingMark.h"
#include "study/DeckIndex.h"
#include "study/LazyShuffle.h"
#include "study/StudyEngine.h"

namespace korva {

StudyEngine::FilterFacts StudyEngine::ReadFilterFacts() const {
    FilterFacts Facts;
    Facts.Total = getTotal();
    Facts.Filtered = isFilteredView(getViewKind());
    if (!Facts.Filtered) {
        return Facts;
    }
    const auto& Questions = CardData_.QuestionItems;
    const auto& Checks = CardData_.Checks;
    for (int Card = Facts.Total; Card >= 0; --Card) {
        const auto Slot = static_cast<std::size_t>(Card);
        const bool Readable =
            Slot < Questions.size() && Slot < Checks.size() && Questions[Slot] >= 0 && Questions[Slot] <= 2;
        if (!Readable) {
            Facts.LastUnreadable = std::max(Facts.LastUnreadable, Card);
        } else if (Facts.LastPassing < 0 && PassesView(CardData_, Card)) {
            Facts.LastPassing = Card;
        }
    }
    return Facts;
}

bool StudyEngine::isValidCardWith(const FilterFacts& Facts, int16_t StartNumber) const {
    if (!Facts.Filtered) {
        return true;
    }
    // A card whose mark cannot be read fails the plain scan when the scan
    // reaches it; only the plain scan knows whether it does.
    if (Facts.LastUnreadable >= StartNumber || StartNumber < 0) {
        return isValidCard(StartNumber);
    }
    return Facts.LastPassing >= StartNumber;
}

bool StudyEngine::isNextCardWith(const FilterFacts& Facts) const {
    if (Facts.Total == CardCount_) {
        return false;
    }
    return isValidCardWith(Facts, CardCount_);
}

void StudyEngine::ResetCycle() {
    setOpenItem(false);
    setCardCount(0);
    ResetCardTurn();
}

void StudyEngine::BeginCycle() {
    ResetCycle();
    // A damaged order mode deals in deck order; the stored byte stays until
    // the user picks an order.
    if (getTurnMode() == 2) {
        ShuffleTurn();
    } else {
        NormalTurn();
    }
}

bool StudyEngine::DealtCardPasses(int16_t Card) const {
    return !isFilteredView(getViewKind()) || PassesView(CardData_, Card);
}

// Deals until a card passes the filter; returns how many new cycles began.
int StudyEngine::DealToPassingCard() {
    // With no card at all nothing can ever pass, not even under all cards:
    // the cycle stays empty and nothing is on show.
    if (getTotal() <= 0) {
        setOpenItem(false);
        setCardCount(0);
        return 0;
    }
    FilterFacts Facts = ReadFilterFacts();
    // A shuffled cycle begun in this loop and not yet drawn in full. Whatever
    // leaves the loop, the message hook or a failure included, first writes
    // it out, so the turn list never shows a cycle half drawn.
    LazyShuffle Shuffled;
    const auto Settle = [this, &Shuffled] {
        if (Shuffled.isDrawing()) {
            Shuffled.Complete(CardTurn_);
        }
    };
    int NewCycles = 0;
    try {
        for (;;) {
            if (!isValidCardWith(Facts, 1)) {
                Settle();
                ShowNoCardMessage(NoCardMessage);
                setViewKind(4);
                Facts = ReadFilterFacts();
            }
            if (!isNextCardWith(Facts)) {
                ResetCycle();
                if (getTurnMode() == 2) {
                    Shuffled.Begin(getTotal(), Random_);
                } else {
                    Shuffled = LazyShuffle();
                    NormalTurn();
                }
                ++NewCycles;
                continue;
            }
            OpenItem_ = false;
            if (CardCount_ == std::numeric_limits<int16_t>::max()) {
                throw std::overflow_error("the position cannot pass 32767");
            }
            ++CardCount_;
            const int16_t Card = Shuffled.isDrawing() ? Shuffled.CardAt(CardCount_) : getCardTurn(CardCount_);
            if (DealtCardPasses(Card)) {
                Settle();
                return NewCycles;
            }
        }
    } catch (...) {
        Settle();
        throw;
    }
}

void StudyEngine::NextCard() {
    if (DealToPassingCard() > 0) {
        FreshScreen();
    }
}

void StudyEngine::Start() {
    BeginCycle();
    NextCard();
    FreshScreen();
}

}  // namespace korva
