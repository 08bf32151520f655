#pragma once

#include <QString>

#include "recovery/RecoveryError.h"

namespace korva {

// The Japanese sentence for a recovery failure, for the window or the log
// that shows it.
QString DescribeRecoveryError(const RecoveryErrorDetail& detail);

// Why a folder is not usable, e.g. "シンボリックリンクです".
QString DescribeFolderProblem(const FolderProblem& problem);
inline QString DescribeRecoveryError(const RecoveryError& error) { return DescribeRecoveryError(error.detail()); }

}  // namespace korva
