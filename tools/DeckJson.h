#pragma once

#include <string>

#include "deck/CardData.h"

namespace korva {

// The deck as one line of JSON in UTF-8: total, modes, then cards 1..total
// with their question item, their two check marks and their two texts.
std::string DeckToJson(const CardData& data);

}  // namespace korva
