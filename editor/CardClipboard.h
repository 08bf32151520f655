#pragma once

#include <cstdint>
#include <vector>

#include <QString>

#include "deck/CardData.h"
#include "deck/WordList.h"
#include "document/CardSlot.h"

namespace korva {

// Cards as a spreadsheet puts rows on the clipboard: item 1, a tab, item 2,
// one line each; a field holding a tab, a quote or a line break stands in
// quotes, its quotes doubled.
QString CardsToTabText(const CardData& deck, const std::vector<int16_t>& cards);

struct PastedCards {
    std::vector<CardSlot> cards;
    Replacements replaced;  // characters code page 932 cannot hold, replaced
};

// Tab-separated lines read by the word-list rules (quotes, any line end),
// each a new unchecked card asking item 1, its texts held in the deck's
// encoding. A character a code page 932 deck cannot hold is replaced as the
// word-list import replaces it. Throws DeckError for
// what the word-list reader refuses (an unclosed quote, an item too long,
// too many lines).
PastedCards TabTextToCards(const QString& text, ItemEncoding encoding);

}  // namespace korva
