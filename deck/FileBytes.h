#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "deck/DeckError.h"

namespace korva {

// The largest file the readers take. A deck or word list that people really
// make is a few megabytes; a full deck of 32,767 cards carrying about 4,000
// bytes (some 2,000 Japanese characters) on both sides of every card still
// fits. The format itself allows records of over 6 GB, which the program
// could not hold next to their bytes; a file past this bound is a sparse
// file, a disk image or some other mistake, and is refused before anything
// is allocated for it. Reading holds the bytes and the deck at once, so the
// bound costs at most about twice its size in memory.
inline constexpr std::int64_t MaxReadBytes = std::int64_t{256} * 1024 * 1024;

// The whole content of the regular file at path (its bytes, whatever their
// encoding). DeckError when it cannot be opened or read (with the system's
// reason), is not a regular file (a folder, a pipe, a device: refused at once,
// never waited on) or is larger than MaxReadBytes.
std::string ReadFileBytes(const std::string& path);

// A file's bytes as one read found them, and the file's modification time as
// the descriptor they were read from showed it before the first byte: a write
// the bytes do not hold gives the file a later time or other bytes.
struct FileContent {
    std::string bytes;
    std::int64_t modifiedMs = 0;  // since the epoch
};

// As ReadFileBytes, with the time.
FileContent ReadFileContent(const std::string& path);

// A file's modification time in milliseconds since the epoch, as every
// reader and fingerprint counts it.
std::int64_t ModifiedMsOf(const struct stat& info);

// None for a regular file; else what the node is (a folder, a pipe, a
// device), for the message that refuses to read or replace it.
std::optional<FileCause> WhyNotRegularFile(mode_t mode);

// Replaces the file at path (symbolic links followed) by bytes through a
// temporary file beside it, so the old file stays whole if anything fails:
// the temporary file replaces it only once every byte is on disk. Only a
// regular file is replaced; a folder, a pipe or a device is refused and left
// as it is. DeckError, with the system's reason, on failure. Where the folder
// allows no new file but the file itself may be written, the file is written
// in place instead (WriteFileInPlace).
void WriteFileAtomically(const std::string& path, std::string_view bytes);

// As WriteFileAtomically, but only ever through a temporary file: a folder
// that allows no new file is refused rather than the file written in place,
// and the folder is synced after the rename, so that after a power cut the
// file is the old one or the new one, never half of each.
void ReplaceFileWhole(const std::string& path, std::string_view bytes);

}  // namespace korva
