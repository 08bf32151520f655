#pragma once

#include <string>

#include "deck/CardData.h"

namespace korva {

// Reads a comma-separated file (code page 932, one card per line, lines end
// at CR LF or a lone CR, no quoting) as a fresh deck (DataKeep false) or
// appended after the deck's cards (DataKeep true), then resets every check
// mark and question item. A file that cannot be read, has more than MaxCards
// lines, or would take the deck past MaxCards cards throws DeckError and
// leaves the deck untouched.
void ImportCsvFile(const std::string& path, CardData& data, bool DataKeep);

// Every check mark False and every question item (slot 0 included) 1, for
// card 0 to the total of Items.
void ResetCardState(CardData& data);

// Stores text as item itemIndex of card cardIndex, growing Items to that card.
void SetItemText(CardData& data, std::string text, int16_t itemIndex, int16_t cardIndex);

}  // namespace korva
