#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "deck/CardMemory.h"

namespace korva {

// The schedule reckons elapsed time in whole 24-hour days from the last
// review, not in calendar days, so a review's outcome does not depend on the
// time zone or on where the learner's day begins.
inline constexpr int64_t MillisecondsPerDay = 86'400'000;

// The longest a pass puts a card off, about a hundred years: far enough that
// no learner meets it, near enough that a due time never overflows.
inline constexpr int MaxIntervalDays = 36'500;

// A card direction's memory (MemoryState, CardMemory) is declared in
// deck/CardMemory.h, as the deck keeps it.

// The scheduler's model (FSRS-6): its 21 weights w0..w20 and the
// retrievability a card is due at. The defaults are the published ones.
struct ScheduleParameters {
    std::array<double, 21> weights{0.212,  1.2931, 2.3065, 8.2956, 6.4133, 0.8334, 3.0194,
                                   0.001,  1.8722, 0.1666, 0.796,  1.4835, 0.0614, 0.2629,
                                   1.6483, 0.6014, 1.8729, 0.5425, 0.0912, 0.0658, 0.1542};
    double desiredRetention = 0.9;
};

// One check of a card at a time: チェック passes it (rated Good),
// チェック解除 fails it (rated Again).
struct Review {
    int64_t time = 0;
    bool pass = false;
};

// The probability of recall elapsedDays after a review that left Stability.
double Retrievability(double elapsedDays, double stability, const ScheduleParameters& parameters);

// The days, unrounded and unbounded, until retrievability falls from
// certainty to Retention at Stability: equal to Stability at 90 %, zero at
// 100 %, and astronomically large for a low retention.
double IntervalDays(double stability, double retention, const ScheduleParameters& parameters);

// The whole days a pass that left Stability puts the card off: the interval
// at the desired retention, rounded, at least 1 and at most MaxIntervalDays.
int ScheduledDays(double stability, const ScheduleParameters& parameters);

// The memory after one more review. A review less than a whole day after the
// last one (or dated before it, as a clock set back may give) counts as
// short-term, in the same sitting; reviews are otherwise taken in the order
// they are applied, whatever their times.
MemoryState Reviewed(const CardMemory& memory, const Review& review, const ScheduleParameters& parameters = {});

// The memory a record of reviews leaves, applied in their order: empty for
// no review.
CardMemory Replay(std::span<const Review> reviews, const ScheduleParameters& parameters = {});

}  // namespace korva
