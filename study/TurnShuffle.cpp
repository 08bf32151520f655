#include "study/TurnShuffle.h"

#include <utility>

namespace korva {

void ShuffleCards(std::vector<int16_t>& turn, int16_t total, std::mt19937_64& random) {
    CycleRandom cycle(random());
    turn.assign(1, 0);
    for (int card = 1; card <= total; ++card) {
        turn.push_back(static_cast<int16_t>(card));
    }
    // Position 0 is the placeholder and never takes part.
    for (int position = 1; position < total; ++position) {
        const int other = DrawSwapPosition(cycle, position, total);
        std::swap(turn[static_cast<std::size_t>(position)], turn[static_cast<std::size_t>(other)]);
    }
}

}  // namespace korva
