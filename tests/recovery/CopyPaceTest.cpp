#include <gtest/gtest.h>

#include <vector>

#include "recovery/CopyPace.h"

namespace korva {
namespace {

// Each step hands a copy over (written < 0) or brings back the result of
// copy number written, at atMs; then the pace is asked at askMs.
struct Step {
    qint64 atMs;
    int written;  // -1 to hand a copy over
};

TEST(CopyPace, ACopyIsFollowedByNineTimesItsLengthAndTheNextWaitsForItsResult) {
    const struct {
        const char* what;
        std::vector<Step> steps;
        qint64 askMs;
        bool writing;
        qint64 waitMs;
    } cases[] = {
        {"nothing written yet", {}, 0, false, 0},
        {"on its way", {{1000, -1}}, 5000, true, 0},
        {"a small deck's copy", {{1000, -1}, {1004, 1}}, 1004, false, 36},
        {"a large deck's copy, at once", {{1000, -1}, {3000, 1}}, 3000, false, 18000},
        {"a large deck's copy, later", {{1000, -1}, {3000, 1}}, 12000, false, 9000},
        {"a large deck's copy, long after", {{1000, -1}, {3000, 1}}, 30000, false, 0},
        {"an earlier copy's result", {{0, -1}, {100, -1}, {500, 1}}, 500, true, 0},
        {"the latest copy's result", {{0, -1}, {100, -1}, {500, 1}, {600, 2}}, 600, false, 4500},
        {"a result twice", {{0, -1}, {100, 1}, {1000, 1}}, 1000, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CopyPace pace;
        int handed = 0;
        for (const Step& step : c.steps) {
            if (step.written < 0) {
                EXPECT_EQ(pace.Started(step.atMs), ++handed);
            } else {
                pace.Written(step.written, step.atMs);
            }
        }
        EXPECT_EQ(pace.isWriting(), c.writing);
        EXPECT_EQ(pace.WaitMs(c.askMs), c.waitMs);
    }
}

}  // namespace
}  // namespace korva
