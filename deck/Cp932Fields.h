#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "deck/WordList.h"

namespace korva {

// The mark put for a character that code page 932 cannot hold and that has
// no base letter it can: 〓, U+3013, the customary mark for a missing
// character.
inline constexpr std::string_view MissingCharacterMark = "\x81\xAC";

// A field's UTF-8 text as code page 932. A character code page 932 cannot
// hold is read as an equivalent it can hold, noted in equivalents: its NFKC
// form (⼀ → 一, ∭ → ∫∫∫) when code page 932 has every character of that,
// else a character of code page 932 with the same NFKC form (¦ → ￤). A
// character with no equivalent is refused with DeckError naming its line and
// the character, or with replace becomes its base letter (é → e, by
// canonical decomposition) when code page 932 has that, else 〓, and is
// noted in replaced. line is the file line the field starts on.
std::string FieldToCp932(std::string_view utf8, int line, bool replace, Replacements& equivalents,
                         Replacements& replaced);

// Refuses, naming the file line and column, an item longer than a deck
// can store.
void RequireItemFits(std::size_t bytes, int line, int column);

}  // namespace korva
