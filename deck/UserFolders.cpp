#include "deck/UserFolders.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include <QFile>

namespace korva {

std::string WithSystemReason(const QString& what, int error) {
    return (what + QStringLiteral("（") + QString::fromLocal8Bit(std::strerror(error)) + QStringLiteral("）"))
        .toStdString();
}

QByteArray XdgFolder(const char* variable, const char* belowHome, const QString& kind) {
    QByteArray value = qgetenv(variable);
    if (value.startsWith('/')) {
        return value;
    }
    const QByteArray home = qgetenv("HOME");
    if (!home.startsWith('/')) {
        throw FolderError(
            QStringLiteral("HOME が設定されていないため、%1フォルダーが分かりません").arg(kind).toStdString());
    }
    return JoinPath(home, belowHome);
}

void MakeFolders(const QByteArray& folder) {
    for (qsizetype slash = folder.indexOf('/', 1);; slash = folder.indexOf('/', slash + 1)) {
        const QByteArray step = slash < 0 ? folder : folder.left(slash);
        if (!step.isEmpty() && ::mkdir(step.constData(), 0700) != 0 && errno != EEXIST) {
            throw FolderError(WithSystemReason(QStringLiteral("%1 を作れません").arg(QFile::decodeName(step)), errno));
        }
        if (slash < 0) {
            break;
        }
    }
    if (!IsFolder(folder)) {
        throw FolderError(
            WithSystemReason(QStringLiteral("%1 はフォルダーではありません").arg(QFile::decodeName(folder)), ENOTDIR));
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
