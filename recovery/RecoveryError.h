#pragma once

#include <stdexcept>
#include <string>

#include <QString>

#include "deck/DeckError.h"
#include "deck/UserFolders.h"

namespace korva {

// What went wrong with the recovery copies' folder or a copy's files. The
// sentence the user reads is made by DescribeRecoveryError where it is shown.
enum class RecoveryErrorKind {
    UserFolder,          // userFolder: why the recovery root cannot be found or made
    FolderUnusable,      // path, folder: why the folder is not the user's own
    CannotMakeFolder,    // path, reason: the system's
    CannotMakeFolderIn,  // path: the root a folder of this program's could not be made in
    CannotLock,          // path
    CannotRemove,        // path, reason: the system's
    OriginDamaged,       // a copy's side file is not one
    OriginUnreadable,    // deck: why it could not be read
    DeckFailure,         // deck: a copy that cannot be read, written or made, as the deck layer says
    NotProgramsFolder,   // folder: why an entry of the root was left unopened
    CopyIsLink,          // a copy or its side file is a symbolic link, left unread
    CannotMoveAside,     // path: the file, reason: the system's
};

// Why a folder is not one the copies may use.
enum class FolderCause {
    System,  // reason holds the system's words
    SymbolicLink,
    NotFolder,
    OthersFolder,
    OthersMayWrite,
    OthersMayOpen,
    NameNotUtf8,
};

// A folder the copies may not use: its cause, and the system's words for System.
struct FolderProblem {
    FolderCause cause = FolderCause::System;
    QString reason{};
};

struct RecoveryErrorDetail {
    RecoveryErrorKind kind = RecoveryErrorKind::OriginDamaged;
    QString path{};
    QString reason{};
    DeckErrorDetail deck{};
    FolderProblem folder{};
    FolderErrorDetail userFolder{};
};

// A failure of the recovery copies; what() names the kind for a developer's
// log only.
class RecoveryError : public std::runtime_error {
public:
    explicit RecoveryError(RecoveryErrorDetail detail)
        : std::runtime_error("recovery error of kind " + std::to_string(static_cast<int>(detail.kind))),
          Detail_(std::move(detail)) {}

    const RecoveryErrorDetail& detail() const { return Detail_; }

private:
    RecoveryErrorDetail Detail_;
};

}  // namespace korva
