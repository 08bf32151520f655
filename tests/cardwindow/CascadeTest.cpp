#include <gtest/gtest.h>

#include "cardwindow/Cascade.h"

using korva::CascadePosition;

TEST(Cascade, StepsDownAndRightUntilTheWindowWouldLeaveTheWorkspace) {
    const QSize window(533, 400);
    const QSize workspace(665, 480);
    const struct {
        std::optional<QPoint> previous;
        QPoint expected;
    } cases[] = {
        {std::nullopt, {0, 0}},     {QPoint(0, 0), {24, 24}},
        {QPoint(48, 48), {72, 72}}, {QPoint(56, 56), {80, 80}},  // touching the bottom edge
        {QPoint(57, 57), {0, 0}},                                // the bottom edge would pass 480
        {QPoint(109, 0), {0, 0}},                                // the right edge would pass 665
        {QPoint(-30, 10), {0, 0}},                               // a window dragged past the left edge
        {QPoint(300, 300), {0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CascadePosition(c.previous, window, workspace, 24), c.expected)
            << (c.previous ? c.previous->x() : -1) << "," << (c.previous ? c.previous->y() : -1);

    // A workspace smaller than one window: every window at the top left.
    EXPECT_EQ(CascadePosition(QPoint(0, 0), window, QSize(400, 300), 24), QPoint(0, 0));
}
