#include "memory/MemoryState.h"

#include <algorithm>
#include <cmath>

namespace korva {
namespace {

// The model's ratings; KORVA's two buttons give only these two of its four.
constexpr double Again = 1;
constexpr double Good = 3;
constexpr double Easy = 4;

using Weights = std::array<double, 21>;

double Decay(const Weights& w) { return -w[20]; }

// Chosen so that retrievability is exactly 90 % after Stability days.
double Factor(const Weights& w) { return std::pow(0.9, 1 / Decay(w)) - 1; }

double InitialDifficulty(double grade, const Weights& w) { return w[4] - std::exp(w[5] * (grade - 1)) + 1; }

double ClampDifficulty(double difficulty) { return std::clamp(difficulty, 1.0, 10.0); }

double NextDifficulty(double difficulty, double grade, const Weights& w) {
    const double change = -w[6] * (grade - 3);
    // The nearer to 10, the less a fail raises it (linear damping).
    const double damped = difficulty + change * (10 - difficulty) / 9;
    // Pulled a little towards the difficulty of a first Easy, which keeps
    // a card passed many times from staying at its first difficulty forever.
    return ClampDifficulty(w[7] * InitialDifficulty(Easy, w) + (1 - w[7]) * damped);
}

double ShortTermStability(double stability, double grade, const Weights& w) {
    double growth = std::exp(w[17] * (grade - 3 + w[18])) * std::pow(stability, -w[19]);
    if (grade >= Good) {
        // A pass in the same sitting never lowers stability.
        growth = std::max(growth, 1.0);
    }
    return stability * growth;
}

double RecallStability(double stability, double difficulty, double retrievability, const Weights& w) {
    // Good: neither the Hard penalty w15 nor the Easy bonus w16 applies.
    return stability * (1 + std::exp(w[8]) * (11 - difficulty) * std::pow(stability, -w[9]) *
                                (std::exp((1 - retrievability) * w[10]) - 1));
}

double ForgettingStability(double stability, double difficulty, double retrievability, const Weights& w) {
    const double forgot = w[11] * std::pow(difficulty, -w[12]) * (std::pow(stability + 1, w[13]) - 1) *
                          std::exp((1 - retrievability) * w[14]);
    // A fail never leaves more stability than a fail in the same sitting would.
    return std::min(forgot, stability / std::exp(w[17] * w[18]));
}

}  // namespace

double Retrievability(double elapsedDays, double stability, const ScheduleParameters& parameters) {
    const Weights& w = parameters.weights;
    return std::pow(1 + Factor(w) * elapsedDays / stability, Decay(w));
}

double IntervalDays(double stability, double retention, const ScheduleParameters& parameters) {
    const Weights& w = parameters.weights;
    return stability / Factor(w) * (std::pow(retention, 1 / Decay(w)) - 1);
}

int ScheduledDays(double stability, const ScheduleParameters& parameters) {
    const double days = std::round(IntervalDays(stability, parameters.desiredRetention, parameters));
    // Written so that an infinite or undefined interval is capped too.
    if (!(days < MaxIntervalDays)) {
        return MaxIntervalDays;
    }
    return std::max(1, static_cast<int>(days));
}

MemoryState Reviewed(const CardMemory& memory, const Review& review, const ScheduleParameters& parameters) {
    const Weights& w = parameters.weights;
    const double grade = review.pass ? Good : Again;
    MemoryState next;
    if (!memory) {
        next.stability = w[static_cast<std::size_t>(grade) - 1];
        next.difficulty = ClampDifficulty(InitialDifficulty(grade, w));
    } else {
        next = *memory;
        const int64_t elapsed = review.time - memory->lastReview;
        if (elapsed < MillisecondsPerDay) {
            next.stability = ShortTermStability(memory->stability, grade, w);
        } else {
            // Whole days only: what is left of the last day does not count.
            const int64_t wholeDays = elapsed / MillisecondsPerDay;
            const double retrievability = Retrievability(static_cast<double>(wholeDays), memory->stability, parameters);
            next.stability = review.pass
                                 ? RecallStability(memory->stability, memory->difficulty, retrievability, w)
                                 : ForgettingStability(memory->stability, memory->difficulty, retrievability, w);
        }
        next.difficulty = NextDifficulty(memory->difficulty, grade, w);
        // Only a pass schedules a card after its review.
        if (!review.pass && memory->due > memory->lastReview) {
            ++next.lapses;
        }
    }
    ++next.reviews;
    next.lastReview = review.time;
    next.due = review.pass ? review.time + ScheduledDays(next.stability, parameters) * MillisecondsPerDay : review.time;
    return next;
}

CardMemory Replay(std::span<const Review> reviews, const ScheduleParameters& parameters) {
    CardMemory memory;
    for (const Review& review : reviews) {
        memory = Reviewed(memory, review, parameters);
    }
    return memory;
}

}  // namespace korva
