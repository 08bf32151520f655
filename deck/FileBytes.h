#pragma once

#include <string>
#include <string_view>

namespace korva {

// The whole content of the file at path (UTF-8); DeckError when it cannot be
// opened or read.
std::string ReadFileBytes(const std::string& path);

// Replaces the file at path by bytes through a temporary file beside it, so
// the old file stays whole if anything fails; DeckError on failure.
void WriteFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace korva
