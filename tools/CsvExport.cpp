#include "tools/CsvExport.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "deck/Cp932Text.h"
#include "deck/DeckError.h"

namespace korva {

namespace {

std::string CardLabel(std::size_t card, int item) {
    return std::to_string(card) + "枚目のカードの項目" + std::to_string(item);
}

const char* SeparatorName(char separator) {
    switch (separator) {
        case '\t': return "タブ";
        case ';': return "セミコロン";
        case '|': return "縦棒";
        case ' ': return "空白";
        case ':': return "コロン";
        default: return "コンマ";
    }
}

// Code page 932 never uses these bytes inside a two-byte character, so a byte
// test finds exactly the characters. A text that starts with a quote makes a
// reader take the list for a quoted one: it would lose its quotes, or run on
// into the next lines.
void RequireOneField(std::string_view text, char separator, std::size_t card, int item) {
    if (text.starts_with('"')) {
        throw DeckError(CardLabel(card, item) +
                        "が \" で始まり、引用符なしのCSVでは同じ項目に戻りません。"
                        "--quoting rfc で書き出してください。");
    }
    const std::size_t found = std::min(FindCp932Char(text, separator), text.find_first_of("\r\n"));
    if (found == std::string_view::npos) {
        return;
    }
    const char* what = text[found] == separator ? SeparatorName(separator) : text[found] == '\r' ? "CR" : "LF";
    throw DeckError(CardLabel(card, item) + "に" + what + "があり、CSVでは同じ項目に戻りません。");
}

void AppendQuoted(std::string& out, std::string_view text, char separator) {
    if (text.find_first_of(std::string{separator, '"', '\r', '\n'}) == std::string_view::npos) {
        out += text;
        return;
    }
    out.push_back('"');
    for (const char c : text) {
        out += c == '"' ? "\"\"" : std::string_view(&c, 1);
    }
    out.push_back('"');
}

void AppendText(std::string& out, const std::string& text, const CsvWriteFormat& format, std::size_t card, int item) {
    if (!format.quoted) {
        RequireOneField(text, format.separator, card, item);
    }
    std::string written = text;
    if (format.encoding == CsvEncoding::Utf8) {
        std::optional<std::string> utf8 = Cp932ToUtf8Exact(text);
        if (!utf8) {
            throw DeckError(CardLabel(card, item) + "にShift_JISとして読めないバイトがあり、UTF-8にできません。");
        }
        written = std::move(*utf8);
    }
    if (format.quoted) {
        AppendQuoted(out, written, format.separator);
    } else {
        out += written;
    }
}

}  // namespace

std::string WriteCsv(const CardData& data, const CsvWriteFormat& format) {
    std::string out;
    for (std::size_t card = 1; card < data.Items.size(); ++card) {
        AppendText(out, data.Items[card][1], format, card, 1);
        out.push_back(format.separator);
        AppendText(out, data.Items[card][2], format, card, 2);
        out += "\r\n";
    }
    return out;
}

}  // namespace korva
