#include "study/DeckIndex.h"

#include <stdexcept>
#include <string>

namespace korva {

void ThrowOutsideDeck(int Index, std::size_t Extent, const char* What) {
    throw std::out_of_range(std::string(What) + " index " + std::to_string(Index) + " is outside 0.." +
                            std::to_string(static_cast<long long>(Extent) - 1));
}

}  // namespace korva
