#include <gtest/gtest.h>

#include "deck/CsvImport.h"
#include "deck/CsvRows.h"
#include "deck/DeckError.h"
#include "deck/DeckFile.h"
#include "tests/deck/CsvCases.h"
#include "tests/deck/DeckTestSupport.h"

namespace korva {
namespace {

using test::SameDeck;
using test::VariedDeck;

using test::CardsOf;
using test::Pairs;

class CsvImport : public ::testing::Test {
protected:
    CardData Import(const std::string& csv, CardData deck = VariedDeck(2), bool keep = false) {
        test::WriteBytes(dir.Path("in.csv"), csv);
        ImportCsvFile(dir.Path("in.csv"), deck, keep);
        return deck;
    }
    test::TempFolder dir;
};

TEST_F(CsvImport, LinesAndFieldsFollowTheSharedCases) {
    for (const test::CsvCase& c : test::CsvCases()) {
        EXPECT_EQ(CardsOf(Import(test::Cp932(c.text))), test::Cp932(c.cards)) << c.name;
    }
    // A byte-order mark is just bytes of item 1; code page 932 bytes stay as
    // read, even a lone lead byte.
    EXPECT_EQ(CardsOf(Import("\xEF\xBB\xBF"
                             "a,\x82\xA0\x81")),
              (Pairs{{"\xEF\xBB\xBF"
                      "a",
                      "\x82\xA0\x81"}}));
}

TEST_F(CsvImport, FreshImportStartsANewDeckWithDefaults) {
    CardData previous = VariedDeck(5);
    const CardData d = Import("a,b\r\nc", previous);
    ASSERT_EQ(d.Total(), 2);
    for (std::size_t c = 0; c <= 2; ++c) {
        EXPECT_EQ(d.Items[c][0], "");
        EXPECT_EQ(d.Checks[c], (CardData::ItemChecks{False16, False16, False16}));
        EXPECT_EQ(d.QuestionItems[c], 1);
    }
    EXPECT_EQ(d.Items[0], (CardData::ItemTexts{"", "", ""}));
    EXPECT_EQ(d.Modes.TurnMode, TurnNormal);
    EXPECT_EQ(d.Modes.ReservedMode, 1);
    EXPECT_EQ(d.Modes.ViewKind, ViewAll);
    EXPECT_EQ(d.Modes.AnswerMode, AnswerNormal);

    const CardData empty = Import("", previous);
    EXPECT_EQ(empty.Items.size(), 1u);
    EXPECT_EQ(empty.Checks.size(), 1u);
    EXPECT_EQ(empty.QuestionItems, std::vector<int16_t>{1});
}

TEST_F(CsvImport, AppendingAddsCardsKeepsTextsAndModesAndResetsEveryMark) {
    const CardData window = VariedDeck(3);
    const CardData d = Import("x,y\r\nz", window, true);
    ASSERT_EQ(d.Total(), 5);
    for (int c = 0; c <= 3; ++c) {
        EXPECT_EQ(d.Items[c], window.Items[c]);
    }
    EXPECT_EQ(d.Items[4], (CardData::ItemTexts{"", "x", "y"}));
    EXPECT_EQ(d.Items[5], (CardData::ItemTexts{"", "z", ""}));
    EXPECT_EQ(d.Checks, std::vector<CardData::ItemChecks>(6, {False16, False16, False16}));
    EXPECT_EQ(d.QuestionItems, std::vector<int16_t>(6, 1));
    EXPECT_EQ(d.Modes.ReservedMode, window.Modes.ReservedMode);
    EXPECT_EQ(d.Modes.TurnMode, window.Modes.TurnMode);

    const CardData unchanged = Import("", window, true);
    EXPECT_EQ(unchanged.Items, window.Items);
    EXPECT_EQ(unchanged.QuestionItems, std::vector<int16_t>(4, 1));
    EXPECT_EQ(unchanged.Checks, std::vector<CardData::ItemChecks>(4, {False16, False16, False16}));

    // A deck imported from a file and then the same file appended doubles.
    CardData twice = Import("p,q\r\nr,s");
    twice.Checks[1][1] = True16;
    twice = Import("p,q\r\nr,s", twice, true);
    EXPECT_EQ(CardsOf(twice), (Pairs{{"p", "q"}, {"r", "s"}, {"p", "q"}, {"r", "s"}}));
    EXPECT_EQ(twice.Checks[1][1], False16);
}

TEST_F(CsvImport, TheCardLimitIsRefusedBeforeAnythingChanges) {
    std::string lines;
    for (int i = 0; i < MaxCards; ++i) {
        lines += "q,a\r\n";
    }
    EXPECT_EQ(Import(lines).Total(), MaxCards);

    const CardData window = VariedDeck(2);
    for (const bool keep : {false, true}) {
        CardData deck = window;
        test::WriteBytes(dir.Path("long.csv"), lines + "one more");
        EXPECT_THROW(ImportCsvFile(dir.Path("long.csv"), deck, keep), DeckError);
        EXPECT_TRUE(SameDeck(deck, window));
    }

    // 32,766 lines fit a fresh deck but not after the window's two cards.
    CardData deck = window;
    test::WriteBytes(dir.Path("fits.csv"), lines.substr(5));
    EXPECT_THROW(ImportCsvFile(dir.Path("fits.csv"), deck, true), DeckError);
    EXPECT_TRUE(SameDeck(deck, window));
    CardData one = VariedDeck(1);
    ImportCsvFile(dir.Path("fits.csv"), one, true);
    EXPECT_EQ(one.Total(), MaxCards);
}

TEST_F(CsvImport, AFileThatCannotBeReadLeavesTheDeckUntouched) {
    const CardData window = VariedDeck(3);
    for (const std::string& path : {dir.Path("missing.csv"), dir.Path("")}) {
        for (const bool keep : {false, true}) {
            CardData deck = window;
            EXPECT_THROW(ImportCsvFile(path, deck, keep), DeckError) << path;
            EXPECT_TRUE(SameDeck(deck, window));
        }
    }
}

TEST(ResetCardState, ClearsMarksAndSetsEveryQuestionItemToOne) {
    CardData d = VariedDeck(4);
    d.Checks.resize(2);
    d.QuestionItems.resize(9, 2);
    ResetCardState(d);
    EXPECT_EQ(d.Checks, std::vector<CardData::ItemChecks>(5, {False16, False16, False16}));
    EXPECT_EQ(d.QuestionItems, std::vector<int16_t>(5, 1));
}

}  // namespace
}  // namespace korva
