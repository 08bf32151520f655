#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korva {

// How a deck holds its item texts. A .krv deck keeps the code page 932 bytes
// of its file, so a load and a save give back the very bytes that were read;
// a .korva deck keeps UTF-8 text, which holds any language.
enum class ItemEncoding : uint8_t { Cp932, Utf8 };

// An item's text to show or compare, in UTF-8. Bytes a code page 932 item
// cannot decode show as its converter shows them; a UTF-8 item is given as
// it is held.
std::string ItemToUtf8(ItemEncoding encoding, std::string_view bytes);

// Typed or pasted text as an item of a deck of that encoding: nullopt when a
// code page 932 deck cannot hold one of its characters. A UTF-8 deck holds
// the text in its composed (NFC) form, so one letter typed two ways is one
// item and one answer.
std::optional<std::string> ItemFromUtf8(ItemEncoding encoding, std::string_view utf8);

// An item as a typed answer is compared with it: a code page 932 item as its
// bytes, a UTF-8 item in its composed (NFC) form.
std::string ItemForComparison(ItemEncoding encoding, std::string_view bytes);

}  // namespace korva
