// The shuffle drawn only as far as it is read, against the whole shuffle
// from the same generator.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "deck/CardData.h"
#include "study/LazyShuffle.h"

namespace korva::test {
namespace {

using Rng = std::mt19937_64;

// Positions 0..Last in a random order, so reads jump ahead and come back to
// positions already drawn.
std::vector<int> ReadOrder(int last, Rng& random) {
    std::vector<int> order(static_cast<std::size_t>(last) + 1);
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), random);
    return order;
}

TEST(LazyShuffle, AnyReadsThenCompleteGiveTheWholeShuffleDrawForDraw) {
    for (int total : {0, 1, 2, 3, 7, 64, 1000}) {
        for (uint64_t seed = 1; seed <= 200; ++seed) {
            Rng eager(seed), lazy(seed), reads(seed + 1);
            std::vector<int16_t> expected;
            ShuffleCards(expected, static_cast<int16_t>(total), eager);
            LazyShuffle shuffle;
            shuffle.Begin(static_cast<int16_t>(total), lazy);
            const int last = std::uniform_int_distribution<int>(0, total)(reads);
            for (int position : ReadOrder(last, reads)) {
                ASSERT_EQ(shuffle.CardAt(position), expected[static_cast<std::size_t>(position)])
                    << "total " << total << " seed " << seed << " position " << position;
            }
            std::vector<int16_t> turn{5, 5};
            shuffle.Complete(turn);
            ASSERT_EQ(turn, expected) << "total " << total << " seed " << seed << " read to " << last;
            EXPECT_EQ(shuffle.CardAt(total), expected.back());
            // The next cycle starts from the same generator state either way.
            ASSERT_EQ(lazy(), eager()) << "total " << total << " seed " << seed;
        }
    }
}

TEST(LazyShuffle, CyclesGivenUpEarlyLeaveTheNextCycleAsWholeShufflesWould) {
    Rng eager(77), lazy(77);
    std::vector<int16_t> expected, turn;
    LazyShuffle shuffle;
    for (int cycle = 0; cycle < 300; ++cycle) {
        ShuffleCards(expected, MaxCards, eager);
        shuffle.Begin(MaxCards, lazy);
        for (int position = 1; position <= cycle % 3; ++position) {
            ASSERT_EQ(shuffle.CardAt(position), expected[static_cast<std::size_t>(position)]) << "cycle " << cycle;
        }
    }
    ShuffleCards(expected, MaxCards, eager);
    shuffle.Begin(MaxCards, lazy);
    shuffle.CardAt(2);
    shuffle.Complete(turn);
    EXPECT_EQ(turn, expected);
    EXPECT_FALSE(shuffle.isDrawing());
}

// One shuffle object over many cycles, with totals that grow and shrink and
// cycles given up at every stage: nothing a cycle displaced shows through in
// a later one.
TEST(LazyShuffle, ManyCyclesOfChangingSizesForgetEveryEarlierCycle) {
    Rng eager(5), lazy(5);
    std::vector<int16_t> expected, turn;
    LazyShuffle shuffle;
    for (int cycle = 0; cycle < 70000; ++cycle) {
        const auto total = static_cast<int16_t>(cycle % 2 == 0 ? 9 : 4);
        ShuffleCards(expected, total, eager);
        shuffle.Begin(total, lazy);
        const int read = cycle % 5 == 4 ? total : cycle % 4;
        for (int position = 1; position <= read; ++position) {
            ASSERT_EQ(shuffle.CardAt(position), expected[static_cast<std::size_t>(position)])
                << "cycle " << cycle << " position " << position;
        }
        if (cycle % 1000 == 0) {
            shuffle.Complete(turn);
            ASSERT_EQ(turn, expected) << "cycle " << cycle;
        }
    }
}

TEST(LazyShuffle, PositionsOutsideTheListAreRefused) {
    Rng random(1);
    LazyShuffle shuffle;
    shuffle.Begin(5, random);
    EXPECT_TRUE(shuffle.isDrawing());
    EXPECT_EQ(shuffle.CardAt(0), 0);
    EXPECT_THROW(shuffle.CardAt(-1), std::out_of_range);
    EXPECT_THROW(shuffle.CardAt(6), std::out_of_range);
}

}  // namespace
}  // namespace korva::test
