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
std::vector<int> ReadOrder(int Last, Rng& Random) {
    std::vector<int> Order(static_cast<std::size_t>(Last) + 1);
    std::iota(Order.begin(), Order.end(), 0);
    std::shuffle(Order.begin(), Order.end(), Random);
    return Order;
}

TEST(LazyShuffle, AnyReadsThenCompleteGiveTheWholeShuffleDrawForDraw) {
    for (int Total : {0, 1, 2, 3, 7, 64, 1000}) {
        for (uint64_t Seed = 1; Seed <= 200; ++Seed) {
            Rng Eager(Seed), Lazy(Seed), Reads(Seed + 1);
            std::vector<int16_t> Expected;
            ShuffleCards(Expected, static_cast<int16_t>(Total), Eager);
            LazyShuffle Shuffle;
            Shuffle.Begin(static_cast<int16_t>(Total), Lazy);
            const int Last = std::uniform_int_distribution<int>(0, Total)(Reads);
            for (int Position : ReadOrder(Last, Reads)) {
                ASSERT_EQ(Shuffle.CardAt(Position), Expected[static_cast<std::size_t>(Position)])
                    << "total " << Total << " seed " << Seed << " position " << Position;
            }
            std::vector<int16_t> Turn{5, 5};
            Shuffle.Complete(Turn);
            ASSERT_EQ(Turn, Expected) << "total " << Total << " seed " << Seed << " read to " << Last;
            EXPECT_EQ(Shuffle.CardAt(Total), Expected.back());
            // The next cycle starts from the same generator state either way.
            ASSERT_EQ(Lazy(), Eager()) << "total " << Total << " seed " << Seed;
        }
    }
}

TEST(LazyShuffle, CyclesGivenUpEarlyLeaveTheNextCycleAsWholeShufflesWould) {
    Rng Eager(77), Lazy(77);
    std::vector<int16_t> Expected, Turn;
    LazyShuffle Shuffle;
    for (int Cycle = 0; Cycle < 300; ++Cycle) {
        ShuffleCards(Expected, MaxCards, Eager);
        Shuffle.Begin(MaxCards, Lazy);
        for (int Position = 1; Position <= Cycle % 3; ++Position) {
            ASSERT_EQ(Shuffle.CardAt(Position), Expected[static_cast<std::size_t>(Position)]) << "cycle " << Cycle;
        }
    }
    ShuffleCards(Expected, MaxCards, Eager);
    Shuffle.Begin(MaxCards, Lazy);
    Shuffle.CardAt(2);
    Shuffle.Complete(Turn);
    EXPECT_EQ(Turn, Expected);
    EXPECT_FALSE(Shuffle.isDrawing());
}

TEST(LazyShuffle, PositionsOutsideTheListAreRefused) {
    Rng Random(1);
    LazyShuffle Shuffle;
    Shuffle.Begin(5, Random);
    EXPECT_TRUE(Shuffle.isDrawing());
    EXPECT_EQ(Shuffle.CardAt(0), 0);
    EXPECT_THROW(Shuffle.CardAt(-1), std::out_of_range);
    EXPECT_THROW(Shuffle.CardAt(6), std::out_of_range);
}

}  // namespace
}  // namespace korva::test
