// Decks past 255 cards, up to the 16-bit limit.
#include <gtest/gtest.h>

#include <algorithm>

#include "StudyTestSupport.h"

namespace korva::test {
namespace {

// Deals a whole cycle after Start and returns the positions seen.
std::vector<int> DealWholeCycle(RecordingEngine& engine, int cards) {
    std::vector<int> seen(static_cast<std::size_t>(cards) + 1, 0);
    for (int deal = 0; deal < cards; ++deal) {
        ++seen[static_cast<std::size_t>(engine.getShowCardIndex())];
        EXPECT_EQ(engine.getCardCount(), deal + 1);
        engine.NextCard();
    }
    return seen;
}

TEST(LargeDeck, EveryCardOfA300CardDeckIsDealtInBothOrders) {
    for (uint8_t mode : {TurnNormal, TurnShuffle}) {
        RecordingEngine engine;
        engine.getDocument().Replace(MakeDeck(300, mode));
        engine.Start();
        const auto seen = DealWholeCycle(engine, 300);
        EXPECT_EQ(std::count(seen.begin() + 1, seen.end(), 1), 300);
        EXPECT_EQ(engine.getCardCount(), 1);  // and round into the next cycle
        EXPECT_EQ(engine.screens, 2);
    }
}

TEST(LargeDeck, TheLargestDeckDealsToItsLastPosition) {
    RecordingEngine engine;
    engine.getDocument().Replace(MakeDeck(MaxCards, TurnShuffle));
    engine.Start();
    const auto seen = DealWholeCycle(engine, MaxCards);
    EXPECT_EQ(std::count(seen.begin() + 1, seen.end(), 1), MaxCards);
    EXPECT_EQ(engine.getCardCount(), 1);
}

TEST(LargeDeck, NarrowFilterReachesTheLastCardOfTheLargestDeck) {
    RecordingEngine engine;
    engine.getDocument().Replace(MakeDeck(MaxCards, TurnNormal, ViewChecked));
    engine.setCheck(true, 1, MaxCards);
    engine.Start();
    EXPECT_EQ(engine.getCardCount(), MaxCards);
    EXPECT_EQ(engine.getShowCardIndex(), MaxCards);
    engine.NextCard();
    EXPECT_EQ(engine.getCardCount(), MaxCards);
    EXPECT_EQ(engine.screens, 2);
    EXPECT_TRUE(engine.messages.empty());
}

TEST(LargeDeck, ShuffledCheckedOnlyDealsTheOneCheckedFirstCardAgainAndAgain) {
    // Each deal runs through thousands of cycles that give up after
    // position 2; the one that deals card 1 must still be a whole turn list.
    RecordingEngine engine;
    engine.getDocument().Replace(MakeDeck(MaxCards, TurnShuffle, ViewChecked));
    engine.setCheck(true, 1, 1);
    engine.setRandomSeed(20240611);
    engine.Start();
    for (int deal = 0; deal < 4; ++deal) {
        const int before = engine.screens;
        engine.NextCard();
        EXPECT_EQ(engine.getShowCardIndex(), 1);
        EXPECT_LE(engine.getCardCount(), 2);
        EXPECT_EQ(engine.screens, before + 1);
        auto turn = TurnList(engine);
        std::sort(turn.begin(), turn.end());
        ASSERT_EQ(turn.size(), static_cast<std::size_t>(MaxCards) + 1);
        EXPECT_TRUE(std::adjacent_find(turn.begin(), turn.end()) == turn.end());
        EXPECT_EQ(turn.front(), 0);
        EXPECT_EQ(turn.back(), MaxCards);
    }
    EXPECT_TRUE(engine.messages.empty());
}

TEST(LargeDeck, PositionAndDeckRefuseToPassTheLimit) {
    RecordingEngine engine;
    engine.getDocument().Replace(MakeDeck(MaxCards));
    engine.Start();
    EXPECT_THROW(engine.setCardTurn(1), std::overflow_error);
    EditDeck(engine, [](CardData& deck) { deck.Items.emplace_back(); });
    EXPECT_THROW(engine.getTotal(), std::overflow_error);
}

}  // namespace
}  // namespace korva::test
