#pragma once

#include <string>
#include <string_view>

namespace korva {

// Rewrites the existing regular file at path with bytes, in place: for a
// folder in which no new file may be made. The new size is reserved on disk
// first, so a full disk is found before any old byte is touched; a failure
// after that puts the old bytes back. A file system that cannot reserve is
// refused. DeckError, with the reason, on failure.
void WriteFileInPlace(const std::string& path, std::string_view bytes);

}  // namespace korva
