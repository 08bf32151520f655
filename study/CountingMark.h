#pragma once

#include "deck/CardData.h"
#include "study/DeckIndex.h"

namespace korva {

// The mark that counts for a card: the one of its current question item.
// Inline because the dealing loop reads it once per skipped position; the
// index checks are the same as isCheck's and getQuestionItemIndex's.
inline bool CountingMark(const CardData& deck, int card) {
    const std::size_t slot = DeckIndex(card, deck.QuestionItems.size(), "card");
    const auto& marks = deck.Checks[DeckIndex(card, deck.Checks.size(), "card")];
    return marks[DeckIndex(deck.QuestionItems[slot], marks.size(), "question item")] != 0;
}

// Only the filters 1 (checked only) and 2 (unchecked only) look at marks; a
// damaged view kind deals all cards, as 4 does.
inline bool isFilteredView(uint8_t viewKind) { return viewKind == 1 || viewKind == 2; }

// Only for the filters 1 (checked only) and 2 (unchecked only).
inline bool PassesView(const CardData& deck, int card) {
    return CountingMark(deck, card) == (deck.Modes.ViewKind == 1);
}

}  // namespace korva
