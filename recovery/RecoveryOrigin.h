#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <QString>

#include "deck/DeckText.h"
#include "recovery/FileFingerprint.h"

namespace korva {

// What a card window needs, besides its deck, to stand again as it stood:
// the file its deck belongs to, the name its caption shows, and what that
// file was when the window last read or wrote it.
struct RecoveryOrigin {
    QString filePath;                                        // the window's FilePath
    QString fileName;                                        // the window's FileName
    std::optional<FileFingerprint> original = std::nullopt;  // nullopt when not known
    ItemEncoding encoding = ItemEncoding::Cp932;             // how the copy's deck holds its texts
};

// The side file kept beside each copy: a first line naming the format, then
// the path as the file system's bytes and the name in UTF-8, both
// percent-encoded so that any byte, a line break included, survives, the
// original file's size, modification time (ms) and SHA-256, or "none", and
// how the deck holds its texts, so a deck in any language comes back as one.
//
//   KORVA recovery 3
//   path /home/user/%E5%8D%98%E8%AA%9E.korva
//   name %E5%8D%98%E8%AA%9E.korva
//   original 1234 1765432100000 9f86d0...
//   text utf8
std::string WriteOriginFile(const RecoveryOrigin& origin);

// Throws RecoveryError (OriginDamaged) when bytes are not such a file. A file of
// the first format, which had no original line, gives an unknown original;
// one of the first two, which had no text line, a code page 932 deck.
RecoveryOrigin ReadOriginFile(std::string_view bytes);

}  // namespace korva
