#pragma once

#include <stdexcept>

#include <QByteArray>
#include <QString>

namespace korva {

// The folders the program keeps for its user, named as the XDG rules say.
// Folders are kept as the bytes the file system uses: a folder name need not
// be valid text, and decoding it would name another folder.

// A folder that cannot be found or made. what() is a reason in Japanese,
// ending with the system's own when there is one.
class FolderError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "%1 を作れません" and errno's text make "… を作れません（Permission denied）".
std::string WithSystemReason(const QString& what, int error);

// $variable when it is an absolute path, else $HOME/belowHome: the XDG rules
// ignore a relative value. kind names the folder in the error ("設定",
// "復元用の") when HOME is not set either.
QByteArray XdgFolder(const char* variable, const char* belowHome, const QString& kind);

// Makes folder and every missing folder above it, each private to the user
// (0700), as the XDG rules ask. Throws FolderError.
void MakeFolders(const QByteArray& folder);

// A folder, or a symbolic link to one.
bool IsFolder(const QByteArray& path);
QByteArray JoinPath(const QByteArray& folder, const char* name);
QByteArray ParentOf(const QByteArray& path);

}  // namespace korva
