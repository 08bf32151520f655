#pragma once

#include <cstddef>

namespace korva {

[[noreturn]] void ThrowOutsideDeck(int Index, std::size_t extent, const char* what);

// A 16-bit index checked against the extent of one dimension. Negative
// indexes must fail like any other index outside the deck, never wrap into a
// huge unsigned one. The failure is out of line so that the check itself
// inlines into the dealing loop.
inline std::size_t DeckIndex(int Index, std::size_t extent, const char* what) {
    if (Index < 0 || static_cast<std::size_t>(Index) >= extent) [[unlikely]] {
        ThrowOutsideDeck(Index, extent, what);
    }
    return static_cast<std::size_t>(Index);
}

}  // namespace korva
