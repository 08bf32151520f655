#include <gtest/gtest.h>

#include "deck/WordList.h"
#include "tests/deck/DeckTestSupport.h"
#include "tools/DeckUpdate.h"

namespace korva {
namespace {

struct Card {
    std::string item1;
    std::string item2;
    CardData::ItemChecks checks{};
    int16_t question = 1;
    std::string item0{};
};

// Card 0 and the modes hold what no update may make up, so that every
// result compared whole shows they were kept.
CardData DeckOf(const std::vector<Card>& cards) {
    CardData deck;
    deck.Items[0] = {"zero0", "zero1", "zero2"};
    deck.Checks[0] = {True16, 0x40, True16};
    deck.QuestionItems[0] = -2;
    deck.Modes = StudyModes{TurnShuffle, 0xA5, ViewChecked, AnswerTest};
    for (const Card& card : cards) {
        deck.Items.push_back({card.item0, card.item1, card.item2});
        deck.Checks.push_back(card.checks);
        deck.QuestionItems.push_back(card.question);
    }
    return deck;
}

// The list as convert reads it.
CardData ListOf(const std::string& bytes) {
    CardData list;
    ImportWordList(ReadWordList(bytes), list, false);
    return list;
}

constexpr CardData::ItemChecks Marked1{0, True16, 0};
constexpr CardData::ItemChecks Marked2{0, 0, 0x40};
constexpr CardData::ItemChecks Odd{7, True16, 0x1234};
constexpr CardData::ItemChecks Unchecked{False16, False16, False16};

TEST(DeckUpdate, ListOrderMarksFollowTheirCardsAndTheCountsTellWhatChanged) {
    const std::string tango = "\x92\x50\x8C\xEA";  // "単語" in code page 932
    const std::string broken = "\x81\x7F\xFF";     // no character of code page 932
    const struct {
        const char* what;
        std::vector<Card> deck;
        std::string list;
        bool keepMissing;
        std::vector<Card> result;
        std::string counts;
    } cases[] = {
        {"each kind once",
         {{"a", "1", Marked1, 2, "hidden"}, {"b", "2", Marked2, 1}, {"c", "3", Odd, 0, "hidden"}},
         "c,3\r\nb,two\r\nnew,n\r\n",
         false,
         {{"c", "3", Odd, 0, "hidden"}, {"b", "two", Marked2, 1}, {"new", "n", Unchecked, 1}},
         R"({"kept":1,"changed":1,"added":1,"removed":1})"},
        {"a repeated item 1 in the deck is taken card by card",
         {{"a", "1", Marked1, 1}, {"a", "2", Marked2, 2}, {"a", "3", Odd, 1}},
         "a,2\r\na,9\r\n",
         false,
         {{"a", "2", Marked1, 1}, {"a", "9", Marked2, 2}},
         R"({"kept":0,"changed":2,"added":0,"removed":1})"},
        {"a repeated item 1 in the list is a new card once the deck's are taken",
         {{"a", "1", Marked1, 2}},
         "a,1\r\na,1\r\n",
         false,
         {{"a", "1", Marked1, 2}, {"a", "1", Unchecked, 1}},
         R"({"kept":1,"changed":0,"added":1,"removed":0})"},
        {"missing cards kept after the list's, in deck order, untouched",
         {{"x", broken, Odd, 2, broken}, {"a", "2", Marked1, 1}, {broken, "3", Marked2, 0}, {"y", "4", Marked1, 2}},
         "y,4\r\nn,5\r\n",
         true,
         {{"y", "4", Marked1, 2},
          {"n", "5", Unchecked, 1},
          {"x", broken, Odd, 2, broken},
          {"a", "2", Marked1, 1},
          {broken, "3", Marked2, 0}},
         R"({"kept":1,"changed":0,"added":1,"removed":0})"},
        {"items compared as deck bytes, exactly",
         {{tango, "old", Marked1, 2}, {"A", "1", Marked2, 1}, {"b", "2", Odd, 1}},
         "\xE5\x8D\x98\xE8\xAA\x9E,new\na,1\nb ,2\n",  // UTF-8
         false,
         {{tango, "new", Marked1, 2}, {"a", "1", Unchecked, 1}, {"b ", "2", Unchecked, 1}},
         R"({"kept":0,"changed":1,"added":2,"removed":2})"},
        {"both codes of a character are one text, taken in deck order; the card keeps its bytes",
         {{"\xFA\x4A", "\xED\x40", Marked1, 2}, {"\x87\x54", "1", Marked2, 1}},
         "\xE2\x85\xA0,\xE7\xBA\x8A\n\xE2\x85\xA0,9\n",  // UTF-8 「Ⅰ,纊」 and 「Ⅰ,9」
         false,
         {{"\xFA\x4A", "\xED\x40", Marked1, 2}, {"\x87\x54", "9", Marked2, 1}},
         R"({"kept":1,"changed":1,"added":0,"removed":0})"},
        {"bytes that do not decode are no text: both show U+FFFD, yet differ",
         {{"\x81\x7F", "1", Marked1, 2}},
         "\xFF\x7F,1\r\n",
         false,
         {{"\xFF\x7F", "1", Unchecked, 1}},
         R"({"kept":0,"changed":0,"added":1,"removed":1})"},
        {"an empty list empties the deck but for card 0",
         {{"a", "1", Marked1, 2}},
         "",
         false,
         {},
         R"({"kept":0,"changed":0,"added":0,"removed":1})"},
    };
    for (const auto& c : cases) {
        const DeckUpdate update = UpdateDeck(DeckOf(c.deck), ListOf(c.list), c.keepMissing);
        EXPECT_TRUE(test::SameDeck(update.deck, DeckOf(c.result))) << c.what;
        EXPECT_EQ(UpdateCountsToJson(update.counts), c.counts) << c.what;
    }
}

}  // namespace
}  // namespace korva
