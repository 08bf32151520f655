#pragma once

#include <sys/stat.h>

#include <string>
#include <string_view>

#include "deck/DeckError.h"

// What the readers and writers of whole files share.
namespace korva::detail {

// A file call's failure of the given kind, for a cause the system did not name.
DeckError Failure(DeckErrorKind kind, FileCause cause);

// A file call's failure of the given kind, with the system's words for error.
DeckError SystemFailure(DeckErrorKind kind, int error);

std::string SystemReason(int error);

// The file a write to path reaches: symbolic links followed to their end,
// which need not exist yet. Throws DeckError (CannotWrite).
std::string FollowLinks(std::string path);

// Every byte through the write call, as many calls as it takes; a call that
// writes nothing is a full disk. Throws DeckError.
void WriteAll(int fd, std::string_view bytes);

// Every byte of the file's first size bytes, read at the file's current offset.
std::string ReadAll(int fd, std::size_t size);

}  // namespace korva::detail
