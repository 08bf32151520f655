#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "deck/CardData.h"
#include "deck/CsvRows.h"

namespace korva {

// Comma-separated text in UTF-8, as spreadsheets on Linux write it: the same
// line and field rules as the code page 932 import, a leading byte-order
// mark skipped, and the two texts of every row stored as code page 932.
// Throws DeckError naming the line for bytes that are not UTF-8 or for a
// character that code page 932 cannot hold, and for more than MaxCards lines.
std::vector<CsvRow> ReadUtf8CsvRows(std::string_view bytes);

// ImportCsvFile's fresh-deck import for a UTF-8 file; the deck is left as it
// was on any DeckError.
void ImportUtf8CsvFile(const std::string& path, CardData& data);

}  // namespace korva
