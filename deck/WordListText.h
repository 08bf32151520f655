#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "deck/WordList.h"

namespace korva {

// A word list's text in the form the record reader takes: code page 932
// bytes as they stand (the characters that cut fields and lines are ASCII,
// and code page 932 never uses those bytes inside a two-byte character), or
// UTF-8 without its byte-order mark.
struct WordListText {
    TextEncoding encoding = TextEncoding::Cp932;
    bool bom = false;
    bool ascii = false;  // no byte of the file's text is 0x80 or above
    std::string_view raw;
    std::optional<std::string> decoded;  // set when the text is not raw
    std::size_t dropped = 0;             // invisible characters left out of decoded

    std::string_view Text() const { return decoded ? std::string_view(*decoded) : raw; }
    bool IsUtf8() const { return encoding != TextEncoding::Cp932; }
};

// The encoding of the bytes: a byte-order mark decides, then valid UTF-8
// holding a byte of 0x80 or above, else code page 932. A forced encoding
// takes the place of what is detected; its own mark is still skipped, and a
// UTF-16 mark decides the byte order (without one, UTF-16 is little-endian,
// as Windows writes it). Code page 932 chosen for a file that starts with a
// mark skips the mark too: its bytes are no character. Invisible format
// characters of a UTF text (zero-width space, non-joiner and joiner, word
// joiner, and a byte-order mark past the start) are dropped and counted: no
// card could show them, and code page 932 has none of them. Throws DeckError
// naming the line for bytes that are not of a UTF encoding.
WordListText DecodeWordListText(std::string_view bytes, std::optional<TextEncoding> forced);

// The file line (1-based) that byte pos stands on: CR LF, LF and CR end lines.
int LineAt(std::string_view text, std::size_t pos);

}  // namespace korva
