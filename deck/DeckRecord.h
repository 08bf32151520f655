#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "deck/CardData.h"

namespace korva {

// The deck record in its file layout, without any file: the reader and
// writer behind LoadCardFile and SaveCardFile, also driven directly by the
// fuzzer and the benchmarks.

// Parses the record at the start of bytes. Every descriptor is checked before
// anything is allocated for it, so a hostile count cannot cause a huge
// allocation. Throws DeckError with the reason when the bytes do not form a
// record or some card's question item is not 0, 1 or 2. Bytes after the
// record are ignored; recordSize (when given) receives the number of bytes
// the record took.
CardData ReadDeckRecord(std::string_view bytes, std::size_t* recordSize = nullptr);

// The record's bytes. Throws DeckError when the deck cannot be written as a
// record (arrays of different card counts, more than MaxCards cards, a text
// longer than its 16-bit length field).
std::string WriteDeckRecord(const CardData& data);

// Appends source's cards 1..total after target's cards, with their texts
// (in target's encoding, by InEncoding), check marks and question items;
// target's own cards, card 0 and Modes stay. Throws DeckError, target
// untouched, when the total would pass MaxCards or a text cannot be recoded.
void AppendCards(CardData& target, CardData&& source);

}  // namespace korva
