#pragma once

#include <memory>

#include "platform/Dialogs.h"
#include "recovery/RecoveryStore.h"

namespace korva {

// The running program's recovery store under the recovery root. Without a
// folder it may use the program runs on keeping no copies, and the user is
// told so once, with the reason.
std::unique_ptr<RecoveryStore> OpenRecoveryStore(platform::Dialogs& dialogs);

}  // namespace korva
