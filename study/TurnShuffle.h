#pragma once

#include <cstdint>
#include <random>
#include <vector>

namespace korva {

// The random source of one cycle's shuffle (SplitMix64). Every cycle seeds
// it with exactly one value of the window's generator, so a cycle that is
// given up after a position or two, and never drawn in full, leaves the
// window's generator where a whole shuffle would have left it.
class CycleRandom {
public:
    using result_type = uint64_t;

    explicit CycleRandom(uint64_t seed = 0) : State_(seed) {}

    static constexpr result_type min() { return 0; }
    static constexpr result_type max() { return UINT64_MAX; }

    result_type operator()() {
        uint64_t value = (State_ += 0x9E3779B97F4A7C15ull);
        value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ull;
        value = (value ^ (value >> 27)) * 0x94D049BB133111EBull;
        return value ^ (value >> 31);
    }

private:
    uint64_t State_;
};

// Step Position of the forward Fisher-Yates shuffle swaps the entry there
// with the one at the position this draws.
inline int DrawSwapPosition(CycleRandom& random, int position, int total) {
    return std::uniform_int_distribution<int>(position, total)(random);
}

// Fills Turn with the placeholder 0 followed by a uniformly random
// permutation of the cards 1..Total. The forward order of the steps fixes
// position 1 first, then 2, and so on, which is what lets LazyShuffle stop
// after the positions a cycle actually deals. Every card comes exactly once
// whatever its marks, and successive calls are independent.
void ShuffleCards(std::vector<int16_t>& turn, int16_t total, std::mt19937_64& random);

}  // namespace korva
