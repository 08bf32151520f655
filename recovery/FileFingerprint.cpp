#include "recovery/FileFingerprint.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>

namespace korva {

std::optional<FileFingerprint> FingerprintOf(const QString& path) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file)) {
        return std::nullopt;
    }
    const QFileInfo info(file);
    return FileFingerprint{info.size(), info.lastModified().toMSecsSinceEpoch(), hash.result().toHex()};
}

bool isFileAsSeen(const QString& path, const FileFingerprint& seen, qint64 seenAtMs) {
    constexpr qint64 unsureMs = 1000;
    const QFileInfo info(path);
    if (!info.isFile() || info.size() != seen.size) {
        return false;
    }
    const bool timeSure = seenAtMs - seen.modifiedMs >= unsureMs;
    if (timeSure && info.lastModified().toMSecsSinceEpoch() == seen.modifiedMs) {
        return true;
    }
    const std::optional<FileFingerprint> now = FingerprintOf(path);
    return now && now->hash == seen.hash;
}

}  // namespace korva
