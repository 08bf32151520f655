#include "platform/Contrast.h"

#include <algorithm>
#include <cmath>

#include <QColor>

namespace korva::platform {

namespace {

// sRGB channel, 0 to 1, to linear light.
double Linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& colour) {
    return 0.2126 * Linear(colour.redF()) + 0.7152 * Linear(colour.greenF()) + 0.0722 * Linear(colour.blueF());
}

}  // namespace

double ContrastRatio(const QColor& first, const QColor& second) {
    const double one = Luminance(first);
    const double other = Luminance(second);
    return (std::max(one, other) + 0.05) / (std::min(one, other) + 0.05);
}

}  // namespace korva::platform
