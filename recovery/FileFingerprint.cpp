#include "recovery/FileFingerprint.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QFile>

#include "deck/FileBytes.h"
#include "deck/PathText.h"

namespace korva {

std::optional<FileFingerprint> FingerprintOf(const QString& path) {
    // Opened by the path's bytes, and never waited on: a pipe is no deck.
    const int fd = ::open(TextToPath(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    struct stat info {};
    QFile file;
    if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (fd >= 0) {
            ::close(fd);
        }
        return std::nullopt;
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file)) {
        return std::nullopt;
    }
    return FileFingerprint{info.st_size, ModifiedMsOf(info), hash.result().toHex()};
}

FileFingerprint FingerprintOfBytes(std::string_view bytes, qint64 modifiedMs) {
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return {view.size(), modifiedMs, QCryptographicHash::hash(view, QCryptographicHash::Sha256).toHex()};
}

bool isFileAsSeen(const QString& path, const FileFingerprint& seen, qint64 seenAtMs) {
    constexpr qint64 unsureMs = 1000;
    struct stat info {};
    if (::stat(TextToPath(path).c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size != seen.size) {
        return false;
    }
    const bool timeSure = seenAtMs - seen.modifiedMs >= unsureMs;
    if (timeSure && ModifiedMsOf(info) == seen.modifiedMs) {
        return true;
    }
    const std::optional<FileFingerprint> now = FingerprintOf(path);
    return now && now->hash == seen.hash;
}

}  // namespace korva
