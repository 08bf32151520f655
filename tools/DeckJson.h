#pragma once

#include <string>

#include "deck/CardData.h"

namespace korva {

// The deck as one line of JSON in UTF-8: total, modes, then cards 1..total
// with their question item, their two check marks and their two texts.
std::string DeckToJson(const CardData& data);

// Appends utf8 as a JSON string, control characters escaped.
void AppendJsonString(std::string& out, const std::string& utf8);

}  // namespace korva
