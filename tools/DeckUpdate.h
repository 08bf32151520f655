#pragma once

#include <string>

#include "deck/CardData.h"

namespace korva {

// What an update did to the deck's cards.
struct UpdateCounts {
    int kept = 0;     // matched, item 2 the same
    int changed = 0;  // matched, item 2 taken from the list
    int added = 0;    // new cards
    int removed = 0;  // matched by no line and not kept

    bool operator==(const UpdateCounts&) const = default;
};

struct DeckUpdate {
    CardData deck;
    UpdateCounts counts;
};

// Brings an edited word list back into a studied deck. The result holds the
// list's cards in the list's order. A card of the list whose item 1 has the
// same bytes as item 1 of a card of deck (the first such card not already
// taken) is that card: its marks, asked item and hidden item 0 stay, and its
// item 2 becomes the list's. Every other card of the list is new: unchecked,
// asking item 1. Cards of deck that no card of the list takes are dropped,
// or with keepMissing appended after the list's, in their order, untouched.
// Card 0 and the modes are deck's. Throws DeckError (TooManyCards) when the
// result would pass MaxCards.
DeckUpdate UpdateDeck(const CardData& deck, const CardData& list, bool keepMissing);

// {"kept":K,"changed":C,"added":A,"removed":R}
std::string UpdateCountsToJson(const UpdateCounts& counts);

}  // namespace korva
