#pragma once

#include <string>
#include <string_view>

#include "deck/CardData.h"
#include "deck/WordList.h"

namespace korva {

// Which reader takes a file, by the end of its name: ".krv" is a deck file,
// ".korva" a deck in any language with its study record, ".csv", ".tsv" and
// ".txt" a word list, in any mix of upper and lower case (decks come from a
// platform whose file names ignore case). Anything else is read by none.
enum class DeckPathKind { Deck, Korva, Csv, Other };

DeckPathKind KindOfPath(std::string_view path);

// Reads the file at path into data with the reader its name calls for:
// LoadCardFile for a deck file, the cards of a .korva file, ReadWordList with options for a word list
// (a classic one gives exactly what ImportCsvFile gives), DataKeep as
// theirs. A name with none of the endings throws DeckError; on any DeckError
// the deck is left as it was.
void ReadDeckOrCsvFile(const std::string& path, CardData& data, bool DataKeep, const WordListOptions& options = {});

}  // namespace korva
