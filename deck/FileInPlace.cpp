#include "deck/FileInPlace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>

#include "deck/FileBytes.h"
#include "deck/FileCalls.h"
#include "deck/FileDescriptor.h"
#include "deck/WriteCall.h"

namespace korva {

namespace {

using detail::Descriptor;
using detail::Failure;
using detail::SystemFailure;

// fallocate, not posix_fallocate: where a file system cannot reserve,
// posix_fallocate imitates it by writing, and the save must rather be refused.
int SystemReserve(int fd, off_t offset, off_t length) { return ::fallocate(fd, 0, offset, length) == 0 ? 0 : errno; }

std::atomic<ReserveCall> Reserve{&SystemReserve};

struct stat StatOf(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        throw SystemFailure(DeckErrorKind::CannotWrite, errno);
    }
    return info;
}

// A reservation that failed part-way may have lengthened the file.
void ReserveNewSize(int fd, std::size_t oldSize, std::size_t newSize) {
    if (newSize == 0) {
        return;
    }
    const int error = Reserve.load()(fd, 0, static_cast<off_t>(newSize));
    if (error == 0) {
        return;
    }
    if (::ftruncate(fd, static_cast<off_t>(oldSize)) != 0) {
        throw SystemFailure(DeckErrorKind::CannotWrite, errno);
    }
    if (error == EOPNOTSUPP || error == EINVAL) {
        throw Failure(DeckErrorKind::CannotWrite, FileCause::CannotReserve);
    }
    throw SystemFailure(DeckErrorKind::CannotWrite, error);
}

// Writes bytes from the start, cuts the file to them and checks its size.
void Overwrite(int fd, std::string_view bytes) {
    if (::lseek(fd, 0, SEEK_SET) != 0) {
        throw SystemFailure(DeckErrorKind::CannotWrite, errno);
    }
    detail::WriteAll(fd, bytes);
    if (::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0 || ::fsync(fd) != 0) {
        throw SystemFailure(DeckErrorKind::CannotWrite, errno);
    }
    if (static_cast<std::uint64_t>(StatOf(fd).st_size) != bytes.size()) {
        throw Failure(DeckErrorKind::CannotWrite, FileCause::SizeMismatch);
    }
}

}  // namespace

void setReserveCall(ReserveCall call) { Reserve = call != nullptr ? call : &SystemReserve; }

void WriteFileInPlace(const std::string& path, std::string_view bytes) {
    const Descriptor file(::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (file.get() < 0) {
        throw SystemFailure(DeckErrorKind::CannotWrite, errno);
    }
    const struct stat info = StatOf(file.get());
    if (const std::optional<FileCause> why = WhyNotRegularFile(info.st_mode)) {
        throw Failure(DeckErrorKind::CannotWrite, *why);
    }
    if (info.st_size > MaxReadBytes) {
        throw Failure(DeckErrorKind::CannotWrite, FileCause::TooLargeToKeep);
    }
    // Kept to put back if a write fails after the reservation.
    const std::string old = detail::ReadAll(file.get(), static_cast<std::size_t>(info.st_size));
    ReserveNewSize(file.get(), old.size(), bytes.size());
    try {
        Overwrite(file.get(), bytes);
    } catch (const DeckError& error) {
        DeckErrorDetail failed = error.detail();
        try {
            Overwrite(file.get(), old);
            failed.restore = Restore::Restored;
        } catch (const DeckError&) {
            failed.restore = Restore::NotRestored;
        }
        throw DeckError(std::move(failed));
    }
}

}  // namespace korva
