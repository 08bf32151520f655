// The schedule's cost of one check: a review applied to a card's memory. The
// reviews measured come from one long random record, so passes and fails,
// reviews in the same sitting and after days or years all take their turn,
// as they do over a day's study; and the replay of a whole record, which the
// deck's kept memory is checked against.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "study/MemoryState.h"

namespace {

using korva::CardMemory;
using korva::Review;

constexpr int64_t Day = 86'400'000;

std::vector<Review> RandomRecord(int count) {
    std::mt19937_64 random(38);
    std::vector<Review> reviews;
    int64_t time = 1'704'067'200'000;  // 2024-01-01T00:00:00Z
    for (int i = 0; i < count; ++i) {
        const int kind = std::uniform_int_distribution<int>(0, 2)(random);
        time += kind == 0 ? std::uniform_int_distribution<int64_t>(0, Day - 1)(random)
                          : std::uniform_int_distribution<int64_t>(Day, (kind == 1 ? 30 : 3000) * Day)(random);
        reviews.push_back({time, std::bernoulli_distribution(0.8)(random)});
    }
    return reviews;
}

void ReviewOneCheck(benchmark::State& state) {
    const korva::ScheduleParameters parameters;
    const std::vector<Review> reviews = RandomRecord(1024);
    // The memory before each review, so that every measured update starts
    // from the state the record leaves there.
    std::vector<CardMemory> before(1);
    for (const Review& review : reviews) {
        before.push_back(korva::Reviewed(before.back(), review, parameters));
    }
    std::size_t at = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(korva::Reviewed(before[at], reviews[at], parameters));
        at = (at + 1) % reviews.size();
    }
}

void ReplayRecord(benchmark::State& state) {
    const korva::ScheduleParameters parameters;
    const std::vector<Review> reviews = RandomRecord(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(korva::Replay(reviews, parameters));
    }
    state.counters["per_review"] = benchmark::Counter(static_cast<double>(state.iterations() * state.range(0)),
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK(ReviewOneCheck)->Unit(benchmark::kNanosecond);
BENCHMARK(ReplayRecord)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace
