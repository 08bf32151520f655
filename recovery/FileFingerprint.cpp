#include "recovery/FileFingerprint.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QFile>

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
    const qint64 modifiedMs = qint64{info.st_mtim.tv_sec} * 1000 + info.st_mtim.tv_nsec / 1000000;
    return FileFingerprint{info.st_size, modifiedMs, hash.result().toHex()};
}

}  // namespace korva
