#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "deck/KorvaDeck.h"
#include "memory/MemoryState.h"

namespace korva {

// How a deck's kept memory (KorvaDeck::memory) follows its record: the deck
// document applies each answer as it records it, and catches up a deck read
// whose memory lags its record, so the memory always equals a replay.

// The model a deck's settings give: the published weights, the deck's
// desired retention.
ScheduleParameters ParametersOf(const ScheduleSettings& settings);

// What one record row did to the memory of the card direction it names.
struct MemoryChange {
    int64_t cardId = 0;
    int16_t item = 1;  // the item asked: 1 or 2
    CardMemory before;
    MemoryState after;
};

// Applies the record's row at deck.memoryRows, the first one memory does
// not account for yet, with one Reviewed call at the deck's settings, and
// counts it. Nothing when memory accounts for the whole record; a row whose
// item is neither 1 nor 2 is counted and changes nothing. A row of a card
// since removed is applied to its id, which no card has any more and which
// nothing reads or saves: such a review is ignored.
std::optional<MemoryChange> ApplyNextRow(KorvaDeck& deck);

// Applies every row memory does not account for yet, as ApplyNextRow does:
// after one check, one row. Memory that claims more rows than the record
// holds is replayed from the start. Returns the rows applied.
std::size_t CatchUpMemory(KorvaDeck& deck);

// Gives the deck settings (clamped to their ranges) and reckons every kept
// due time again at the new retention, without replaying: a pass's due is
// its review plus ScheduledDays of its stability, a fail's stays at the
// time of the fail, just as a replay would leave them.
void SetScheduleSettings(KorvaDeck& deck, ScheduleSettings settings);

}  // namespace korva
