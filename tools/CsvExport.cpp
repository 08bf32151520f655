#include "tools/CsvExport.h"

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string_view>

#include "deck/Cp932Text.h"
#include "deck/DeckError.h"

namespace korva {

namespace {

DeckError AtText(DeckErrorKind kind, std::size_t card, int item, std::string text = {}) {
    return DeckError({.kind = kind, .column = item, .number = static_cast<long long>(card), .text = std::move(text)});
}

// Code page 932 never uses these bytes inside a two-byte character, so a byte
// test finds exactly the characters. A text that starts with a quote makes a
// reader take the list for a quoted one: it would lose its quotes, or run on
// into the next lines.
// UTF-8 never uses them inside a character at all.
void RequireOneField(std::string_view text, bool utf8, char separator, std::size_t card, int item) {
    if (text.starts_with('"')) {
        throw AtText(DeckErrorKind::TextStartsWithQuote, card, item);
    }
    const std::size_t separatorAt = utf8 ? text.find(separator) : FindCp932Char(text, separator);
    const std::size_t found = std::min(separatorAt, text.find_first_of("\r\n"));
    if (found == std::string_view::npos) {
        return;
    }
    throw AtText(DeckErrorKind::TextHoldsBreak, card, item, std::string(1, text[found]));
}

// A file that starts with `#` reads as Anki's directives (`#tags:noun` would
// name the tags of every card and be no card itself): quoted, the first text
// is text to every reader.
void AppendQuoted(std::string& out, std::string_view text, char separator, bool first) {
    const bool plain = text.find_first_of(std::string{separator, '"', '\r', '\n'}) == std::string_view::npos;
    if (plain && !(first && text.starts_with('#'))) {
        out += text;
        return;
    }
    out.push_back('"');
    for (const char c : text) {
        out += c == '"' ? "\"\"" : std::string_view(&c, 1);
    }
    out.push_back('"');
}

void AppendText(std::string& out, const std::string& text, ItemEncoding held, const CsvWriteFormat& format,
                std::size_t card, int item) {
    if (held == ItemEncoding::Utf8 && format.encoding == CsvEncoding::Cp932) {
        throw std::invalid_argument("a UTF-8 deck is written in code page 932 once converted");
    }
    if (!format.quoted) {
        RequireOneField(text, held == ItemEncoding::Utf8, format.separator, card, item);
    }
    std::string written = text;
    if (format.encoding == CsvEncoding::Utf8 && held == ItemEncoding::Cp932) {
        std::optional<std::string> utf8 = Cp932ToUtf8Exact(text);
        if (!utf8) {
            throw AtText(DeckErrorKind::TextNotCp932, card, item);
        }
        written = std::move(*utf8);
    }
    if (format.quoted) {
        AppendQuoted(out, written, format.separator, card == 1 && item == 1);
    } else {
        out += written;
    }
}

}  // namespace

std::string WriteCsv(const CardData& data, const CsvWriteFormat& format) {
    std::string out;
    for (std::size_t card = 1; card < data.Items.size(); ++card) {
        AppendText(out, data.Items[card][1], data.encoding, format, card, 1);
        out.push_back(format.separator);
        AppendText(out, data.Items[card][2], data.encoding, format, card, 2);
        out += "\r\n";
    }
    return out;
}

}  // namespace korva
