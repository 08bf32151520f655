#include "recovery/FileFingerprint.h"

#include <QCryptographicHash>
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

}  // namespace korva
