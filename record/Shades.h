#pragma once

#include <QColor>
#include <QPalette>

namespace korva {

// The colour of a count among counts up to most: the theme's highlight,
// stronger for more, in four steps as a heat map reads; a faint square for
// none, so the empty days still show the calendar's shape in a dark theme too.
inline QColor Shade(const QPalette& palette, int count, int most) {
    QColor colour = palette.color(QPalette::Highlight);
    if (count <= 0 || most <= 0) {
        colour = palette.color(QPalette::WindowText);
        colour.setAlphaF(0.08F);
        return colour;
    }
    const int step = (4 * count + most - 1) / most;  // 1..4
    colour.setAlphaF(0.25F * static_cast<float>(step));
    return colour;
}

}  // namespace korva
