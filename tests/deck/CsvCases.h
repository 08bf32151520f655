#pragma once

#include <string>
#include <utility>
#include <vector>

#include "deck/CardData.h"
#include "deck/Cp932Text.h"

namespace korva::test {

// Item 1 and item 2 of cards 1..total.
using Pairs = std::vector<std::pair<std::string, std::string>>;

inline Pairs CardsOf(const CardData& d) {
    Pairs cards;
    for (std::size_t c = 1; c < d.Items.size(); ++c) {
        cards.emplace_back(d.Items[c][1], d.Items[c][2]);
    }
    return cards;
}

inline std::string Cp932(const std::string& utf8) { return Utf8ToCp932(utf8).value(); }

inline Pairs Cp932(const Pairs& utf8) {
    Pairs cards;
    for (const auto& [item1, item2] : utf8) {
        cards.emplace_back(Cp932(item1), Cp932(item2));
    }
    return cards;
}

// A file's text and the cards it must give, written in UTF-8: the code page
// 932 import reads the same text converted, the UTF-8 import reads it as is.
struct CsvCase {
    const char* name;
    std::string text;
    Pairs cards;
};

inline const std::vector<CsvCase>& CsvCases() {
    static const std::vector<CsvCase> cases = {
        {"CR LF, lone CR and no final terminator", "a,b\r\nc,d\re,f", {{"a", "b"}, {"c", "d"}, {"e", "f"}}},
        {"a lone LF is text", "a,b\nc,d,e\nf", {{"a", "b\nc"}}},
        {"LF before a comma and at the end", "a\n,b\n", {{"a\n", "b\n"}}},
        {"CR CR LF is a line and an empty line", "a\r\r\nb", {{"a", ""}, {"", ""}, {"b", ""}}},
        {"LF CR keeps the LF in the line before", "a\n\rb", {{"a\n", ""}, {"b", ""}}},
        {"an empty line is a card", "a,b\r\n\r\nc,d\r\n", {{"a", "b"}, {"", ""}, {"c", "d"}}},
        {"a final lone CR makes no card", "a,b\r", {{"a", "b"}}},
        {"one terminator is one empty card", "\r\n", {{"", ""}}},
        {"two terminators are two empty cards", "\r\n\r\n", {{"", ""}, {"", ""}}},
        {"an empty file has no card", "", {}},
        {"no comma", "a", {{"a", ""}}},
        {"a trailing comma", "a,", {{"a", ""}}},
        {"a leading comma", ",b", {{"", "b"}}},
        {"fields after the second are dropped", "a,b,c,d", {{"a", "b"}}},
        {"an empty second field", "a,,c", {{"a", ""}}},
        {"quotes do not protect a comma", "\"x,y\",z", {{"\"x", "y\""}}},
        {"nothing is trimmed", " a , b\t", {{" a ", " b\t"}}},
        {"Japanese text", "単語,たんご\r\nｶﾀｶﾅ,①Ⅱ㈱", {{"単語", "たんご"}, {"ｶﾀｶﾅ", "①Ⅱ㈱"}}},
    };
    return cases;
}

}  // namespace korva::test
