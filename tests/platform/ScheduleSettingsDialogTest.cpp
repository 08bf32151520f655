// 学習の設定: the deck's settings shown, changed and given back within the
// ranges the deck keeps, retention shown as a percentage.
#include <QDoubleSpinBox>
#include <QSpinBox>

#include <gtest/gtest.h>

#include "platform/ScheduleSettingsDialog.h"

namespace korva::platform {
namespace {

TEST(ScheduleSettingsDialog, ShowsTheSettingsAndGivesBackWhatIsTypedWithinTheirRanges) {
    struct Case {
        int newCards;    // typed
        double percent;  // typed
        ScheduleSettings expected;
    };
    const Case cases[] = {
        {30, 85, {30, 0.85}},
        {0, 70, {0, 0.70}},
        {20'000, 99, {MaxNewCardsPerDay, MaxDesiredRetention}},
        {-5, 10, {MinNewCardsPerDay, MinDesiredRetention}},
    };
    for (const Case& c : cases) {
        ScheduleSettingsDialog dialog({.newCardsPerDay = 12, .desiredRetention = 0.93});
        auto* newCards = dialog.findChild<QSpinBox*>(QStringLiteral("newCards"));
        auto* retention = dialog.findChild<QDoubleSpinBox*>(QStringLiteral("retention"));
        ASSERT_NE(newCards, nullptr);
        ASSERT_NE(retention, nullptr);
        EXPECT_EQ(newCards->value(), 12);
        EXPECT_DOUBLE_EQ(retention->value(), 93);
        newCards->setValue(c.newCards);
        retention->setValue(c.percent);
        const ScheduleSettings settings = dialog.getSettings();
        EXPECT_EQ(settings.newCardsPerDay, c.expected.newCardsPerDay) << c.newCards;
        EXPECT_NEAR(settings.desiredRetention, c.expected.desiredRetention, 1e-9) << c.percent;
    }
}

}  // namespace
}  // namespace korva::platform
