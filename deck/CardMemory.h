#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace korva {

// What the schedule knows of one card in one asked direction once it has
// been reviewed. Times are UTC milliseconds since the epoch. The deck keeps
// it with its cards (KorvaDeck::memory); memory/MemoryState.h computes it.
struct MemoryState {
    double stability = 0;   // days until retrievability falls to 90 %
    double difficulty = 0;  // 1 (easiest) to 10
    int64_t due = 0;        // after a fail, the time of that fail: due at once
    int64_t lastReview = 0;
    int32_t reviews = 0;
    // Fails of a card whose review before was a pass: forgetting what had
    // been learnt. A fail of a new card, or again of a card not yet passed
    // since its last fail, is no new lapse.
    int32_t lapses = 0;

    bool operator==(const MemoryState&) const = default;
};

// A card direction's memory; empty while it has never been reviewed.
using CardMemory = std::optional<MemoryState>;

// A card's memory in both directions: [0] while item 1 is asked, [1] while
// item 2 is.
using CardMemories = std::array<CardMemory, 2>;

// How a deck is scheduled, as the learner sets it and the deck keeps it.
struct ScheduleSettings {
    int newCardsPerDay = 20;        // MinNewCardsPerDay..MaxNewCardsPerDay
    double desiredRetention = 0.9;  // MinDesiredRetention..MaxDesiredRetention

    bool operator==(const ScheduleSettings&) const = default;
};

inline constexpr int MinNewCardsPerDay = 0;
inline constexpr int MaxNewCardsPerDay = 9999;
inline constexpr double MinDesiredRetention = 0.70;
inline constexpr double MaxDesiredRetention = 0.97;

}  // namespace korva
