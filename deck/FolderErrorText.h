#pragma once

#include <QString>

#include "deck/UserFolders.h"

namespace korva {

// The Japanese sentence for a user's folder that cannot be found or made,
// for whichever window or log shows it.
QString DescribeFolderError(const FolderErrorDetail& detail);
inline QString DescribeFolderError(const FolderError& error) { return DescribeFolderError(error.detail()); }

}  // namespace korva
