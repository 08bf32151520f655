// The turn list of a cycle, the position in it and the order mode.
#include <limits>
#include <numeric>
#include <stdexcept>

#include "document/DeckIndex.h"
#include "study/StudyEngine.h"
#include "study/TurnShuffle.h"

namespace korva {

int16_t StudyEngine::getTotal() const {
    const std::size_t cardSlots = getCardData().Items.size();
    // A deck past the 16-bit limit must be refused, not read as a wrapped total.
    if (cardSlots > static_cast<std::size_t>(MaxCards) + 1) {
        throw std::overflow_error("the deck holds more than 32767 cards");
    }
    return getCardData().Total();
}

void StudyEngine::setCardCount(int16_t Value) { CardCount_ = Value; }

int16_t StudyEngine::getCardCount() const { return CardCount_; }

void StudyEngine::ResetCardTurn() { CardTurn_.assign(1, 0); }

void StudyEngine::setCardTurn(int16_t Value) {
    // The upper bound of the list is a 16-bit position too.
    if (CardTurn_.size() > static_cast<std::size_t>(std::numeric_limits<int16_t>::max())) {
        throw std::overflow_error("the turn list cannot grow past position 32767");
    }
    CardTurn_.push_back(Value);
}

int16_t StudyEngine::getCardTurn(int16_t CardCount) const {
    return CardTurn_[DeckIndex(CardCount, CardTurn_.size(), "position")];
}

void StudyEngine::RemoveCardTurn() {
    // Entry 0 is the placeholder of position 0 and cannot be dropped.
    if (CardTurn_.size() <= 1) {
        throw std::out_of_range("the turn list holds only its placeholder");
    }
    CardTurn_.pop_back();
}

void StudyEngine::NormalTurn() {
    const int16_t total = getTotal();
    if (total <= 0) {
        return;
    }
    // Appends like setCardTurn does, one card at a time, but in one step.
    if (CardTurn_.size() + static_cast<std::size_t>(total) > static_cast<std::size_t>(MaxCards) + 1) {
        throw std::overflow_error("the turn list cannot grow past position 32767");
    }
    const std::size_t first = CardTurn_.size();
    CardTurn_.resize(first + static_cast<std::size_t>(total));
    std::iota(CardTurn_.begin() + static_cast<std::ptrdiff_t>(first), CardTurn_.end(), int16_t{1});
}

void StudyEngine::ShuffleTurn() { ShuffleCards(CardTurn_, getTotal(), Random_); }

void StudyEngine::setTurnMode(uint8_t Mode) { Document_->setTurnMode(Mode); }

uint8_t StudyEngine::getTurnMode() const { return getCardData().Modes.TurnMode; }

int16_t StudyEngine::getShowCardIndex() const { return getCardTurn(CardCount_); }

}  // namespace korva
