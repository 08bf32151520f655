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

}  // namespace korva
