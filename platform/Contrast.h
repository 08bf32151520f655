#pragma once

class QColor;

namespace korva::platform {

// How far apart two colours stand for the eye: the ratio of their relative
// luminances as the web's accessibility guidelines (WCAG 2) define it, from
// 1 (the same) to 21 (black on white).
double ContrastRatio(const QColor& first, const QColor& second);

// The least ratio at which text of ordinary size stays readable on its
// background, by the same guidelines.
inline constexpr double ReadableContrast = 4.5;

}  // namespace korva::platform
