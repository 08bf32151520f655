#include "deck/Utf8Csv.h"

#include <optional>

#include "deck/Cp932Text.h"
#include "deck/DeckError.h"
#include "deck/FileBytes.h"

namespace korva {

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// The length of the well-formed UTF-8 character at text[pos], or 0 when the
// bytes there are not one: overlong forms, surrogates and code points past
// U+10FFFF are refused, as a strict decoder must.
std::size_t Utf8CharLength(std::string_view text, std::size_t pos) {
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
        if (!IsContinuation(static_cast<unsigned char>(text[pos + i]))) {
            return 0;
        }
    }
    return length;
}

bool IsUtf8(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = Utf8CharLength(text, pos);
        if (length == 0) {
            return false;
        }
        pos += length;
    }
    return true;
}

std::string LineLabel(std::size_t row) { return std::to_string(row + 1) + "行目: "; }

// The text as code page 932; DeckError naming the first character that has
// no code page 932 form.
std::string ToCp932(const std::string& utf8, std::size_t row) {
    if (std::optional<std::string> whole = Utf8ToCp932(utf8)) {
        return std::move(*whole);
    }
    // Character by character, to find the one to name.
    std::string out;
    for (std::size_t pos = 0; pos < utf8.size();) {
        const std::string_view character = std::string_view(utf8).substr(pos, Utf8CharLength(utf8, pos));
        const std::optional<std::string> one = Utf8ToCp932(character);
        if (!one) {
            throw DeckError(LineLabel(row) + "「" + std::string(character) + "」はShift_JISにない文字です");
        }
        out += *one;
        pos += character.size();
    }
    return out;
}

}  // namespace

std::vector<CsvRow> ReadUtf8CsvRows(std::string_view bytes) {
    if (bytes.starts_with(ByteOrderMark)) {
        bytes.remove_prefix(ByteOrderMark.size());
    }
    const std::vector<std::string_view> lines = SplitCsvLines(bytes);
    std::vector<CsvRow> rows;
    rows.reserve(lines.size());
    for (std::size_t row = 0; row < lines.size(); ++row) {
        // The whole line is checked, dropped fields too: bytes that are not
        // UTF-8 mean the file is in some other encoding.
        if (!IsUtf8(lines[row])) {
            throw DeckError(LineLabel(row) + "UTF-8として読めないバイトがあります");
        }
        const CsvRow fields = SplitCsvFields(lines[row]);
        rows.push_back(CsvRow{ToCp932(fields[0], row), ToCp932(fields[1], row)});
    }
    return rows;
}

void ImportUtf8CsvFile(const std::string& path, CardData& data) {
    ReadWithinMemory([&] { ImportCsvRows(ReadUtf8CsvRows(ReadFileBytes(path)), data, false); });
}

}  // namespace korva
