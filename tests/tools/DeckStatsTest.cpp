#include <gtest/gtest.h>

#include <set>

#include "deck/DeckError.h"
#include "deck/DeckErrorText.h"
#include "tests/study/StudyTestSupport.h"
#include "tools/DeckStats.h"

namespace korva {
namespace {

// Card c asks questions[c - 1] and holds marks[c - 1]; card 0 is marked
// everywhere and must never count.
CardData HandBuiltDeck(const std::vector<int16_t>& questions, const std::vector<CardData::ItemChecks>& marks) {
    CardData deck = test::MakeDeck(static_cast<int>(questions.size()));
    deck.Checks[0] = {True16, True16, True16};
    std::copy(questions.begin(), questions.end(), deck.QuestionItems.begin() + 1);
    std::copy(marks.begin(), marks.end(), deck.Checks.begin() + 1);
    return deck;
}

// The cards one cycle under "checked only" shows in the card window.
std::size_t CardsTheCheckedFilterShows(const CardData& deck) {
    test::RecordingEngine engine;
    engine.getDocument().Replace(deck);
    engine.setViewKind(ViewChecked);
    engine.Start();
    std::set<int16_t> shown;
    while (engine.messages.empty() && shown.insert(engine.getShowCardIndex()).second) {
        engine.NextCard();
    }
    return shown.size();
}

TEST(DeckStats, CountsQuestionItemsMarksAndWhatTheCheckedFilterShows) {
    // Item 0's mark belongs to no item; any non-zero value is a mark.
    const CardData deck = HandBuiltDeck(
        {1, 1, 1, 1, 2, 2, 0},
        {{0, True16, 0}, {True16, 0, 0}, {0, 0, True16}, {0, True16, 0}, {0, 0, 0}, {0, True16, 0x40}, {True16, 0, 0}});
    EXPECT_EQ(DeckStatsToJson(deck),
              "{\"total\":7,\"asking\":{\"item1\":4,\"item2\":2},\"checked\":{\"item1\":3,\"item2\":2},\"learnt\":4}");
    EXPECT_EQ(CardsTheCheckedFilterShows(deck), 4u);
    EXPECT_EQ(DeckStatsToJson(test::MakeDeck(0)),
              "{\"total\":0,\"asking\":{\"item1\":0,\"item2\":0},\"checked\":{\"item1\":0,\"item2\":0},\"learnt\":0}");
}

TEST(DeckStats, AQuestionItemWhoseMarkCannotBeReadIsRefusedByCard) {
    for (const int16_t damaged : {int16_t{3}, int16_t{-1}}) {
        const std::string reason =
            "2枚目のカードの出題項目(" + std::to_string(damaged) + ")が壊れているため、チェックを数えられません。";
        try {
            DeckStatsToJson(HandBuiltDeck({1, damaged}, {{}, {}}));
            ADD_FAILURE() << damaged;
        } catch (const DeckError& e) {
            EXPECT_EQ(DescribeDeckError(e), reason);
        }
    }
}

}  // namespace
}  // namespace korva
