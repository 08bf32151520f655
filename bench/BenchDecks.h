#pragma once

#include <string>

#include "deck/CardData.h"
#include "deck/KorvaDeck.h"

namespace korva::bench {

// Ten hiragana in code page 932 (lead byte 0x82), different for each card
// and item, so that no two texts compress or compare alike.
std::string JapaneseText(int card, int item);

// A deck as a user's imported word list looks after some study: total cards
// of Japanese text on both sides, every third card checked.
CardData MakeDeck(int total);

// A full deck, half of it asking item 2, studied for three years: rows
// answers over its cards in time order, the last of them at now, and its
// memory kept up with them.
KorvaDeck StudiedDeck(std::size_t rows, int64_t now);

}  // namespace korva::bench
