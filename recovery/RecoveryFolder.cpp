#include "recovery/RecoveryFolder.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include <QFile>

#include "recovery/RecoveryError.h"

namespace korva {

namespace {

bool IsFolder(const QByteArray& path) {
    struct stat info {};
    return ::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

[[noreturn]] void FailToMake(const QByteArray& path, int error) {
    throw RecoveryError(QStringLiteral("%1 を作れません (%2)")
                            .arg(QFile::decodeName(path), QString::fromLocal8Bit(std::strerror(error)))
                            .toStdString());
}

}  // namespace

QString RecoveryRoot() {
    // A relative XDG_STATE_HOME is invalid and ignored, as the XDG rules say.
    const QByteArray stateHome = qgetenv("XDG_STATE_HOME");
    if (stateHome.startsWith('/')) {
        return QFile::decodeName(stateHome) + QStringLiteral("/korva");
    }
    const QByteArray home = qgetenv("HOME");
    if (!home.startsWith('/')) {
        throw RecoveryError("HOME が設定されていないため、復元用のフォルダーが分かりません");
    }
    return QFile::decodeName(home) + QStringLiteral("/.local/state/korva");
}

void MakePrivateFolder(const QString& folder) {
    const QByteArray path = QFile::encodeName(folder);
    for (qsizetype slash = path.indexOf('/', 1);; slash = path.indexOf('/', slash + 1)) {
        const QByteArray step = slash < 0 ? path : path.left(slash);
        if (!step.isEmpty() && ::mkdir(step.constData(), 0700) != 0 && errno != EEXIST) {
            FailToMake(step, errno);
        }
        if (slash < 0) {
            break;
        }
    }
    if (!IsFolder(path)) {
        FailToMake(path, ENOTDIR);
    }
}

}  // namespace korva
