#include <gtest/gtest.h>

#include "deck/DeckError.h"
#include "deck/DeckErrorText.h"
#include "tests/deck/DeckTestSupport.h"
#include "tools/CsvExport.h"

namespace korva {
namespace {

CardData DeckOf(const std::vector<CardData::ItemTexts>& cards) {
    CardData deck = test::VariedDeck(static_cast<int>(cards.size()));
    std::copy(cards.begin(), cards.end(), deck.Items.begin() + 1);
    return deck;
}

TEST(CsvExport, WritesItemLinesEndingInCrLfAndRefusesTextsThatWouldNotComeBack) {
    // Item 0, card 0, the marks and the modes of the varied deck stay out.
    const CardData deck = DeckOf({{"x", "a", "b"}, {"y", "", ""}, {"", "\x92\x50\x8C\xEA", "q\" \t"}});
    EXPECT_EQ(WriteCsv(deck, {CsvEncoding::Cp932}), "a,b\r\n,\r\n\x92\x50\x8C\xEA,q\" \t\r\n");
    EXPECT_EQ(WriteCsv(deck, {CsvEncoding::Utf8}), "a,b\r\n,\r\n\xE5\x8D\x98\xE8\xAA\x9E,q\" \t\r\n");
    EXPECT_EQ(WriteCsv(test::VariedDeck(0), {CsvEncoding::Utf8}), "");
    // In code page 932 bytes that do not decode are written as they are.
    EXPECT_EQ(WriteCsv(DeckOf({{"", "\x81", "\xA0\xFF"}}), {CsvEncoding::Cp932}), "\x81,\xA0\xFF\r\n");
    // A pipe is a separator of its own, never the second byte of ポ (0x83 0x7C).
    EXPECT_EQ(WriteCsv(DeckOf({{"", "\x83\x7C", "a"}}), {CsvEncoding::Cp932, '|'}), "\x83\x7C|a\r\n");

    // Refused by card: what would not come back the same.
    const struct {
        CardData::ItemTexts card;
        CsvEncoding encoding;
        std::string reason;
        char separator = ',';
    } cases[] = {
        {{"", "a,b", ""}, CsvEncoding::Cp932, "2枚目のカードの項目1にコンマがあり、CSVでは同じ項目に戻りません。"},
        {{"", "a", "b\r"}, CsvEncoding::Cp932, "2枚目のカードの項目2にCRがあり、CSVでは同じ項目に戻りません。"},
        {{"", "\x83\x7C|", ""},
         CsvEncoding::Cp932,
         "2枚目のカードの項目1に縦棒があり、CSVでは同じ項目に戻りません。",
         '|'},
        {{"", "\x81\n", ""}, CsvEncoding::Utf8, "2枚目のカードの項目1にLFがあり、CSVでは同じ項目に戻りません。"},
        {{"", "a", "\"q\""},
         CsvEncoding::Cp932,
         "2枚目のカードの項目2が \" で始まり、引用符なしのCSVでは同じ項目に戻りません。--quoting rfc で書き出してください。"},
        {{"", "a", "\x82\xA0\x81"},
         CsvEncoding::Utf8,
         "2枚目のカードの項目2にShift_JISとして読めないバイトがあり、UTF-8にできません。"},
    };
    for (const auto& c : cases) {
        try {
            WriteCsv(DeckOf({{"", "ok", "ok"}, c.card, {"", "a,b", "\x81"}}), {c.encoding, c.separator});
            ADD_FAILURE() << c.reason;
        } catch (const DeckError& e) {
            EXPECT_EQ(DescribeDeckError(e), c.reason);
        }
    }
}

}  // namespace
}  // namespace korva
