#pragma once

#include <QString>

#include "recovery/RecoveryError.h"

namespace korva {

struct DamagedCopy;

// The Japanese sentence for a recovery failure, for the window or the log
// that shows it.
QString DescribeRecoveryError(const RecoveryErrorDetail& detail);

// Why a folder is not usable, e.g. "シンボリックリンクです".
QString DescribeFolderProblem(const FolderProblem& problem);
inline QString DescribeRecoveryError(const RecoveryError& error) { return DescribeRecoveryError(error.detail()); }

// Why an ended program's copy is not offered, and where it stays when it
// could not be moved aside: the note the start-up report gives it.
QString DescribeDamagedCopy(const DamagedCopy& copy);

}  // namespace korva
