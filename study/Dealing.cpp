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

#include "document/DeckIndex.h"
#include "study/CountingMark.h"
#include "study/LazyShuffle.h"
#include "study/StudyEngine.h"

namespace korva {

StudyDays StudyEngine::Today() const { return StudyDays(getDocument().Now(), QTimeZone::systemTimeZone()); }

const DuePasses& StudyEngine::ReadDuePasses() const {
    const StudyDays today = Today();
    const std::uint64_t revision = getDocument().getRevision();
    if (!Due_.valid || Due_.revision != revision || Due_.todayStart != today.TodayStart()) {
        Due_.due = korva::ReadDuePasses(getDocument().getDeck(), today);
        Due_.revision = revision;
        Due_.todayStart = today.TodayStart();
        Due_.valid = true;
    }
    return Due_.due;
}

StudyEngine::FilterFacts StudyEngine::ReadFilterFacts() const {
    FilterFacts facts;
    facts.total = getTotal();
    if (isDueView(getCardData())) {
        facts.filtered = true;
        facts.due = &ReadDuePasses();
        facts.lastPassing = facts.due->lastPassing;
        return facts;
    }
    facts.filtered = isFilteredView(getViewKind());
    if (!facts.filtered) {
        return facts;
    }
    const auto& questions = getCardData().QuestionItems;
    const auto& checks = getCardData().Checks;
    for (int card = facts.total; card >= 0; --card) {
        const auto slot = static_cast<std::size_t>(card);
        const bool readable =
            slot < questions.size() && slot < checks.size() && questions[slot] >= 0 && questions[slot] <= 2;
        if (!readable) {
            facts.lastUnreadable = std::max(facts.lastUnreadable, card);
        } else if (facts.lastPassing < 0 && PassesView(getCardData(), card)) {
            facts.lastPassing = card;
        }
    }
    return facts;
}

bool StudyEngine::isValidCardWith(const FilterFacts& facts, int16_t StartNumber) const {
    if (!facts.filtered) {
        return true;
    }
    // A card whose mark cannot be read fails the plain scan when the scan
    // reaches it; only the plain scan knows whether it does.
    if (facts.lastUnreadable >= StartNumber || StartNumber < 0) {
        return isValidCard(StartNumber);
    }
    return facts.lastPassing >= StartNumber;
}

bool StudyEngine::isNextCardWith(const FilterFacts& facts) const {
    if (facts.total == CardCount_) {
        return false;
    }
    return isValidCardWith(facts, CardCount_);
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
    if (getTurnMode() == TurnShuffle) {
        ShuffleTurn();
    } else {
        NormalTurn();
    }
}

bool StudyEngine::DealtCardPasses(const FilterFacts& facts, int16_t card) const {
    if (!facts.filtered) {
        return true;
    }
    if (facts.due != nullptr) {
        return facts.due->Passes(card);
    }
    // Past the last passing card every readable card fails; knowing that
    // spares a look into the deck for each of the many cards a narrow filter
    // skips.
    if (card > facts.lastPassing && card > facts.lastUnreadable) {
        return false;
    }
    return PassesView(getCardData(), card);
}

// Deals until a card passes the filter; true when the window must redraw
// though the deal's own change may not show it: a new cycle began, or the
// due view has nothing left to show.
bool StudyEngine::DealToPassingCard() {
    // With no card at all nothing can ever pass, not even under all cards:
    // the cycle stays empty and nothing is on show.
    if (getTotal() <= 0) {
        setOpenItem(false);
        setCardCount(0);
        return false;
    }
    FilterFacts facts = ReadFilterFacts();
    // A shuffled cycle begun in this loop and not yet drawn in full. Whatever
    // leaves the loop, the message hook or a failure included, first writes
    // it out, so the turn list never shows a cycle half drawn.
    LazyShuffle shuffled;
    const auto settle = [this, &shuffled] {
        if (shuffled.isDrawing()) {
            shuffled.Complete(CardTurn_);
        }
    };
    int newCycles = 0;
    try {
        for (;;) {
            if (!isValidCardWith(facts, 1) && facts.due != nullptr) {
                // The view stays: what the schedule asks for comes back with
                // the day, or with the next answer given in another view.
                settle();
                ShowNoCardMessage(NothingDueMessage(getDocument().getDeck(), Today(), QTimeZone::systemTimeZone()));
                setOpenItem(false);
                setCardCount(0);
                return true;
            }
            if (!isValidCardWith(facts, 1)) {
                settle();
                ShowNoCardMessage(NoCardMessage);
                setViewKind(ViewAll);
                facts = ReadFilterFacts();
            }
            if (!isNextCardWith(facts)) {
                ResetCycle();
                if (getTurnMode() == TurnShuffle) {
                    shuffled.Begin(getTotal(), Random_);
                } else {
                    shuffled = LazyShuffle();
                    NormalTurn();
                }
                ++newCycles;
                continue;
            }
            OpenItem_ = false;
            if (CardCount_ == std::numeric_limits<int16_t>::max()) {
                throw std::overflow_error("the position cannot pass 32767");
            }
            ++CardCount_;
            const int16_t card = shuffled.isDrawing() ? shuffled.CardAt(CardCount_) : getCardTurn(CardCount_);
            if (DealtCardPasses(facts, card)) {
                settle();
                return newCycles > 0;
            }
        }
    } catch (...) {
        settle();
        throw;
    }
}

void StudyEngine::NextCard() {
    if (DealToPassingCard()) {
        FreshScreen();
    }
}

void StudyEngine::Restart() {
    BeginCycle();
    NextCard();
}

void StudyEngine::Start() {
    Restart();
    FreshScreen();
}

}  // namespace korva
