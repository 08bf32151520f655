#include "recovery/RecoveryFiles.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace korva {

namespace {

const QString LockName = QStringLiteral("lock");

// Only the files the program writes there: a folder of copies may hold
// something else only by another hand, and that is left alone.
bool IsOwnName(const QString& name) {
    static const QRegularExpression ownName(QStringLiteral("^deck-[1-9][0-9]{0,8}\\.(krv|origin)$"));
    return ownName.match(name).hasMatch();
}

}  // namespace

QString CopyPath(const QString& folder, int number) { return folder + QStringLiteral("/deck-%1.krv").arg(number); }

QString OriginPath(const QString& folder, int number) { return folder + QStringLiteral("/deck-%1.origin").arg(number); }

std::vector<int> CopyNumbers(const QString& folder) {
    static const QRegularExpression copyName(QStringLiteral("^deck-([1-9][0-9]{0,8})\\.krv$"));
    std::vector<int> numbers;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        const QRegularExpressionMatch match = copyName.match(name);
        if (match.hasMatch()) {
            numbers.push_back(match.captured(1).toInt());
        }
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

bool RemoveCopy(const QString& folder, int number) {
    const auto remove = [](const QString& path) {
        return QFile::remove(path) || !QFile::exists(path);
    };
    // The copy first: a side file left alone is never offered.
    return remove(CopyPath(folder, number)) && remove(OriginPath(folder, number));
}

std::unique_ptr<QLockFile> TryLockFolder(const QString& folder) {
    const QFileInfo lockFile(folder + u'/' + LockName);
    if (lockFile.isSymLink() || (lockFile.exists() && !lockFile.isFile())) {
        return nullptr;
    }
    auto lock = std::make_unique<QLockFile>(folder + u'/' + LockName);
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        return nullptr;
    }
    return lock;
}

void RemoveLockedFolder(const QString& folder, QLockFile& lock) {
    QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (IsOwnName(name)) {
            dir.remove(name);
        }
    }
    lock.unlock();
    // Left in place if another program has just locked it: that one removes it.
    QDir().rmdir(folder);
}

}  // namespace korva
