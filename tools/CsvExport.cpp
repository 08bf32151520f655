#include "tools/CsvExport.h"

#include <optional>
#include <string_view>

#include "deck/Cp932Text.h"
#include "deck/DeckError.h"

namespace korva {

namespace {

std::string CardLabel(std::size_t card, int item) {
    return std::to_string(card) + "枚目のカードの項目" + std::to_string(item);
}

// Code page 932 never uses these bytes inside a two-byte character, so a byte
// test finds exactly the characters.
void RequireOneField(std::string_view text, std::size_t card, int item) {
    const std::size_t found = text.find_first_of(",\r\n");
    if (found == std::string_view::npos) {
        return;
    }
    const char* what = text[found] == ',' ? "コンマ" : text[found] == '\r' ? "CR" : "LF";
    throw DeckError(CardLabel(card, item) + "に" + what + "があり、CSVでは同じ項目に戻りません。");
}

void AppendText(std::string& out, const std::string& text, CsvEncoding encoding, std::size_t card, int item) {
    RequireOneField(text, card, item);
    if (encoding == CsvEncoding::Cp932) {
        out += text;
        return;
    }
    const std::optional<std::string> utf8 = Cp932ToUtf8Exact(text);
    if (!utf8) {
        throw DeckError(CardLabel(card, item) + "にShift_JISとして読めないバイトがあり、UTF-8にできません。");
    }
    out += *utf8;
}

}  // namespace

std::string WriteCsv(const CardData& data, CsvEncoding encoding) {
    std::string out;
    for (std::size_t card = 1; card < data.Items.size(); ++card) {
        AppendText(out, data.Items[card][1], encoding, card, 1);
        out.push_back(',');
        AppendText(out, data.Items[card][2], encoding, card, 2);
        out += "\r\n";
    }
    return out;
}

}  // namespace korva
