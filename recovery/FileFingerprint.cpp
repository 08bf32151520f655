#include "recovery/FileFingerprint.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QFile>

#include "deck/PathText.h"

namespace korva {

namespace {

qint64 ModifiedMs(const struct stat& info) {
    return qint64{info.st_mtim.tv_sec} * 1000 + info.st_mtim.tv_nsec / 1000000;
}

}  // namespace

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
    return FileFingerprint{info.st_size, ModifiedMs(info), hash.result().toHex()};
}

bool isFileAsSeen(const QString& path, const FileFingerprint& seen, qint64 seenAtMs) {
    constexpr qint64 unsureMs = 1000;
    struct stat info {};
    if (::stat(TextToPath(path).c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size != seen.size) {
        return false;
    }
    const bool timeSure = seenAtMs - seen.modifiedMs >= unsureMs;
    if (timeSure && ModifiedMs(info) == seen.modifiedMs) {
        return true;
    }
    const std::optional<FileFingerprint> now = FingerprintOf(path);
    return now && now->hash == seen.hash;
}

}  // namespace korva
