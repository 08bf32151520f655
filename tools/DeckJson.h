#pragma once

#include <string>

#include "deck/CardData.h"
#include "deck/KorvaDeck.h"

namespace korva {

// The deck as one line of JSON in UTF-8: total, modes, then cards 1..total
// with their question item, their two check marks, their two texts and their
// memory in each direction ("memory":[item 1 asked, item 2 asked], each
// MemoryToJson). A deck of no kept memory (.krv, a word list) shows null
// for every direction.
std::string DeckToJson(const CardData& data);
std::string DeckToJson(const KorvaDeck& deck);

// null for a direction never reviewed, else
// {"stability":S,"difficulty":D,"due":"2024-06-03T01:00:00Z","lastReview":"…Z","reviews":N,"lapses":L},
// the times UTC to the second, the numbers in the shortest form that reads
// back as the same double.
std::string MemoryToJson(const CardMemory& memory);

// A double as JSON: its shortest exact form, null for NaN or infinity.
std::string JsonNumber(double value);

// "2024-06-03T01:00:00Z" for milliseconds since the epoch.
std::string IsoSecondsUtc(int64_t ms);

// Appends utf8 as a JSON string, control characters escaped.
void AppendJsonString(std::string& out, const std::string& utf8);

}  // namespace korva
