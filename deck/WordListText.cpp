#include "deck/WordListText.h"

#include <cstring>

#include "deck/DeckError.h"
#include "deck/Utf8Char.h"

namespace korva {

namespace {

constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view Utf16LeMark = "\xFF\xFE";
constexpr std::string_view Utf16BeMark = "\xFE\xFF";

// Eight bytes at a time: a large list is mostly ASCII, and detection runs
// over the whole file.
std::size_t AsciiPrefix(std::string_view text) {
    std::size_t pos = 0;
    for (; pos + 8 <= text.size(); pos += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + pos, 8);
        if ((word & 0x8080808080808080ULL) != 0) {
            break;
        }
    }
    while (pos < text.size() && static_cast<unsigned char>(text[pos]) < 0x80) {
        ++pos;
    }
    return pos;
}

// The position of the first byte that is not part of well-formed UTF-8, or
// npos.
std::size_t FirstBadUtf8(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        pos += AsciiPrefix(text.substr(pos));
        if (pos == text.size()) {
            break;
        }
        const std::size_t length = Utf8CharLength(text, pos);
        if (length == 0) {
            return pos;
        }
        pos += length;
    }
    return std::string_view::npos;
}

DeckError NotOfEncoding(std::string_view text, std::size_t pos, const char* encoding) {
    return DeckError(std::to_string(LineAt(text, pos)) + "行目: " + encoding + "として読めないバイトがあります");
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// UTF-16 as UTF-8; an odd last byte or a lone surrogate is refused, naming
// its line in the text decoded so far.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    const auto unitAt = [&](std::size_t pos) {
        const auto first = static_cast<unsigned char>(bytes[pos]);
        const auto second = static_cast<unsigned char>(bytes[pos + 1]);
        return static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    };
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t pos = 0; pos < bytes.size(); pos += 2) {
        if (bytes.size() - pos < 2) {
            throw NotOfEncoding(out, out.size(), "UTF-16");
        }
        const char16_t unit = unitAt(pos);
        if (unit < 0xD800 || unit > 0xDFFF) {
            AppendUtf8(out, unit);
            continue;
        }
        const bool pairs =
            unit < 0xDC00 && bytes.size() - pos >= 4 && unitAt(pos + 2) >= 0xDC00 && unitAt(pos + 2) <= 0xDFFF;
        if (!pairs) {
            throw NotOfEncoding(out, out.size(), "UTF-16");
        }
        AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (unitAt(pos + 2) - 0xDC00));
        pos += 2;
    }
    return out;
}

TextEncoding DetectEncoding(std::string_view bytes) {
    if (bytes.starts_with(Utf8Mark)) {
        return TextEncoding::Utf8;
    }
    if (bytes.starts_with(Utf16LeMark)) {
        return TextEncoding::Utf16Le;
    }
    if (bytes.starts_with(Utf16BeMark)) {
        return TextEncoding::Utf16Be;
    }
    const std::size_t ascii = AsciiPrefix(bytes);
    if (ascii < bytes.size() && FirstBadUtf8(bytes.substr(ascii)) == std::string_view::npos) {
        return TextEncoding::Utf8;
    }
    return TextEncoding::Cp932;
}

// Whether the bytes start with the mark of the encoding read.
std::size_t MarkLength(std::string_view bytes, TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Utf8: return bytes.starts_with(Utf8Mark) ? Utf8Mark.size() : 0;
        case TextEncoding::Utf16Le: return bytes.starts_with(Utf16LeMark) ? Utf16LeMark.size() : 0;
        case TextEncoding::Utf16Be: return bytes.starts_with(Utf16BeMark) ? Utf16BeMark.size() : 0;
        case TextEncoding::Cp932: return 0;
    }
    return 0;
}

}  // namespace

int LineAt(std::string_view text, std::size_t pos) {
    int line = 1;
    for (std::size_t i = 0; i < pos && i < text.size(); ++i) {
        const bool crLf = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        if ((text[i] == '\r' && !crLf) || text[i] == '\n') {
            ++line;
        }
    }
    return line;
}

WordListText DecodeWordListText(std::string_view bytes, std::optional<TextEncoding> forced) {
    WordListText result;
    result.encoding = forced ? *forced : DetectEncoding(bytes);
    // UTF-16's mark states its byte order, whichever order was asked for.
    const bool utf16 = result.encoding == TextEncoding::Utf16Le || result.encoding == TextEncoding::Utf16Be;
    if (utf16 && (bytes.starts_with(Utf16LeMark) || bytes.starts_with(Utf16BeMark))) {
        result.encoding = bytes.starts_with(Utf16LeMark) ? TextEncoding::Utf16Le : TextEncoding::Utf16Be;
    }
    const std::size_t mark = MarkLength(bytes, result.encoding);
    result.bom = mark > 0;
    result.raw = bytes.substr(mark);
    result.ascii = AsciiPrefix(result.raw) == result.raw.size();
    switch (result.encoding) {
        case TextEncoding::Cp932: break;
        case TextEncoding::Utf8:
            if (const std::size_t bad = FirstBadUtf8(result.raw); bad != std::string_view::npos) {
                throw NotOfEncoding(result.raw, bad, "UTF-8");
            }
            break;
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16Be:
            result.decoded = Utf16ToUtf8(result.raw, result.encoding == TextEncoding::Utf16Be);
            result.ascii = AsciiPrefix(*result.decoded) == result.decoded->size();
            break;
    }
    return result;
}

}  // namespace korva
