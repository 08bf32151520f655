#pragma once

#include <QIcon>

namespace korva::platform {

// The program's 32 x 32, 16-colour icon: two flash cards, the front one
// ticked. The main window and every card window show it.
QIcon AppIcon();

}  // namespace korva::platform
