#pragma once

#include <string>
#include <string_view>

#include "deck/CardData.h"

namespace korva {

// Reads the deck record at the start of the file at path (UTF-8). With
// DataKeep false the deck becomes the file's deck; with DataKeep true the
// file's cards are appended after the deck's own and nothing else of the deck
// changes. On any failure a DeckError is thrown and the deck is left exactly
// as it was.
void LoadCardFile(const std::string& path, CardData& data, bool DataKeep);
// The same for a deck file's bytes, already read.
void LoadCardBytes(std::string_view bytes, CardData& data, bool DataKeep);

// Writes the whole deck record to path, atomically: the previous file stays
// whole unless the new record has been written completely.
void SaveCardFile(const std::string& path, const CardData& data);

}  // namespace korva
