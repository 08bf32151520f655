#pragma once

#include <cstdint>
#include <random>
#include <vector>

namespace korva {

// Fills Turn with the placeholder 0 followed by a uniformly random
// permutation of the cards 1..Total (Fisher-Yates). Every card comes exactly
// once whatever its marks, and successive calls are independent.
void ShuffleCards(std::vector<int16_t>& Turn, int16_t Total, std::mt19937_64& Random);

}  // namespace korva
