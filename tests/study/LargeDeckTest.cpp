// Decks past 255 cards, up to the 16-bit limit.
#include <gtest/gtest.h>

#include <algorithm>

#include "StudyTestSupport.h"

namespace korva::test {
namespace {

// Deals a whole cycle after Start and returns the positions seen.
std::vector<int> DealWholeCycle(RecordingEngine& Engine, int Cards) {
    std::vector<int> Seen(static_cast<std::size_t>(Cards) + 1, 0);
    for (int Deal = 0; Deal < Cards; ++Deal) {
        ++Seen[static_cast<std::size_t>(Engine.getShowCardIndex())];
        EXPECT_EQ(Engine.getCardCount(), Deal + 1);
        Engine.NextCard();
    }
    return Seen;
}

TEST(LargeDeck, EveryCardOfA300CardDeckIsDealtInBothOrders) {
    for (uint8_t Mode : {1, 2}) {
        RecordingEngine Engine;
        Engine.getCardData() = MakeDeck(300, Mode);
        Engine.Start();
        const auto Seen = DealWholeCycle(Engine, 300);
        EXPECT_EQ(std::count(Seen.begin() + 1, Seen.end(), 1), 300);
        EXPECT_EQ(Engine.getCardCount(), 1);  // and round into the next cycle
        EXPECT_EQ(Engine.Screens, 2);
    }
}

TEST(LargeDeck, TheLargestDeckDealsToItsLastPosition) {
    RecordingEngine Engine;
    Engine.getCardData() = MakeDeck(MaxCards, 2);
    Engine.Start();
    const auto Seen = DealWholeCycle(Engine, MaxCards);
    EXPECT_EQ(std::count(Seen.begin() + 1, Seen.end(), 1), MaxCards);
    EXPECT_EQ(Engine.getCardCount(), 1);
}

TEST(LargeDeck, NarrowFilterReachesTheLastCardOfTheLargestDeck) {
    RecordingEngine Engine;
    Engine.getCardData() = MakeDeck(MaxCards, 1, 1);
    Engine.setCheck(true, 1, MaxCards);
    Engine.Start();
    EXPECT_EQ(Engine.getCardCount(), MaxCards);
    EXPECT_EQ(Engine.getShowCardIndex(), MaxCards);
    Engine.NextCard();
    EXPECT_EQ(Engine.getCardCount(), MaxCards);
    EXPECT_EQ(Engine.Screens, 2);
    EXPECT_TRUE(Engine.Messages.empty());
}

TEST(LargeDeck, ShuffledCheckedOnlyDealsTheOneCheckedFirstCardAgainAndAgain) {
    // Each deal runs through thousands of cycles that give up after
    // position 2; the one that deals card 1 must still be a whole turn list.
    RecordingEngine Engine;
    Engine.getCardData() = MakeDeck(MaxCards, 2, 1);
    Engine.setCheck(true, 1, 1);
    Engine.setRandomSeed(20240611);
    Engine.Start();
    for (int Deal = 0; Deal < 4; ++Deal) {
        const int Before = Engine.Screens;
        Engine.NextCard();
        EXPECT_EQ(Engine.getShowCardIndex(), 1);
        EXPECT_LE(Engine.getCardCount(), 2);
        EXPECT_EQ(Engine.Screens, Before + 1);
        auto Turn = TurnList(Engine);
        std::sort(Turn.begin(), Turn.end());
        ASSERT_EQ(Turn.size(), static_cast<std::size_t>(MaxCards) + 1);
        EXPECT_TRUE(std::adjacent_find(Turn.begin(), Turn.end()) == Turn.end());
        EXPECT_EQ(Turn.front(), 0);
        EXPECT_EQ(Turn.back(), MaxCards);
    }
    EXPECT_TRUE(Engine.Messages.empty());
}

TEST(LargeDeck, PositionAndDeckRefuseToPassTheLimit) {
    RecordingEngine Engine;
    Engine.getCardData() = MakeDeck(MaxCards);
    Engine.Start();
    EXPECT_THROW(Engine.setCardTurn(1), std::overflow_error);
    Engine.getCardData().Items.emplace_back();
    EXPECT_THROW(Engine.getTotal(), std::overflow_error);
}

}  // namespace
}  // namespace korva::test
