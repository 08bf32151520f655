#pragma once

#include <cstdint>

#include "deck/CardData.h"

namespace korva {

// One card with everything the deck keeps of it, lifted out of the deck's
// parallel arrays: what a removal keeps for its undo and a paste inserts.
struct CardSlot {
    CardData::ItemTexts items{};
    CardData::ItemChecks checks{False16, False16, False16};
    int16_t questionItem = 1;

    bool operator==(const CardSlot&) const = default;
};

}  // namespace korva
