#pragma once

#include "deck/CardData.h"
#include "document/DeckIndex.h"

namespace korva {

// The mark that counts for a card: the one of its current question item.
// Inline because the dealing loop reads it once per skipped position; the
// index checks are the same as isCheck's and getQuestionItemIndex's.
inline bool CountingMark(const CardData& deck, int card) {
    const std::size_t slot = DeckIndex(card, deck.QuestionItems.size(), "card");
    const auto& marks = deck.Checks[DeckIndex(card, deck.Checks.size(), "card")];
    return marks[DeckIndex(deck.QuestionItems[slot], marks.size(), "question item")] != 0;
}

// Only the filters ViewChecked and ViewUnchecked look at marks; a damaged
// view kind deals all cards, as ViewAll does.
inline bool isFilteredView(uint8_t viewKind) { return viewKind == ViewChecked || viewKind == ViewUnchecked; }

// Only for the filters ViewChecked and ViewUnchecked.
inline bool PassesView(const CardData& deck, int card) {
    return CountingMark(deck, card) == (deck.Modes.ViewKind == ViewChecked);
}

}  // namespace korva
