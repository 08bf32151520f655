#pragma once

#include <string_view>

#include "deck/WordList.h"

namespace korva {

// The separators a word list may have: comma, tab, semicolon, pipe, space
// and colon. Only the first three are ever guessed; the others are chosen,
// or named by the file's own directive.
bool IsWordListSeparator(char c);

// Of comma, tab and semicolon, the separator that gives the most records the
// same number of fields (two or more), read with quoting over the first
// records and megabyte; a comma on a tie, and when none of them cuts any
// record.
char GuessSeparator(std::string_view text);

// Whether some field of the text starts with `"`.
bool HasQuotedField(std::string_view text, char separator);

// The line ends of the text: with quoting, those inside quoted fields are
// text; by the classic rules only CR ends a line.
LineEnd LineEndsOf(std::string_view text, char separator, bool quoted, bool classic);

// The classic rules apply to code page 932 or plain ASCII text without a
// byte-order mark, with no quoted field and commas as separators, that holds
// a CR. A text with no line end at all is classic too: it is one record,
// which both rules cut alike once no field is quoted and no tab separates,
// so reading it the classic way changes nothing and asks nothing.
bool IsClassic(std::string_view text, bool cp932OrAscii, bool bom, char separator, bool quoted);

}  // namespace korva
