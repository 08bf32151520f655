#include "document/DeckIndex.h"

#include <stdexcept>
#include <string>

namespace korva {

void ThrowOutsideDeck(int Index, std::size_t extent, const char* what) {
    throw std::out_of_range(std::string(what) + " index " + std::to_string(Index) + " is outside 0.." +
                            std::to_string(static_cast<long long>(extent) - 1));
}

}  // namespace korva
