#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace korva::test {

// A day, written out again rather than taken from the code under test.
inline constexpr int64_t PlainDay = 86'400'000;

// The formulas as written, in double precision, for the differential test.
struct PlainModel {
    std::array<double, 21> w;
    double retention;
    double s = 0, d = 0;  // s 0 before the first review
    int64_t due = 0, last = 0;
    int lapses = 0;
    bool lastPassed = false;

    void Review(int64_t time, bool pass) {
        const double g = pass ? 3 : 1, decay = -w[20], factor = std::pow(0.9, 1 / decay) - 1;
        if (s == 0) {
            s = pass ? w[2] : w[0];
            d = std::clamp(w[4] - std::exp(w[5] * (g - 1)) + 1, 1.0, 10.0);
        } else {
            const int64_t wholeDays = (time - last) / 86'400'000;
            const double r = std::pow(1 + factor * static_cast<double>(wholeDays) / s, decay);
            if (time - last < PlainDay) {
                s = s * std::max(std::exp(w[17] * (g - 3 + w[18])) * std::pow(s, -w[19]), pass ? 1.0 : 0.0);
            } else if (pass) {
                s = s * (1 + std::exp(w[8]) * (11 - d) * std::pow(s, -w[9]) * (std::exp((1 - r) * w[10]) - 1));
            } else {
                s = std::min(w[11] * std::pow(d, -w[12]) * (std::pow(s + 1, w[13]) - 1) * std::exp((1 - r) * w[14]),
                             s / std::exp(w[17] * w[18]));
            }
            const double d0Easy = w[4] - std::exp(w[5] * 3) + 1;
            d = std::clamp(w[7] * d0Easy + (1 - w[7]) * (d + (-w[6] * (g - 3)) * (10 - d) / 9), 1.0, 10.0);
            lapses += !pass && lastPassed ? 1 : 0;
        }
        const double days =
            std::min(std::max(1.0, std::round(s / factor * (std::pow(retention, 1 / decay) - 1))), 36500.0);
        due = pass ? time + static_cast<int64_t>(days) * PlainDay : time;
        last = time;
        lastPassed = pass;
    }
};

}  // namespace korva::test
