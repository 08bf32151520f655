#include "study/TurnShuffle.h"

#include <utility>

namespace korva {

void ShuffleCards(std::vector<int16_t>& Turn, int16_t Total, std::mt19937_64& Random) {
    CycleRandom Cycle(Random());
    Turn.assign(1, 0);
    for (int Card = 1; Card <= Total; ++Card) {
        Turn.push_back(static_cast<int16_t>(Card));
    }
    // Position 0 is the placeholder and never takes part.
    for (int Position = 1; Position < Total; ++Position) {
        const int Other = DrawSwapPosition(Cycle, Position, Total);
        std::swap(Turn[static_cast<std::size_t>(Position)], Turn[static_cast<std::size_t>(Other)]);
    }
}

}  // namespace korva
