#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <QString>

#include "deck/DeckText.h"
#include "deck/KorvaDeck.h"
#include "recovery/FileFingerprint.h"

namespace korva {

// An answer given since the deck's file was last written, which the copy
// keeps because the copy's cards carry no ids: the card it was given to by
// its number in the copy, or 0 for a card since removed, which row.cardId
// still tells apart from the others removed.
struct CopiedAnswer {
    ReviewRow row;
    int card = 0;

    friend bool operator==(const CopiedAnswer&, const CopiedAnswer&) = default;
};

// What a card window needs, besides its deck, to stand again as it stood:
// the file its deck belongs to, the name its caption shows, what that file
// was when the window last read or wrote it, and the answers it does not yet
// hold.
struct RecoveryOrigin {
    QString filePath;                                        // the window's FilePath
    QString fileName;                                        // the window's FileName
    std::optional<FileFingerprint> original = std::nullopt;  // nullopt when not known
    ItemEncoding encoding = ItemEncoding::Cp932;             // how the copy's deck holds its texts
    std::vector<CopiedAnswer> answers = {};                  // in the order given
};

// The side file kept beside each copy: a first line naming the format, then
// the path as the file system's bytes and the name in UTF-8, both
// percent-encoded so that any byte, a line break included, survives, the
// original file's size, modification time (ms) and SHA-256, or "none", and
// how the deck holds its texts, so a deck in any language comes back as one.
// Answers not yet in the file follow, one a line: the time (ms), the card's
// number in the copy, its id, the item asked, checked (1) or not (0), the
// answer style and the judgement (-1, 0, 1). A file without answers stays of
// the third format, which the program read before it kept them.
//
//   KORVA recovery 4
//   path /home/user/%E5%8D%98%E8%AA%9E.korva
//   name %E5%8D%98%E8%AA%9E.korva
//   original 1234 1765432100000 9f86d0...
//   text utf8
//   answer 1765432100000 3 17 1 1 1 -1
std::string WriteOriginFile(const RecoveryOrigin& origin);

// Throws RecoveryError (OriginDamaged) when bytes are not such a file. A file of
// the first format, which had no original line, gives an unknown original;
// one of the first two, which had no text line, a code page 932 deck; any
// but the fourth no answers.
RecoveryOrigin ReadOriginFile(std::string_view bytes);

}  // namespace korva
