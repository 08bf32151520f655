#pragma once

#include <optional>

#include <QString>

namespace korva::platform {

// Qt's file dialog decodes names lossily: each byte of a name that is not
// UTF-8 (a name in code page 932, say) comes back as U+FFFD, which names
// another file. Each part of shown that holds U+FFFD is looked up in its
// folder, listed by bytes, and replaced by the one entry shown the same way,
// in the reversible text of deck/PathText.h. nullopt when several entries
// match, or none does and the path must exist; a new file's name (newFile)
// is kept as typed.
std::optional<QString> ResolveDialogPath(const QString& shown, bool newFile);

// Whether shown stands for one existing regular file, or folder.
bool IsShownFile(const QString& shown);
bool IsShownFolder(const QString& shown);

}  // namespace korva::platform
