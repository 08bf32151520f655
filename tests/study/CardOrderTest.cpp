// The turn list, the position and the order modes.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>

#include "StudyTestSupport.h"

namespace korva::test {
namespace {

std::vector<int16_t> Sorted(std::vector<int16_t> Turn) {
    std::sort(Turn.begin(), Turn.end());
    return Turn;
}

std::vector<int16_t> Identity(int Cards) {
    std::vector<int16_t> Turn(static_cast<std::size_t>(Cards) + 1);
    std::iota(Turn.begin(), Turn.end(), int16_t{0});
    return Turn;
}

TEST(TurnList, ReaderAndAppenderKeepThePlaceholderAtPositionZero) {
    RecordingEngine Engine;
    Engine.getCardData() = MakeDeck(3);
    Engine.ResetCardTurn();
    EXPECT_EQ(Engine.getShowCardIndex(), 0);
    Engine.setCardTurn(3);
    Engine.setCardTurn(7);
    EXPECT_EQ(TurnList(Engine), (std::vector<int16_t>{0, 3, 7}));
    Engine.RemoveCardTurn();
    EXPECT_EQ(TurnList(Engine), (std::vector<int16_t>{0, 3}));
    Engine.ResetCardTurn();
    EXPECT_EQ(TurnList(Engine), std::vector<int16_t>{0});
    EXPECT_THROW(Engine.RemoveCardTurn(), std::out_of_range);
    EXPECT_THROW(Engine.getCardTurn(1), std::out_of_range);
    EXPECT_THROW(Engine.getCardTurn(-1), std::out_of_range);
    Engine.setCardCount(-1);
    EXPECT_THROW(Engine.getShowCardIndex(), std::out_of_range);
}

TEST(TurnList, OneCardGivesTheSameListInBothOrders) {
    for (uint8_t Mode : {1, 2}) {
        RecordingEngine Engine;
        Engine.getCardData() = MakeDeck(1, Mode);
        Engine.Start();
        EXPECT_EQ(TurnList(Engine), (std::vector<int16_t>{0, 1}));
        EXPECT_EQ(Engine.getShowCardIndex(), 1);
    }
}

TEST(TurnList, NormalOrderDealsTheDeckInOrderEveryCycle) {
    RecordingEngine Engine;
    Engine.getCardData() = MakeDeck(4);
    Engine.Start();
    EXPECT_EQ(TurnList(Engine), Identity(4));
    EXPECT_EQ(DealCards(Engine, 7), (std::vector<int16_t>{2, 3, 4, 1, 2, 3, 4}));
    EXPECT_EQ(Engine.Screens, 2);  // the opening Start and the new cycle
}

TEST(TurnList, ShuffleIsAPermutationWhateverTheMarks) {
    RecordingEngine Engine;
    Engine.getCardData() = MakeDeck(50, 2, 1);
    Engine.setCheck(true, 1, 17);
    Engine.setRandomSeed(5);
    for (int Cycle = 0; Cycle < 20; ++Cycle) {
        Engine.ShuffleTurn();
        EXPECT_EQ(Sorted(TurnList(Engine)), Identity(50));
        EXPECT_EQ(Engine.getCardTurn(0), 0);
    }
}

TEST(TurnList, ShuffledCyclesAreIndependentAndUniform) {
    RecordingEngine Engine;
    Engine.getCardData() = MakeDeck(4, 2);
    Engine.setRandomSeed(11);
    // Each of the 24 orders of 4 cards should come about 1/24 of the time,
    // and the order of one cycle should not predict the next.
    std::map<std::vector<int16_t>, int> Orders;
    int Repeats = 0;
    std::vector<int16_t> Previous;
    const int Cycles = 24000;
    for (int Cycle = 0; Cycle < Cycles; ++Cycle) {
        Engine.Start();
        const auto Turn = TurnList(Engine);
        ++Orders[Turn];
        Repeats += Turn == Previous;
        Previous = Turn;
    }
    ASSERT_EQ(Orders.size(), 24u);
    double ChiSquare = 0;
    for (const auto& [Order, Count] : Orders) {
        ChiSquare += (Count - 1000.0) * (Count - 1000.0) / 1000.0;
    }
    EXPECT_LT(ChiSquare, 60.0);  // 23 degrees of freedom; 60 is far beyond p = 0.0001
    EXPECT_NEAR(Repeats, Cycles / 24.0, 150);
}

TEST(TurnList, SeedMakesTheShuffleRepeatable) {
    RecordingEngine First, Second;
    First.getCardData() = MakeDeck(30, 2);
    Second.getCardData() = MakeDeck(30, 2);
    First.setRandomSeed(42);
    Second.setRandomSeed(42);
    First.Start();
    Second.Start();
    EXPECT_EQ(TurnList(First), TurnList(Second));
    RecordingEngine Unseeded;
    Unseeded.getCardData() = MakeDeck(30, 2);
    Unseeded.Start();
    EXPECT_NE(TurnList(Unseeded), TurnList(First));  // 1 in 30! to fail by chance
}

TEST(TurnMode, ChangingTheOrderMidCycleRestartsAtPositionOne) {
    RecordingEngine Engine;
    Engine.getCardData() = MakeDeck(10);
    Engine.Start();
    DealCards(Engine, 4);
    ASSERT_EQ(Engine.getCardCount(), 5);
    Engine.setTurnMode(2);
    Engine.Start();
    EXPECT_EQ(Engine.getCardCount(), 1);
    EXPECT_EQ(Sorted(TurnList(Engine)), Identity(10));
    EXPECT_EQ(Engine.getShowCardIndex(), Engine.getCardTurn(1));
}

TEST(TurnMode, DamagedValueDealsInDeckOrderAndKeepsTheStoredByte) {
    for (uint8_t Mode : {0, 3, 255}) {
        RecordingEngine Engine;
        Engine.getCardData() = MakeDeck(6, Mode);
        Engine.Start();
        EXPECT_EQ(TurnList(Engine), Identity(6));
        EXPECT_EQ(Engine.getTurnMode(), Mode);
    }
}

}  // namespace
}  // namespace korva::test
