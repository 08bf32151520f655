#pragma once

#include <climits>

class QLabel;

namespace korva::platform {

// The labels' boxes were drawn for the Windows fonts themselves; the IPA
// fonts that stand in for them run a little larger. A label whose line of
// text needs more room grows right and down from its top left corner, its
// right edge staying left of rightLimit, so its text is whole and nothing
// else moves.
void GrowToText(QLabel& label, int rightLimit = INT_MAX);

}  // namespace korva::platform
