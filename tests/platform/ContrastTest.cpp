#include <QColor>

#include <gtest/gtest.h>

#include "platform/Contrast.h"

using korva::platform::ContrastRatio;

// Figures as the accessibility guidelines' own examples give them.
TEST(Contrast, RatiosOfKnownPairsEitherWayRound) {
    const struct {
        QColor first, second;
        double ratio;
    } cases[] = {
        {Qt::black, Qt::white, 21.0},
        {QColor(0, 0, 255), Qt::white, 8.59},
        {QColor(0x77, 0x77, 0x77), Qt::white, 4.48},
        {QColor(0, 0, 255), QColor(0x35, 0x35, 0x35), 1.43},
        {QColor(0x80, 0x80, 0x80), QColor(0x80, 0x80, 0x80), 1.0},
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(ContrastRatio(c.first, c.second), c.ratio, 0.01) << c.first.name().toStdString();
        EXPECT_NEAR(ContrastRatio(c.second, c.first), c.ratio, 0.01) << c.second.name().toStdString();
    }
}
