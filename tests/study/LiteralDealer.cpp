#include "LiteralDealer.h"

#include "study/TurnShuffle.h"

namespace korva::test {

bool LiteralDealer::isCheck(int question, int card) const {
    return deck.Checks.at(static_cast<std::size_t>(card)).at(static_cast<std::size_t>(question)) != 0;
}

void LiteralDealer::setCheck(bool Value, int question, int card) {
    deck.Checks.at(static_cast<std::size_t>(card)).at(static_cast<std::size_t>(question)) = Value ? -1 : 0;
}

bool LiteralDealer::isValidCard(int StartNumber) const {
    const int kind = deck.Modes.ViewKind;
    if (kind != ViewChecked && kind != ViewUnchecked) {
        return true;
    }
    for (int card = StartNumber; card <= Total(); ++card) {
        const bool checked = isCheck(deck.QuestionItems.at(static_cast<std::size_t>(card)), card);
        if (checked == (kind == ViewChecked)) {
            return true;
        }
    }
    return false;
}

bool LiteralDealer::isNextCard() const {
    if (Total() == cardCount) {
        return false;
    }
    return isValidCard(cardCount);
}

void LiteralDealer::Start() {
    openItem = false;
    cardCount = 0;
    turn.assign(1, 0);
    if (deck.Modes.TurnMode == TurnShuffle) {
        // The same permutation code and seed as the engine's, so both deal
        // from the same turn lists.
        ShuffleCards(turn, static_cast<int16_t>(Total()), random);
    } else {
        for (int card = 1; card <= Total(); ++card) {
            turn.push_back(static_cast<int16_t>(card));
        }
    }
    NextCard();
    ++screens;
}

void LiteralDealer::NextCard() {
    for (;;) {
        if (!isValidCard(1)) {
            ++messages;
            deck.Modes.ViewKind = ViewAll;
        }
        if (!isNextCard()) {
            Start();
            return;
        }
        openItem = false;
        ++cardCount;
        const int kind = deck.Modes.ViewKind;
        if (kind != ViewChecked && kind != ViewUnchecked) {
            return;
        }
        const int card = ShowCard();
        const bool checked = isCheck(deck.QuestionItems.at(static_cast<std::size_t>(card)), card);
        if (checked == (kind == ViewChecked)) {
            return;
        }
    }
}

void LiteralDealer::Reverse(int card) {
    int16_t& question = deck.QuestionItems.at(static_cast<std::size_t>(card));
    question = question == 1 ? 2 : 1;
}

}  // namespace korva::test
