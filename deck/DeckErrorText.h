#pragma once

#include <string>

#include <QString>

#include "deck/DeckError.h"

namespace korva {

// The one place a deck failure becomes the Japanese sentence the user reads,
// shared by the windows and korva-deck.
std::string DescribeDeckError(const DeckErrorDetail& detail);
inline std::string DescribeDeckError(const DeckError& error) { return DescribeDeckError(error.detail()); }

// The same sentence for a window.
inline QString DeckErrorText(const DeckErrorDetail& detail) {
    return QString::fromStdString(DescribeDeckError(detail));
}
inline QString DeckErrorText(const DeckError& error) { return DeckErrorText(error.detail()); }

// The cause of a file failure alone, e.g. "通常のファイルではなく、フォルダーです".
std::string DescribeFileCause(FileCause cause, const std::string& systemReason);

}  // namespace korva
