#include "recovery/RecoveryFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <utility>

#include <QFile>

#include "deck/UserFolders.h"
#include "recovery/RecoveryError.h"

namespace korva {

namespace {

constexpr mode_t OthersWrite = S_IWGRP | S_IWOTH;
constexpr mode_t OthersAny = S_IRWXG | S_IRWXO;

// None when path is a folder of the user's in which no one else may write.
std::optional<FolderProblem> WhyNotOwnFolder(const QByteArray& path, struct stat& info) {
    if (::lstat(path.constData(), &info) != 0) {
        return FolderProblem{FolderCause::System, QString::fromLocal8Bit(std::strerror(errno))};
    }
    if (S_ISLNK(info.st_mode)) {
        return FolderProblem{FolderCause::SymbolicLink};
    }
    if (!S_ISDIR(info.st_mode)) {
        return FolderProblem{FolderCause::NotFolder};
    }
    if (info.st_uid != ::geteuid()) {
        return FolderProblem{FolderCause::OthersFolder};
    }
    if ((info.st_mode & OthersWrite) != 0) {
        return FolderProblem{FolderCause::OthersMayWrite};
    }
    return std::nullopt;
}

[[noreturn]] void Refuse(const QByteArray& path, FolderProblem why) {
    throw RecoveryError(
        {.kind = RecoveryErrorKind::FolderUnusable, .path = QFile::decodeName(path), .folder = std::move(why)});
}

// Takes away what others may read of a folder already known to be ours,
// without following a link put there meanwhile.
void MakeOwnerOnly(const QByteArray& path) {
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    const bool done = fd >= 0 && ::fchmod(fd, S_IRWXU) == 0;
    const int error = errno;
    if (fd >= 0) {
        ::close(fd);
    }
    if (!done) {
        Refuse(path, {FolderCause::System, QString::fromLocal8Bit(std::strerror(error))});
    }
}

}  // namespace

QString RecoveryRoot() {
    QByteArray root;
    try {
        root = JoinPath(XdgFolder("XDG_STATE_HOME", ".local/state", UserFolder::RecoveryCopies), "korva");
    } catch (const FolderError& error) {
        throw RecoveryError({.kind = RecoveryErrorKind::UserFolder, .userFolder = error.detail()});
    }
    // The copies' folder is opened by Qt through its text form, which would
    // name another folder; no copies rather than copies somewhere else.
    if (QFile::encodeName(QFile::decodeName(root)) != root) {
        Refuse(root, {FolderCause::NameNotUtf8});
    }
    return QFile::decodeName(root);
}

void MakePrivateFolder(const QString& folder) {
    const QByteArray path = QFile::encodeName(folder);
    try {
        MakeFolders(ParentOf(path));
    } catch (const FolderError& error) {
        throw RecoveryError({.kind = RecoveryErrorKind::UserFolder, .userFolder = error.detail()});
    }
    if (::mkdir(path.constData(), S_IRWXU) != 0 && errno != EEXIST) {
        throw RecoveryError({.kind = RecoveryErrorKind::CannotMakeFolder,
                             .path = folder,
                             .reason = QString::fromLocal8Bit(std::strerror(errno))});
    }
    struct stat info {};
    if (std::optional<FolderProblem> why = WhyNotOwnFolder(path, info)) {
        Refuse(path, std::move(*why));
    }
    if ((info.st_mode & OthersAny) != 0) {
        MakeOwnerOnly(path);
    }
}

std::optional<FolderProblem> WhyNotPrivateFolder(const QString& path) {
    struct stat info {};
    std::optional<FolderProblem> why = WhyNotOwnFolder(QFile::encodeName(path), info);
    if (why || (info.st_mode & OthersAny) == 0) {
        return why;
    }
    return FolderProblem{FolderCause::OthersMayOpen};
}

}  // namespace korva
