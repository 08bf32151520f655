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

// The call that reserves the disk space of bytes [offset, offset + length) of
// a file before it is written in place: 0, or the error number. The system's
// fallocate unless replaced, for the same reason as the write call.
using ReserveCall = int (*)(int fd, off_t offset, off_t length);

// nullptr restores the system's call. Only while no file is being written.
void setReserveCall(ReserveCall call);

}  // namespace korva
