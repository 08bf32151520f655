#pragma once

#include <QString>

namespace korva {

// Where every program keeps its recovery copies: $XDG_STATE_HOME/korva, or
// ~/.local/state/korva when that is not set, for installed and portable
// copies of the program alike. Throws RecoveryError when neither can be told.
QString RecoveryRoot();

// Makes folder and any missing folder above it, private to the user, as the
// XDG rules ask of a state folder. Throws RecoveryError.
void MakePrivateFolder(const QString& folder);

}  // namespace korva
