#pragma once

#include <optional>

#include <QByteArray>
#include <QString>

namespace korva {

// What a deck file was when a window last read or wrote it: enough to tell,
// later, that something else has written it since.
struct FileFingerprint {
    qint64 size = 0;
    qint64 modifiedMs = 0;  // since the epoch
    QByteArray hash;        // SHA-256 of the bytes, hex

    bool operator==(const FileFingerprint&) const = default;
};

// nullopt when path names no file that can be read.
std::optional<FileFingerprint> FingerprintOf(const QString& path);

}  // namespace korva
