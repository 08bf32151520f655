#pragma once

#include <string>

#include "deck/CardData.h"

namespace korva {

// The encoding of a CSV file the tool reads or writes.
enum class CsvEncoding { Cp932, Utf8 };

// Cards 1..total as "item 1,item 2" lines ending in CR LF, which the import
// reads back as the same items in the same order. In code page 932 the texts
// are written as they are, undecodable bytes included. Throws DeckError
// naming the card for a text holding a comma, a CR or an LF (the format has
// no quoting, so it would not come back the same) and, in UTF-8, for bytes
// that do not decode.
std::string WriteCsv(const CardData& data, CsvEncoding encoding);

}  // namespace korva
