#pragma once

#include <cstddef>
#include <string_view>

namespace korva {

// The length of the well-formed UTF-8 character at text[pos], or 0 when the
// bytes there are not one: overlong forms, surrogates and code points past
// U+10FFFF are refused, as a strict decoder must. Inline: validation runs
// over every byte of a file of up to 256 MB.
inline std::size_t Utf8CharLength(std::string_view text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() - pos < length) {
        return 0;
    }
    const auto second = static_cast<unsigned char>(text[pos + 1]);
    if (second < low || second > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if ((static_cast<unsigned char>(text[pos + i]) & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
}

// The code point of the well-formed character of length bytes at text[pos].
inline char32_t Utf8CodePoint(std::string_view text, std::size_t pos, std::size_t length) {
    constexpr unsigned char leadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t c = static_cast<unsigned char>(text[pos]) & leadBits[length];
    for (std::size_t i = 1; i < length; ++i) {
        c = (c << 6) | (static_cast<unsigned char>(text[pos + i]) & 0x3F);
    }
    return c;
}

}  // namespace korva
