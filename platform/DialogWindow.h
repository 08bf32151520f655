#pragma once

#include <Qt>

namespace korva::platform {

// The frame of the program's dialogs and message boxes: a title and a close
// box, with no minimise or maximise button and no resizing.
inline constexpr Qt::WindowFlags DialogWindowFlags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                                     Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;

}  // namespace korva::platform
