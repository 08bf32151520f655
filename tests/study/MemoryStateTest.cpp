// The schedule against the published reference vectors, and against the
// formulas written out plainly, one review at a time, over random records.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <tuple>
#include <utility>
#include <vector>

#include "memory/MemoryState.h"
#include "tests/study/PlainModel.h"

namespace korva::test {
namespace {

constexpr int64_t Day = 86'400'000;
constexpr int64_t Start = 1'704'067'200'000;  // 2024-01-01T00:00:00Z

TEST(MemoryState, PublishedReviewSequenceAndIntervals) {
    struct Step {
        int daysAfterLast;
        bool pass;
        double stability, difficulty;
        int dueDays;  // after the review; 0 is due at once
    };
    // Again, then Good five times.
    const Step steps[] = {
        {0, false, 0.212, 6.4133, 0},     {0, true, 0.246689, 6.402115, 1},   {1, true, 2.021477, 6.390941, 2},
        {3, true, 7.863699, 6.379779, 8}, {8, true, 21.917713, 6.368627, 22}, {21, true, 53.62691, 6.3574867, 54},
    };
    const ScheduleParameters defaults;
    std::vector<Review> reviews;
    CardMemory memory;
    int64_t time = Start;
    for (const Step& step : steps) {
        time += step.daysAfterLast * Day;
        reviews.push_back({time, step.pass});
        memory = Reviewed(memory, reviews.back(), defaults);
        const auto at = reviews.size();
        EXPECT_NEAR(memory->stability, step.stability, 1e-4) << "review " << at;
        EXPECT_NEAR(memory->difficulty, step.difficulty, 1e-4) << "review " << at;
        // A new card's fail is no lapse.
        EXPECT_EQ(std::tuple(memory->due, memory->lastReview, memory->reviews, memory->lapses),
                  std::tuple(time + step.dueDays * Day, time, static_cast<int>(at), 0))
            << "review " << at;
    }
    EXPECT_EQ(Replay(reviews, defaults), memory);
    EXPECT_EQ(Replay({}, defaults), std::nullopt);

    // At stability 1, before the cap and as scheduled. At 10 % the
    // reference's 32-bit floats give 3116766 days.
    struct Interval {
        double retention;
        double days;  // rounded, at least 1
        int scheduled;
    };
    const Interval intervals[] = {{0.1, 3116769, MaxIntervalDays},
                                  {0.2, 34793, 34793},
                                  {0.3, 2508, 2508},
                                  {0.4, 387, 387},
                                  {0.5, 90, 90},
                                  {0.6, 27, 27},
                                  {0.7, 9, 9},
                                  {0.8, 3, 3},
                                  {0.9, 1, 1},
                                  {1.0, 1, 1}};
    for (const Interval& interval : intervals) {
        ScheduleParameters parameters;
        parameters.desiredRetention = interval.retention;
        EXPECT_EQ(std::max(1.0, std::round(IntervalDays(1, interval.retention, parameters))), interval.days)
            << "retention " << interval.retention;
        EXPECT_EQ(ScheduledDays(1, parameters), interval.scheduled) << "retention " << interval.retention;
        EXPECT_NEAR(Retrievability(IntervalDays(3.5, interval.retention, parameters), 3.5, parameters),
                    interval.retention, 1e-9);
    }
    // At 90 % the interval is the stability: rounded, at least a day, capped.
    const std::pair<double, int> bounds[] = {{0.01, 1},
                                             {1.49, 1},
                                             {1.51, 2},
                                             {36499.4, 36499},
                                             {36500.6, MaxIntervalDays},
                                             {HUGE_VAL, MaxIntervalDays},
                                             {NAN, MaxIntervalDays}};
    for (const auto& [stability, days] : bounds) {
        EXPECT_EQ(ScheduledDays(stability, defaults), days) << "stability " << stability;
    }
}

TEST(MemoryState, RandomRecordsAgreeWithThePlainFormulas) {
    // Gaps of every kind: the same moment, within the sitting, either side
    // of 24 hours, days, and years.
    const std::pair<int64_t, int64_t> gaps[] = {
        {0, 0}, {1, Day - 1}, {Day - 1, Day + 1}, {Day, 60 * Day}, {100 * Day, 3000 * Day},
    };
    std::mt19937_64 random(38);
    for (int record = 0; record < 2000; ++record) {
        ScheduleParameters parameters;
        // Half the records under other weights, so that none is taken from
        // the defaults behind the parameters' back.
        for (double& weight : parameters.weights) {
            weight *= record % 2 == 0 ? 1 : std::uniform_real_distribution<double>(0.8, 1.2)(random);
        }
        parameters.desiredRetention = std::uniform_real_distribution<double>(0.7, 0.97)(random);
        const double passShare = std::uniform_real_distribution<double>(0.2, 0.95)(random);
        PlainModel model{parameters.weights, parameters.desiredRetention};
        std::vector<Review> reviews;
        CardMemory memory;
        int64_t time = Start + std::uniform_int_distribution<int64_t>(0, 3650 * Day)(random);
        for (int count = std::uniform_int_distribution<int>(1, 40)(random); count > 0; --count) {
            const auto& [shortest, longest] = gaps[std::uniform_int_distribution<std::size_t>(0, 4)(random)];
            time += reviews.empty() ? 0 : std::uniform_int_distribution<int64_t>(shortest, longest)(random);
            reviews.push_back({time, std::bernoulli_distribution(passShare)(random)});
            model.Review(time, reviews.back().pass);
            memory = Reviewed(memory, reviews.back(), parameters);
            SCOPED_TRACE(testing::Message() << "record " << record << " review " << reviews.size());
            ASSERT_NEAR(memory->stability, model.s, 1e-9 * model.s);
            ASSERT_NEAR(memory->difficulty, model.d, 1e-9);
            ASSERT_EQ(std::tuple(memory->due, memory->lastReview, memory->reviews, memory->lapses),
                      std::tuple(model.due, time, static_cast<int>(reviews.size()), model.lapses));
        }
        ASSERT_EQ(Replay(reviews, parameters), memory) << "record " << record;
    }
}

}  // namespace
}  // namespace korva::test
