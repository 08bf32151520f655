#pragma once

#include <stdexcept>
#include <string>
#include <utility>

#include <QByteArray>
#include <QString>

namespace korva {

// The folders the program keeps for its user, named as the XDG rules say.
// Folders are kept as the bytes the file system uses: a folder name need not
// be valid text, and decoding it would name another folder.

// Which of the user's folders is meant, for the error that names it.
enum class UserFolder { Configuration, RecoveryCopies };

// Why a user's folder cannot be found or made. The sentence the user reads is
// made by DescribeFolderError (deck/FolderErrorText.h) where it is shown.
enum class FolderErrorKind {
    NoHome,      // folder: HOME is not set, nor the folder's own variable
    CannotMake,  // path, systemReason
    NotFolder,   // path, systemReason: something else stands at path
};

struct FolderErrorDetail {
    FolderErrorKind kind = FolderErrorKind::CannotMake;
    UserFolder folder = UserFolder::Configuration;
    QString path{};
    QString systemReason{};  // strerror's text
};

// A folder that cannot be found or made; what() names the kind for a
// developer's log only.
class FolderError : public std::runtime_error {
public:
    explicit FolderError(FolderErrorDetail detail)
        : std::runtime_error("user folder error of kind " + std::to_string(static_cast<int>(detail.kind))),
          Detail_(std::move(detail)) {}

    const FolderErrorDetail& detail() const { return Detail_; }

private:
    FolderErrorDetail Detail_;
};

// $variable when it is an absolute path, else $HOME/belowHome: the XDG rules
// ignore a relative value. folder is named in the error when HOME is not set
// either.
QByteArray XdgFolder(const char* variable, const char* belowHome, UserFolder folder);

// Makes folder and every missing folder above it, each private to the user
// (0700), as the XDG rules ask. Throws FolderError.
void MakeFolders(const QByteArray& folder);

// A folder, or a symbolic link to one.
bool IsFolder(const QByteArray& path);
QByteArray JoinPath(const QByteArray& folder, const char* name);
QByteArray ParentOf(const QByteArray& path);

}  // namespace korva
