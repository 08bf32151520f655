#pragma once

#include <string>
#include <string_view>

#include "deck/CardData.h"

namespace korva {

// Which reader takes a file, by the end of its name: ".krv" is a deck file,
// ".csv" a word list, in any mix of upper and lower case (decks come from a
// platform whose file names ignore case). Anything else is read by neither.
enum class DeckPathKind { Deck, Csv, Other };

DeckPathKind KindOfPath(std::string_view path);

// Reads the file at path into data with the reader its name calls for:
// LoadCardFile for a deck file, ImportCsvFile for a word list, DataKeep as
// theirs. A name with neither ending throws DeckError; on any DeckError the
// deck is left as it was.
void ReadDeckOrCsvFile(const std::string& path, CardData& data, bool DataKeep);

}  // namespace korva
