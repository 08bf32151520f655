#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "deck/CardData.h"

namespace korva {

// The CSV import without a file, for ImportCsvFile, the fuzzer and the
// benchmarks.

// The file's lines without their terminators: a line ends at CR LF or a lone
// CR, a lone LF is text, and a final terminator makes no extra line. Throws
// DeckError when there are more than maxLines lines.
std::vector<std::string_view> SplitCsvLines(std::string_view bytes,
                                            std::size_t maxLines = static_cast<std::size_t>(MaxCards));

// Field 1 and field 2 of one line, cut at commas; later fields are dropped.
using CsvRow = std::array<std::string, 2>;
CsvRow SplitCsvFields(std::string_view line);

// Row r - 1 holds field 1 and field 2 of the file's line r. Throws DeckError
// when there are more than MaxCards lines.
std::vector<CsvRow> ReadCsvRows(std::string_view bytes);

// Puts the rows into the deck as ImportCsvFile does; throws DeckError, deck
// untouched, when the total would pass MaxCards.
void ImportCsvRows(std::vector<CsvRow>&& rows, CardData& data, bool DataKeep);

// Every check mark False and every question item (slot 0 included) 1, for
// card 0 to the total of Items.
void ResetCardState(CardData& data);

// Stores text as item itemIndex of card cardIndex, growing Items to that card.
void SetItemText(CardData& data, std::string text, int16_t itemIndex, int16_t cardIndex);

}  // namespace korva
