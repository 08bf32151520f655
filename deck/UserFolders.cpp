#include "deck/UserFolders.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include <QFile>

namespace korva {

namespace {

[[noreturn]] void Fail(FolderErrorKind kind, const QByteArray& path, int error) {
    throw FolderError(
        {.kind = kind, .path = QFile::decodeName(path), .systemReason = QString::fromLocal8Bit(std::strerror(error))});
}

}  // namespace

QByteArray XdgFolder(const char* variable, const char* belowHome, UserFolder folder) {
    QByteArray value = qgetenv(variable);
    if (value.startsWith('/')) {
        return value;
    }
    const QByteArray home = qgetenv("HOME");
    if (!home.startsWith('/')) {
        throw FolderError({.kind = FolderErrorKind::NoHome, .folder = folder});
    }
    return JoinPath(home, belowHome);
}

void MakeFolders(const QByteArray& folder) {
    for (qsizetype slash = folder.indexOf('/', 1);; slash = folder.indexOf('/', slash + 1)) {
        const QByteArray step = slash < 0 ? folder : folder.left(slash);
        if (!step.isEmpty() && ::mkdir(step.constData(), 0700) != 0 && errno != EEXIST) {
            Fail(FolderErrorKind::CannotMake, step, errno);
        }
        if (slash < 0) {
            break;
        }
    }
    if (!IsFolder(folder)) {
        Fail(FolderErrorKind::NotFolder, folder, ENOTDIR);
    }
}

bool IsFolder(const QByteArray& path) {
    struct stat info {};
    return ::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

QByteArray JoinPath(const QByteArray& folder, const char* name) {
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

QByteArray ParentOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
}

}  // namespace korva
