// The turn list, the position and the order modes.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>

#include "StudyTestSupport.h"

namespace korva::test {
namespace {

std::vector<int16_t> Sorted(std::vector<int16_t> turn) {
    std::sort(turn.begin(), turn.end());
    return turn;
}

std::vector<int16_t> Identity(int cards) {
    std::vector<int16_t> turn(static_cast<std::size_t>(cards) + 1);
    std::iota(turn.begin(), turn.end(), int16_t{0});
    return turn;
}

TEST(TurnList, ReaderAndAppenderKeepThePlaceholderAtPositionZero) {
    RecordingEngine engine;
    engine.getDocument().Replace(MakeDeck(3));
    engine.ResetCardTurn();
    EXPECT_EQ(engine.getShowCardIndex(), 0);
    engine.setCardTurn(3);
    engine.setCardTurn(7);
    EXPECT_EQ(TurnList(engine), (std::vector<int16_t>{0, 3, 7}));
    engine.RemoveCardTurn();
    EXPECT_EQ(TurnList(engine), (std::vector<int16_t>{0, 3}));
    engine.ResetCardTurn();
    EXPECT_EQ(TurnList(engine), std::vector<int16_t>{0});
    EXPECT_THROW(engine.RemoveCardTurn(), std::out_of_range);
    EXPECT_THROW(engine.getCardTurn(1), std::out_of_range);
    EXPECT_THROW(engine.getCardTurn(-1), std::out_of_range);
    engine.setCardCount(-1);
    EXPECT_THROW(engine.getShowCardIndex(), std::out_of_range);
}

TEST(TurnList, OneCardGivesTheSameListInBothOrders) {
    for (uint8_t mode : {TurnNormal, TurnShuffle}) {
        RecordingEngine engine;
        engine.getDocument().Replace(MakeDeck(1, mode));
        engine.Start();
        EXPECT_EQ(TurnList(engine), (std::vector<int16_t>{0, 1}));
        EXPECT_EQ(engine.getShowCardIndex(), 1);
    }
}

TEST(TurnList, NormalOrderDealsTheDeckInOrderEveryCycle) {
    RecordingEngine engine;
    engine.getDocument().Replace(MakeDeck(4));
    engine.Start();
    EXPECT_EQ(TurnList(engine), Identity(4));
    EXPECT_EQ(DealCards(engine, 7), (std::vector<int16_t>{2, 3, 4, 1, 2, 3, 4}));
    EXPECT_EQ(engine.screens, 2);  // the opening Start and the new cycle
}

TEST(TurnList, ShuffleIsAPermutationWhateverTheMarks) {
    RecordingEngine engine;
    engine.getDocument().Replace(MakeDeck(50, TurnShuffle, ViewChecked));
    engine.setCheck(true, 1, 17);
    engine.setRandomSeed(5);
    for (int cycle = 0; cycle < 20; ++cycle) {
        engine.ShuffleTurn();
        EXPECT_EQ(Sorted(TurnList(engine)), Identity(50));
        EXPECT_EQ(engine.getCardTurn(0), 0);
    }
}

TEST(TurnList, ShuffledCyclesAreIndependentAndUniform) {
    RecordingEngine engine;
    engine.getDocument().Replace(MakeDeck(4, TurnShuffle));
    engine.setRandomSeed(11);
    // Each of the 24 orders of 4 cards should come about 1/24 of the time,
    // and the order of one cycle should not predict the next.
    std::map<std::vector<int16_t>, int> orders;
    int repeats = 0;
    std::vector<int16_t> previous;
    const int cycles = 24000;
    for (int cycle = 0; cycle < cycles; ++cycle) {
        engine.Start();
        const auto turn = TurnList(engine);
        ++orders[turn];
        repeats += turn == previous;
        previous = turn;
    }
    ASSERT_EQ(orders.size(), 24u);
    double chiSquare = 0;
    for (const auto& [Order, Count] : orders) {
        chiSquare += (Count - 1000.0) * (Count - 1000.0) / 1000.0;
    }
    EXPECT_LT(chiSquare, 60.0);  // 23 degrees of freedom; 60 is far beyond p = 0.0001
    EXPECT_NEAR(repeats, cycles / 24.0, 150);
}

TEST(TurnList, SeedMakesTheShuffleRepeatable) {
    RecordingEngine first, second;
    first.getDocument().Replace(MakeDeck(30, TurnShuffle));
    second.getDocument().Replace(MakeDeck(30, TurnShuffle));
    first.setRandomSeed(42);
    second.setRandomSeed(42);
    first.Start();
    second.Start();
    EXPECT_EQ(TurnList(first), TurnList(second));
    RecordingEngine unseeded;
    unseeded.getDocument().Replace(MakeDeck(30, TurnShuffle));
    unseeded.Start();
    EXPECT_NE(TurnList(unseeded), TurnList(first));  // 1 in 30! to fail by chance
}

TEST(TurnMode, ChangingTheOrderMidCycleRestartsAtPositionOne) {
    RecordingEngine engine;
    engine.getDocument().Replace(MakeDeck(10));
    engine.Start();
    DealCards(engine, 4);
    ASSERT_EQ(engine.getCardCount(), 5);
    engine.setTurnMode(TurnShuffle);
    engine.Start();
    EXPECT_EQ(engine.getCardCount(), 1);
    EXPECT_EQ(Sorted(TurnList(engine)), Identity(10));
    EXPECT_EQ(engine.getShowCardIndex(), engine.getCardTurn(1));
}

TEST(TurnMode, DamagedValueDealsInDeckOrderAndKeepsTheStoredByte) {
    for (uint8_t mode : {0, 3, 255}) {
        RecordingEngine engine;
        engine.getDocument().Replace(MakeDeck(6, mode));
        engine.Start();
        EXPECT_EQ(TurnList(engine), Identity(6));
        EXPECT_EQ(engine.getTurnMode(), mode);
    }
}

}  // namespace
}  // namespace korva::test
