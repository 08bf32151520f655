#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "deck/CardData.h"

namespace korva {

// The CSV import without a file, for ImportCsvFile, the fuzzer and the
// benchmarks.

// Row r - 1 holds field 1 and field 2 of the file's line r. Throws DeckError
// when there are more than MaxCards lines.
using CsvRow = std::array<std::string, 2>;
std::vector<CsvRow> ReadCsvRows(std::string_view bytes);

// Puts the rows into the deck as ImportCsvFile does; throws DeckError, deck
// untouched, when the total would pass MaxCards.
void ImportCsvRows(std::vector<CsvRow>&& rows, CardData& data, bool DataKeep);

}  // namespace korva
