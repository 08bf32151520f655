#include <gtest/gtest.h>

#include "deck/CsvImport.h"
#include "deck/DeckError.h"
#include "deck/Utf8Csv.h"
#include "tests/deck/CsvCases.h"
#include "tests/deck/DeckTestSupport.h"

namespace korva {
namespace {

using test::CardsOf;

class Utf8Csv : public ::testing::Test {
protected:
    // The deck a file gives, or the reason it is refused for; a refused
    // import must leave the deck as it was.
    CardData Import(const std::string& bytes, void (*import)(const std::string&, CardData&) = ImportUtf8CsvFile) {
        test::WriteBytes(dir.Path("in.csv"), bytes);
        CardData deck = test::VariedDeck(2);
        try {
            import(dir.Path("in.csv"), deck);
        } catch (const DeckError& e) {
            EXPECT_TRUE(test::SameDeck(deck, test::VariedDeck(2)));
            reason = e.what();
        }
        return deck;
    }
    test::TempFolder dir;
    std::string reason;
};

TEST_F(Utf8Csv, ReadsTheSharedCasesAsTheCodePage932ImportReadsThemConverted) {
    const auto cp932 = [](const std::string& path, CardData& deck) {
        ImportCsvFile(path, deck, false);
    };
    for (const test::CsvCase& c : test::CsvCases()) {
        const CardData deck = Import(c.text);
        EXPECT_EQ(CardsOf(deck), test::Cp932(c.cards)) << c.name;
        EXPECT_TRUE(test::SameDeck(deck, Import(test::Cp932(c.text), cp932))) << c.name;
        EXPECT_TRUE(test::SameDeck(Import("\xEF\xBB\xBF" + c.text), deck)) << c.name << " after a byte-order mark";
    }
    // A character without a code page 932 form may sit in a dropped field.
    EXPECT_EQ(CardsOf(Import("a,b,\xF0\x9F\x98\x80")), (test::Pairs{{"a", "b"}}));
    EXPECT_EQ(reason, "");
}

TEST_F(Utf8Csv, RefusesWhatCodePage932CannotHoldAndBytesThatAreNotUtf8ByLine) {
    const std::string notUtf8 = "UTF-8として読めないバイトがあります";
    const std::pair<std::string, std::string> cases[] = {
        {"a,b\r\nc,d\r\n\xF0\x9F\x98\x80,x", "3行目: 「\xF0\x9F\x98\x80」はShift_JISにない文字です"},
        {"\xE5\x8D\x98,x\xE2\x82\xAC\xF0\x9F\x98\x80", "1行目: 「\xE2\x82\xAC」はShift_JISにない文字です"},
        {"\xEF\xBB\xBF\xEF\xBB\xBF", "1行目: 「\xEF\xBB\xBF」はShift_JISにない文字です"},  // only one mark is skipped
        {"a\r\nb\x80", "2行目: " + notUtf8},
        {"\x92\x50\x8C\xEA", "1行目: " + notUtf8},  // code page 932 text
        {"\xC0\xAF", "1行目: " + notUtf8},          // overlong
        {"\xED\xA0\x80", "1行目: " + notUtf8},      // surrogate
        {"\xF4\x90\x80\x80", "1行目: " + notUtf8},  // past U+10FFFF
        {"x\r\xE3\x81\r\nx", "2行目: " + notUtf8},  // cut before the line end
        {"a,b,\xFF", "1行目: " + notUtf8},          // even in a dropped field
        {std::string(MaxCards, '\r') + "x", "CSVファイルの行数が32767行を超えています。"},
    };
    for (const auto& [bytes, expected] : cases) {
        reason.clear();
        Import(bytes);
        EXPECT_EQ(reason, expected);
    }
}

}  // namespace
}  // namespace korva
