#include "recovery/RecoveryFiles.h"

#include <algorithm>

#include <QDir>
#include <QRegularExpression>

namespace korva {

namespace {

const QString LockName = QStringLiteral("lock");

}  // namespace

QString CopyPath(const QString& folder, int number) { return folder + QStringLiteral("/deck-%1.krv").arg(number); }

QString OriginPath(const QString& folder, int number) { return folder + QStringLiteral("/deck-%1.origin").arg(number); }

std::vector<int> CopyNumbers(const QString& folder) {
    static const QRegularExpression copyName(QStringLiteral("^deck-([1-9][0-9]{0,8})\\.krv$"));
    std::vector<int> numbers;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden)) {
        const QRegularExpressionMatch match = copyName.match(name);
        if (match.hasMatch()) {
            numbers.push_back(match.captured(1).toInt());
        }
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

std::unique_ptr<QLockFile> TryLockFolder(const QString& folder) {
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
        if (name != LockName) {
            dir.remove(name);
        }
    }
    lock.unlock();
    // Left in place if another program has just locked it: that one removes it.
    QDir().rmdir(folder);
}

}  // namespace korva
