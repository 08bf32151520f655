#pragma once

#include <sys/stat.h>

#include <string>
#include <string_view>

#include "deck/DeckError.h"

// What the readers and writers of whole files share.
namespace korva::detail {

// "ファイルに書き込めません" and the reason make
// "ファイルに書き込めません（No space left on device）。".
DeckError Failure(const char* what, const std::string& reason);

std::string SystemReason(int error);

// Every byte through the write call, as many calls as it takes; a call that
// writes nothing is a full disk. Throws DeckError.
void WriteAll(int fd, std::string_view bytes);

// Every byte of the file's first size bytes, read at the file's current offset.
std::string ReadAll(int fd, std::size_t size);

}  // namespace korva::detail
