#pragma once

#include <memory>
#include <vector>

#include <QLockFile>
#include <QString>

namespace korva {

// The layout under the recovery root, shared by the running program's store
// and the reading of copies that programs left behind:
//
//   program-XXXXXX/          one folder per running program
//     lock                   its QLockFile, held while the program runs
//     deck-N.krv             card window N's deck, a deck file as saved
//     deck-N.origin          its side file (RecoveryOrigin.h)
//   damaged/                 copies that could not be read, kept for the user
inline const QString ProgramFolderPrefix = QStringLiteral("program-");
inline const QString DamagedFolderName = QStringLiteral("damaged");

QString CopyPath(const QString& folder, int number);
QString OriginPath(const QString& folder, int number);
// The numbers N of the deck-N.krv files in folder, in ascending order,
// links included.
std::vector<int> CopyNumbers(const QString& folder);

// Removes copy number of folder and its side file; false when either stays.
bool RemoveCopy(const QString& folder, int number);

// Locks folder unless a running program holds it or its lock is not a plain
// file. Only a live process keeps a lock, however old: the program runs for
// hours, so a lock is never taken for stale by its age.
std::unique_ptr<QLockFile> TryLockFolder(const QString& folder);

// Removes folder, which lock holds. The copies go first, while the folder is
// still locked, so that no program starting meanwhile can read them. Only
// the files the program writes are removed: a folder holding anything else
// stays, unlocked.
void RemoveLockedFolder(const QString& folder, QLockFile& lock);

}  // namespace korva
