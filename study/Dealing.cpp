// Start and NextCard: the dealing cycle.
//
// NextCard is a loop. Where the dealing rules end a used-up cycle by calling
// Start (which deals through its own NextCard, then redraws), the loop begins
// the new cycle in place and goes on dealing, so any number of skips and new
// cycles costs no stack. The redraws those nested Starts would make all come
// after the last deal, one after another, with nothing changing in between:
// NextCard makes them at its end, one per new cycle, so the window sees the
// same sequence of redraws (and the same final screen) as the nested calls
// would give it.
#include <limits>
#include <stdexcept>

#include "study/StudyEngine.h"

namespace korva {

void StudyEngine::BeginCycle() {
    setOpenItem(false);
    setCardCount(0);
    ResetCardTurn();
    // A damaged order mode deals in deck order; the stored byte stays until
    // the user picks an order.
    if (getTurnMode() == 2) {
        ShuffleTurn();
    } else {
        NormalTurn();
    }
}

bool StudyEngine::DealtCardPasses() const {
    const uint8_t ViewKind = getViewKind();
    if (ViewKind != 1 && ViewKind != 2) {
        return true;
    }
    return PassesFilter(getShowCardIndex());
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
    int NewCycles = 0;
    for (;;) {
        if (!isValidCardWith(Facts, 1)) {
            ShowNoCardMessage(NoCardMessage);
            setViewKind(4);
            Facts = ReadFilterFacts();
        }
        if (!isNextCardWith(Facts)) {
            BeginCycle();
            ++NewCycles;
            continue;
        }
        setOpenItem(false);
        if (getCardCount() == std::numeric_limits<int16_t>::max()) {
            throw std::overflow_error("the position cannot pass 32767");
        }
        setCardCount(static_cast<int16_t>(getCardCount() + 1));
        if (DealtCardPasses()) {
            return NewCycles;
        }
    }
}

void StudyEngine::NextCard() {
    const int NewCycles = DealToPassingCard();
    for (int Cycle = 0; Cycle < NewCycles; ++Cycle) {
        FreshScreen();
    }
}

void StudyEngine::Start() {
    BeginCycle();
    NextCard();
    FreshScreen();
}

}  // namespace korva
