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

// Whether an invisible format character starts at pos: U+200B, U+200C,
// U+200D, U+2060 or U+FEFF, each three bytes in UTF-8.
bool InvisibleAt(std::string_view text, std::size_t pos) {
    const std::string_view three = text.substr(pos, 3);
    return three == "\xE2\x80\x8B" || three == "\xE2\x80\x8C" || three == "\xE2\x80\x8D" || three == "\xE2\x81\xA0" ||
           three == Utf8Mark;
}

bool IsInvisible(char16_t unit) { return (unit >= 0x200B && unit <= 0x200D) || unit == 0x2060 || unit == 0xFEFF; }

// The position of the first byte that is not part of well-formed UTF-8, or
// npos; the validation that reads every character notes where the first
// invisible one stands too (npos for none).
std::size_t FirstBadUtf8(std::string_view text, std::size_t& firstInvisible) {
    std::size_t invisible = std::string_view::npos;
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
        const auto lead = static_cast<unsigned char>(text[pos]);
        if ((lead == 0xE2 || lead == 0xEF) && invisible == std::string_view::npos && InvisibleAt(text, pos)) {
            invisible = pos;
        }
        pos += length;
    }
    firstInvisible = invisible;
    return std::string_view::npos;
}

DeckError NotOfEncoding(std::string_view text, std::size_t pos, const char* encoding) {
    return DeckError(
        {.kind = DeckErrorKind::BadBytes, .line = static_cast<long long>(LineAt(text, pos)), .text = encoding});
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

// UTF-16 as UTF-8 without its invisible characters, counted in dropped; an
// odd last byte or a lone surrogate is refused, naming its line in the text
// decoded so far.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian, std::size_t& dropped) {
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
        if (IsInvisible(unit)) {
            ++dropped;
            continue;
        }
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

// The encoding the bytes say they are in. Where that takes reading the whole
// text as UTF-8, validated is set to where its first invisible character
// stands (npos for none), so that decoding need not read it again.
TextEncoding DetectEncoding(std::string_view bytes, std::optional<std::size_t>& validated) {
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
    std::size_t invisible = std::string_view::npos;
    if (ascii < bytes.size() && FirstBadUtf8(bytes.substr(ascii), invisible) == std::string_view::npos) {
        validated = invisible == std::string_view::npos ? invisible : ascii + invisible;
        return TextEncoding::Utf8;
    }
    return TextEncoding::Cp932;
}

// The length of the mark the bytes start with, when it is the mark of the
// encoding read. Code page 932 has no mark, and no character of it starts
// with the bytes of one, so any mark is skipped: a text saved with one and
// read as code page 932 is a mistaken choice the mark must not show in.
std::size_t MarkLength(std::string_view bytes, TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Utf8: return bytes.starts_with(Utf8Mark) ? Utf8Mark.size() : 0;
        case TextEncoding::Utf16Le: return bytes.starts_with(Utf16LeMark) ? Utf16LeMark.size() : 0;
        case TextEncoding::Utf16Be: return bytes.starts_with(Utf16BeMark) ? Utf16BeMark.size() : 0;
        case TextEncoding::Cp932:
            for (const std::string_view mark : {Utf8Mark, Utf16LeMark, Utf16BeMark}) {
                if (bytes.starts_with(mark)) {
                    return mark.size();
                }
            }
            return 0;
    }
    return 0;
}

// The UTF-8 text without its invisible characters, the first of them at
// first, counted in dropped; nullopt when it has none.
std::optional<std::string> WithoutInvisible(std::string_view text, std::size_t first, std::size_t& dropped) {
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    std::string out(text.substr(0, first));
    out.reserve(text.size());
    for (std::size_t pos = first; pos < text.size();) {
        if ((text[pos] == '\xE2' || text[pos] == '\xEF') && InvisibleAt(text, pos)) {
            ++dropped;
            pos += 3;
        } else {
            out.push_back(text[pos++]);
        }
    }
    return out;
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
    std::optional<std::size_t> validated;
    result.encoding = forced ? *forced : DetectEncoding(bytes, validated);
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
        case TextEncoding::Utf8: {
            std::size_t invisible = validated.value_or(std::string_view::npos);
            const std::size_t bad = validated ? std::string_view::npos : FirstBadUtf8(result.raw, invisible);
            if (bad != std::string_view::npos) {
                throw NotOfEncoding(result.raw, bad, "UTF-8");
            }
            result.decoded = WithoutInvisible(result.raw, invisible, result.dropped);
            break;
        }
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16Be:
            result.decoded = Utf16ToUtf8(result.raw, result.encoding == TextEncoding::Utf16Be, result.dropped);
            result.ascii = AsciiPrefix(*result.decoded) == result.decoded->size();
            break;
    }
    return result;
}

}  // namespace korva
