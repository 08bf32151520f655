#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace korva {

// A 16-bit index checked against the extent of one dimension. Negative
// indexes must fail like any other index outside the deck, never wrap into a
// huge unsigned one.
inline std::size_t DeckIndex(int Index, std::size_t Extent, const char* What) {
    if (Index < 0 || static_cast<std::size_t>(Index) >= Extent) {
        throw std::out_of_range(std::string(What) + " index " + std::to_string(Index) +
                                " is outside 0.." + std::to_string(static_cast<long long>(Extent) - 1));
    }
    return static_cast<std::size_t>(Index);
}

}  // namespace korva
