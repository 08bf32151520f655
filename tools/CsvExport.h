#pragma once

#include <string>

#include "deck/CardData.h"

namespace korva {

// The encoding of a CSV file the tool reads or writes.
enum class CsvEncoding { Cp932, Utf8 };

// How a word list is written.
struct CsvWriteFormat {
    CsvEncoding encoding = CsvEncoding::Cp932;
    char separator = ',';
    // RFC 4180: a text holding the separator, a quote, a CR or an LF is
    // written in quotes with each quote doubled, so every text comes back;
    // so is a first item 1 that starts with `#`, which would read as a
    // directive.
    bool quoted = false;
};

// Cards 1..total as "item 1,item 2" lines ending in CR LF, which the import
// reads back as the same items in the same order. In code page 932 the texts
// are written as they are, undecodable bytes included. Unquoted, throws
// DeckError naming the card for a text holding the separator, a CR or an LF,
// or starting with a quote (it would not come back the same); in UTF-8, for
// bytes that do not decode. A UTF-8 deck's texts are written as they are in
// UTF-8; in code page 932 only once converted (CardsToCp932):
// std::invalid_argument.
std::string WriteCsv(const CardData& data, const CsvWriteFormat& format);

}  // namespace korva
