#pragma once

#include <optional>
#include <string>
#include <vector>

#include "deck/CardData.h"
#include "deck/WordList.h"

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
    // [card] the card of the old deck that the new deck's card is, 0 for a
    // new card ([0] is 0), so that a .korva deck's cards keep their ids.
    std::vector<std::size_t> from;
};

// Brings an edited word list back into a studied deck. The result holds the
// list's cards in the list's order, in the deck's Encoding, as list's must
// be. Texts are compared as the cards show them: code page 932 has two codes for some characters (FA4A and 8754 are
// both 「Ⅰ」), and a list that went through UTF-8 comes back in the one the
// encoder picks; bytes that do not decode compare as bytes. A card of the
// list whose item 1 is the same text as item 1 of a card of deck (the first
// such card not already taken) is that card: its marks, asked item, hidden
// item 0 and item 1's bytes stay, and its item 2 becomes the list's unless
// that is the same text. Every other card of the list is new: unchecked,
// asking item 1. Cards of deck that no card of the list takes are dropped,
// or with keepMissing appended after the list's, in their order, untouched.
// Card 0 and the modes are deck's. Throws DeckError (TooManyCards) when the
// result would pass MaxCards.
DeckUpdate UpdateDeck(const CardData& deck, const CardData& list, bool keepMissing);

// Throws DeckError (TooManyCards) when the update's deck passes MaxCards.
void RequireWithinLimit(const DeckUpdate& update);

// What the deck decided of how a list's bytes were read.
struct ListReading {
    // The bytes are text both in UTF-8 and in code page 932 (half-width
    // 「ﾎｼ」 is CE BC, UTF-8's 「μ」), and the deck's cards matched better
    // in this one.
    std::optional<TextEncoding> encoding{};
    // Leading lines read as cards, not as Anki's directives: a classic
    // list whose first item 1 is `#tags:noun` is no Anki file.
    bool directivesAsCards = false;
};

struct ListUpdate {
    DeckUpdate update;
    Replacements replaced;  // of the reading taken
    ListReading reading;
};

// Reads a word list's bytes with options and brings it into deck as
// UpdateDeck does, its items read for the deck's Encoding. Where the bytes allow more than one reading (text in both
// encodings, when options name none; leading lines that are directives or
// cards), each is read, and the one whose lines take more of the deck's
// cards, then keep more items 2, is taken; on a tie, the reading
// ReadWordList gives. Throws what that reading throws unless another takes
// a card. The deck it makes may pass MaxCards: a failure of the list is
// told apart from one of the update (RequireWithinLimit).
ListUpdate UpdateDeckFromList(const CardData& deck, std::string bytes, const WordListOptions& options,
                              bool keepMissing);

// {"kept":K,"changed":C,"added":A,"removed":R}
std::string UpdateCountsToJson(const UpdateCounts& counts);

}  // namespace korva
