#pragma once

#include <optional>
#include <string_view>

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

// The fingerprint of a file that held bytes, at that modification time, when
// it was read: what the reader saw, whatever the file holds now.
FileFingerprint FingerprintOfBytes(std::string_view bytes, qint64 modifiedMs);

// Whether the file at path is still the one seen at seenAtMs (since the
// epoch). Another size says no at once. The same size and time say yes,
// unless the file had that time in the second it was seen: a write later in
// that second may keep the time (file systems with whole seconds, a coarse
// clock), so the bytes decide then, as they do for another time (a copy or a
// touch may leave the bytes as they were). A file gone or unreadable is not
// the one seen.
bool isFileAsSeen(const QString& path, const FileFingerprint& seen, qint64 seenAtMs);

}  // namespace korva
