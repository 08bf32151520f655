#pragma once

#include <string>
#include <string_view>

#include <QString>

namespace korva {

// What a card window needs, besides its deck, to stand again as it stood:
// the file its deck belongs to and the name its caption shows.
struct RecoveryOrigin {
    QString filePath;  // the window's FilePath
    QString fileName;  // the window's FileName
};

// The side file kept beside each copy: a first line naming the format, then
// the path as the file system's bytes and the name in UTF-8, both
// percent-encoded so that any byte, a line break included, survives.
//
//   KORVA recovery 1
//   path /home/user/%E5%8D%98%E8%AA%9E.krv
//   name %E5%8D%98%E8%AA%9E.krv
std::string WriteOriginFile(const RecoveryOrigin& origin);

// Throws DeckError with the reason when bytes are not such a file.
RecoveryOrigin ReadOriginFile(std::string_view bytes);

}  // namespace korva
