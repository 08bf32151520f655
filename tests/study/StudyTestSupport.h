#pragma once

#include <string>
#include <vector>

#include "study/StudyEngine.h"

namespace korva::test {

// An engine whose window only counts what it was asked to do.
class RecordingEngine : public StudyEngine {
public:
    int screens = 0;
    std::vector<std::string> messages;

    void FreshScreen() override { ++screens; }

protected:
    void ShowNoCardMessage(const std::string& text) override { messages.push_back(text); }
};

// A change the study rules never make, such as a damaged mark, made on a
// copy of the deck and put back through the document.
template <typename Edit>
void EditDeck(StudyEngine& engine, Edit edit) {
    CardData deck = engine.getCardData();
    edit(deck);
    engine.getDocument().Replace(std::move(deck));
}

// "q12" from 'q' and 12. Built by appending: GCC 12 warns -Wrestrict, wrongly,
// on "q" + std::to_string(12) once it is inlined.
inline std::string Numbered(char prefix, int number) {
    std::string text(1, prefix);
    text += std::to_string(number);
    return text;
}

// A deck of Cards cards asking item 1, all unchecked, with the given modes.
inline CardData MakeDeck(int cards, uint8_t turnMode = TurnNormal, uint8_t viewKind = ViewAll) {
    CardData deck;
    deck.Items.resize(static_cast<std::size_t>(cards) + 1);
    deck.Checks.resize(static_cast<std::size_t>(cards) + 1);
    deck.QuestionItems.assign(static_cast<std::size_t>(cards) + 1, 1);
    for (int card = 1; card <= cards; ++card) {
        deck.Items[static_cast<std::size_t>(card)] = {"", Numbered('q', card), Numbered('a', card)};
    }
    deck.Modes = {turnMode, ImportedModes.ReservedMode, viewKind, AnswerNormal};
    return deck;
}

// Entries 0..last of the turn list, through the public reader only.
inline std::vector<int16_t> TurnList(const StudyEngine& engine) {
    std::vector<int16_t> turn;
    for (int position = 0;; ++position) {
        try {
            turn.push_back(engine.getCardTurn(static_cast<int16_t>(position)));
        } catch (const std::out_of_range&) {
            return turn;
        }
    }
}

// The cards on show over Deals calls of NextCard.
inline std::vector<int16_t> DealCards(StudyEngine& engine, int deals) {
    std::vector<int16_t> shown;
    for (int deal = 0; deal < deals; ++deal) {
        engine.NextCard();
        shown.push_back(engine.getShowCardIndex());
    }
    return shown;
}

}  // namespace korva::test
