#pragma once

#include <optional>

#include <QString>

#include "recovery/RecoveryError.h"

namespace korva {

// Where every program keeps its recovery copies: $XDG_STATE_HOME/korva, or
// ~/.local/state/korva when that is not set, for installed and portable
// copies of the program alike. Throws RecoveryError when neither can be told.
QString RecoveryRoot();

// Makes folder, and any missing folder above it, private to the user (0700),
// as the XDG rules ask of a state folder. An existing folder is taken only
// when it is a folder itself, not a symbolic link, is the user's, and no one
// else may write in it: anything else may hold what another user put there.
// Throws RecoveryError saying which and why.
void MakePrivateFolder(const QString& folder);

// None when path is a folder made by the program for itself: a folder, not
// a symbolic link, of the user's, that no one else may open. Otherwise why it
// is not.
std::optional<FolderProblem> WhyNotPrivateFolder(const QString& path);

}  // namespace korva
