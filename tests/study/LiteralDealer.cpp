#include "LiteralDealer.h"

#include "study/TurnShuffle.h"

namespace korva::test {

bool LiteralDealer::isCheck(int Question, int Card) const {
    return Deck.Checks.at(static_cast<std::size_t>(Card)).at(static_cast<std::size_t>(Question)) != 0;
}

void LiteralDealer::setCheck(bool Value, int Question, int Card) {
    Deck.Checks.at(static_cast<std::size_t>(Card)).at(static_cast<std::size_t>(Question)) = Value ? -1 : 0;
}

bool LiteralDealer::isValidCard(int StartNumber) const {
    const int Kind = Deck.Modes.ViewKind;
    if (Kind != 1 && Kind != 2) {
        return true;
    }
    for (int Card = StartNumber; Card <= Total(); ++Card) {
        const bool Checked = isCheck(Deck.QuestionItems.at(static_cast<std::size_t>(Card)), Card);
        if (Checked == (Kind == 1)) {
            return true;
        }
    }
    return false;
}

bool LiteralDealer::isNextCard() const {
    if (Total() == CardCount) {
        return false;
    }
    return isValidCard(CardCount);
}

void LiteralDealer::Start() {
    OpenItem = false;
    CardCount = 0;
    Turn.assign(1, 0);
    if (Deck.Modes.TurnMode == 2) {
        // The same permutation code and seed as the engine's, so both deal
        // from the same turn lists.
        ShuffleCards(Turn, static_cast<int16_t>(Total()), Random);
    } else {
        for (int Card = 1; Card <= Total(); ++Card) {
            Turn.push_back(static_cast<int16_t>(Card));
        }
    }
    NextCard();
    ++Screens;
}

void LiteralDealer::NextCard() {
    for (;;) {
        if (!isValidCard(1)) {
            ++Messages;
            Deck.Modes.ViewKind = 4;
        }
        if (!isNextCard()) {
            Start();
            return;
        }
        OpenItem = false;
        ++CardCount;
        const int Kind = Deck.Modes.ViewKind;
        if (Kind != 1 && Kind != 2) {
            return;
        }
        const int Card = ShowCard();
        const bool Checked = isCheck(Deck.QuestionItems.at(static_cast<std::size_t>(Card)), Card);
        if (Checked == (Kind == 1)) {
            return;
        }
    }
}

void LiteralDealer::Reverse(int Card) {
    int16_t& Question = Deck.QuestionItems.at(static_cast<std::size_t>(Card));
    Question = Question == 1 ? 2 : 1;
}

}  // namespace korva::test
