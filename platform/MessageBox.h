#pragma once

#include <QString>

#include "platform/Dialogs.h"

class QMessageBox;

namespace korva::platform {

// Makes box the program's message box: the text without any icon, the
// buttons asked for, the window font, a frame with a close box alone, and
// at least the width a window manager needs to show the title whole.
void PrepareMessageBox(QMessageBox& box, const QString& text, MessageButtons buttons, const QString& title);

}  // namespace korva::platform
