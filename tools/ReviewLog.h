#pragma once

#include <cstdint>
#include <string>

#include "deck/KorvaDeck.h"

namespace korva {

// The study record of a .korva deck as korva-deck's log prints it, one
// answer a row in the record's order, with the columns time (ISO 8601 UTC
// with milliseconds), card (the card's number in the deck now; none for a
// card since removed), item (1 or 2), result (checked or unchecked: the mark
// the card was left with), style (normal: the answer shown, test: typed) and
// judged (right, wrong, or none for an answer only shown).

// "2026-12-09T12:30:05.123Z" for milliseconds since the epoch.
std::string IsoTimeUtc(int64_t ms);

// A header line "time,card,item,result,style,judged", then a line a row;
// lines end in LF and no field needs quotes. card is empty for a removed
// card, judged for an answer that was only shown.
std::string ReviewLogCsv(const KorvaDeck& deck);

// One JSON array of objects with those keys; card and judged are null where
// the CSV leaves them empty, item a number.
std::string ReviewLogJson(const KorvaDeck& deck);

}  // namespace korva
