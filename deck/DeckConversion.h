#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "deck/CardData.h"

namespace korva {

// A deck's cards carried from one item encoding to the other, for saves and
// conversions between .krv and .korva files and for cards added to a deck
// held the other way.

// A text that could not be carried as it was: its card and item, and what
// stood there (UTF-8: the character code page 932 lacks, or the bytes that do
// not decode written as hex, "81 2C").
struct ItemLoss {
    std::size_t card = 0;
    int item = 0;
    std::string what;

    bool operator==(const ItemLoss&) const = default;
};

struct CardConversion {
    static constexpr std::size_t Kept = 100;

    CardData cards;
    std::vector<ItemLoss> first;  // at most Kept, in card order
    std::size_t count = 0;        // every loss, listed or not
};

// Code page 932 cards as UTF-8 text: every card, check mark, asked item and
// mode as they are, card 0 and item slot 0 too. Each byte sequence that does
// not decode shows as U+FFFD, as Cp932ToUtf8 shows it, and is noted. Texts
// are not normalized: a character with a canonical twin (the compatibility
// ideographs of code page 932's IBM extensions) comes back to the same bytes.
CardConversion CardsToUtf8(const CardData& cp932);

// UTF-8 cards in code page 932, marks, asked items and modes as they are. A
// character code page 932 lacks becomes what a word list's becomes: its
// equivalent (⼀ → 一) unnoted, else its base letter (é → e) or 〓, noted.
// Of a character with two codes, the one the encoder writes. Card 0, which
// no .korva file keeps, becomes what a word list's import gives it: empty,
// unchecked, asking item 1.
CardConversion CardsToCp932(const CardData& utf8);

// The cards held in encoding to: as they are when already so, else carried
// by CardsToUtf8 or CardsToCp932. A loss throws DeckError naming the first
// (TextNotCp932 or CardTextNotInCp932, with its card and item) unless
// allowLoss; the cards given stay as they were.
CardData InEncoding(const CardData& cards, ItemEncoding to, bool allowLoss);

// What a save in encoding to would lose; nothing when the cards are so held.
CardConversion LossesInEncoding(const CardData& cards, ItemEncoding to);

}  // namespace korva
