#pragma once

#include <stdexcept>
#include <string>
#include <utility>

#include <QByteArray>
#include <QString>

#include "deck/DeckError.h"
#include "deck/UserFolders.h"

namespace korva {

// The environment record. FolderPath is kept as the code page 932 bytes of the
// file: nothing in the program reads it, so it passes from the file back into
// the file unchanged, even when its bytes do not decode.
struct Environment {
    QByteArray FolderPath;
};

// Why the program's folder or its environment file cannot be used. The
// sentence the user reads is made by DescribeEnvironmentError
// (shell/EnvironmentErrorText.h) where it is shown.
enum class EnvironmentErrorKind {
    ProgramFolderUnknown,  // reason: the system's
    ProgramFolderGone,     // path: the executable, reason: the system's
    UserFolder,            // folder: the configuration folder cannot be found or made
    CannotOpen,            // path, cause and, for FileCause::System, reason
    CannotRead,            // path, reason: Qt's
    CannotWrite,           // path, reason: Qt's
};

struct EnvironmentErrorDetail {
    EnvironmentErrorKind kind = EnvironmentErrorKind::CannotOpen;
    QString path{};
    FileCause cause = FileCause::System;
    QString reason{};
    FolderErrorDetail folder{};
};

// The environment file could not be opened, created, read or written, or its
// folder not found; what() names the kind for a developer's log only.
class EnvironmentError : public std::runtime_error {
public:
    explicit EnvironmentError(EnvironmentErrorDetail detail)
        : std::runtime_error("environment error of kind " + std::to_string(static_cast<int>(detail.kind))),
          Detail_(std::move(detail)) {}

    const EnvironmentErrorDetail& detail() const { return Detail_; }

private:
    EnvironmentErrorDetail Detail_;
};

// Sets EnvironmentFile to folder + "/environment.kfg". The folder is given
// as the bytes of its name, so that any name the file system allows works.
void InitEnvironment(const QByteArray& folder);
// The same for a folder named as text.
void InitEnvironment(const QString& folder);

// Reads the record from the start of EnvironmentFile, creating an empty file
// when there is none. A damaged record (one byte, or a count past the end of
// the file) reads as an empty FolderPath.
void LoadEnvironment();
// Writes the record at the start of EnvironmentFile; the bytes after it stay.
void SaveEnvironment();

const QString& getEnvironmentFile();
const Environment& getEnvironment();

}  // namespace korva
