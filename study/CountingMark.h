#pragma once

#include "deck/CardData.h"
#include "study/DeckIndex.h"

namespace korva {

// The mark that counts for a card: the one of its current question item.
// Inline because the dealing loop reads it once per skipped position; the
// index checks are the same as isCheck's and getQuestionItemIndex's.
inline bool CountingMark(const CardData& Deck, int Card) {
    const std::size_t Slot = DeckIndex(Card, Deck.QuestionItems.size(), "card");
    const auto& Marks = Deck.Checks[DeckIndex(Card, Deck.Checks.size(), "card")];
    return Marks[DeckIndex(Deck.QuestionItems[Slot], Marks.size(), "question item")] != 0;
}

// Only the filters 1 (checked only) and 2 (unchecked only) look at marks; a
// damaged view kind deals all cards, as 4 does.
inline bool isFilteredView(uint8_t ViewKind) { return ViewKind == 1 || ViewKind == 2; }

// Only for the filters 1 (checked only) and 2 (unchecked only).
inline bool PassesView(const CardData& Deck, int Card) {
    return CountingMark(Deck, Card) == (Deck.Modes.ViewKind == 1);
}

}  // namespace korva
