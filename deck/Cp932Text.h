#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korva {

// Code page 932 bytes as UTF-8. A byte sequence that does not decode shows as
// one U+FFFD and decoding goes on after it, so every text can be shown.
std::string Cp932ToUtf8(std::string_view bytes);

// Code page 932 bytes as UTF-8; nullopt when some byte sequence does not
// decode, for writers that must not change a text.
std::optional<std::string> Cp932ToUtf8Exact(std::string_view bytes);

// The length of the character at bytes[pos]: 2 for a lead byte with its
// trail byte, else 1.
std::size_t Cp932CharLength(std::string_view bytes, std::size_t pos);

// Where byte c first stands as a character of its own at or after pos, not
// as the second byte of a two-byte character, or npos. A trail byte may be
// any of 0x40 to 0xFC: `|` (0x7C) ends ポ (0x83 0x7C).
std::size_t FindCp932Char(std::string_view bytes, char c, std::size_t pos = 0);

// UTF-8 text as code page 932 bytes; nullopt when some character has no code
// page 932 form (or the input is not valid UTF-8).
std::optional<std::string> Utf8ToCp932(std::string_view utf8);

// Every character above ASCII that a code page 932 byte sequence decodes to,
// in code point order: the characters code page 932 holds both ways.
std::vector<char32_t> Cp932Characters();

}  // namespace korva
