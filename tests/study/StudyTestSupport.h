#pragma once

#include <string>
#include <vector>

#include "study/StudyEngine.h"

namespace korva::test {

// An engine whose window only counts what it was asked to do.
class RecordingEngine : public StudyEngine {
public:
    int Screens = 0;
    std::vector<std::string> Messages;

    void FreshScreen() override { ++Screens; }

protected:
    void ShowNoCardMessage(const std::string& Text) override { Messages.push_back(Text); }
};

// "q12" from 'q' and 12. Built by appending: GCC 12 warns -Wrestrict, wrongly,
// on "q" + std::to_string(12) once it is inlined.
inline std::string Numbered(char prefix, int number) {
    std::string text(1, prefix);
    text += std::to_string(number);
    return text;
}

// A deck of Cards cards asking item 1, all unchecked, with the given modes.
inline CardData MakeDeck(int Cards, uint8_t TurnMode = 1, uint8_t ViewKind = 4) {
    CardData Deck;
    Deck.Items.resize(static_cast<std::size_t>(Cards) + 1);
    Deck.Checks.resize(static_cast<std::size_t>(Cards) + 1);
    Deck.QuestionItems.assign(static_cast<std::size_t>(Cards) + 1, 1);
    for (int Card = 1; Card <= Cards; ++Card) {
        Deck.Items[static_cast<std::size_t>(Card)] = {"", Numbered('q', Card), Numbered('a', Card)};
    }
    Deck.Modes = {TurnMode, 1, ViewKind, 1};
    return Deck;
}

// Entries 0..last of the turn list, through the public reader only.
inline std::vector<int16_t> TurnList(const StudyEngine& Engine) {
    std::vector<int16_t> Turn;
    for (int Position = 0;; ++Position) {
        try {
            Turn.push_back(Engine.getCardTurn(static_cast<int16_t>(Position)));
        } catch (const std::out_of_range&) {
            return Turn;
        }
    }
}

// The cards on show over Deals calls of NextCard.
inline std::vector<int16_t> DealCards(StudyEngine& Engine, int Deals) {
    std::vector<int16_t> Shown;
    for (int Deal = 0; Deal < Deals; ++Deal) {
        Engine.NextCard();
        Shown.push_back(Engine.getShowCardIndex());
    }
    return Shown;
}

}  // namespace korva::test
