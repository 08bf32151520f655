#pragma once

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

// UTF-8 text as code page 932 bytes; nullopt when some character has no code
// page 932 form (or the input is not valid UTF-8).
std::optional<std::string> Utf8ToCp932(std::string_view utf8);

// Every character above ASCII that a code page 932 byte sequence decodes to,
// in code point order: the characters code page 932 holds both ways.
std::vector<char32_t> Cp932Characters();

}  // namespace korva
