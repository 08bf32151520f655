#pragma once

#include <sys/types.h>

#include <cstddef>

namespace korva {

// The call through which every file's bytes are written: ::write unless
// replaced. Tests put a call here that fills the disk part-way, which a real
// disk does only now and then; nothing else replaces it.
using WriteCall = ssize_t (*)(int fd, const void* data, std::size_t size);

// nullptr restores ::write. Only while no file is being written.
void setWriteCall(WriteCall call);

}  // namespace korva
