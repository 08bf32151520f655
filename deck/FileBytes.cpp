#include "deck/FileBytes.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <utility>

#include "deck/DeckError.h"
#include "deck/FileCalls.h"
#include "deck/FileDescriptor.h"
#include "deck/FileInPlace.h"

namespace korva {

namespace {

using detail::Descriptor;
using detail::Failure;
using detail::SystemFailure;

// Non-blocking, so that opening a pipe nobody writes to does not hang before
// the file's kind has been checked.
constexpr int ReadFlags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;

void RequireRegularFile(const struct stat& info, DeckErrorKind kind) {
    if (const std::optional<FileCause> why = WhyNotRegularFile(info.st_mode)) {
        throw Failure(kind, *why);
    }
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

constexpr int MostLinks = 40;  // as many as the system itself follows

}  // namespace

// The temporary file goes beside the end of the links, so that the rename
// replaces the file and keeps the link.
std::string detail::FollowLinks(std::string path) {
    for (int hop = 0; hop < MostLinks; ++hop) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return path;
        }
        std::string target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n < 0) {
            throw SystemFailure(DeckErrorKind::CannotWrite, errno);
        }
        target.resize(static_cast<std::size_t>(n));
        if (!target.starts_with('/')) {
            target.insert(0, 1, '/');
            target.insert(0, FolderOf(path));
        }
        path = std::move(target);
    }
    throw SystemFailure(DeckErrorKind::CannotWrite, ELOOP);
}

namespace {

constexpr int TemporaryNameAttempts = 100;

// A new file beside target, named after it, made with the usual permissions
// (0666 less the umask). -1 with errno when the folder allows none.
int MakeTemporaryFile(const std::string& target, std::string& name) {
    static thread_local std::mt19937 random{std::random_device{}()};
    for (int i = 0; i < TemporaryNameAttempts; ++i) {
        name = target + "." + std::to_string(random() % 1000000) + ".tmp";
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

// On disk, and as long as the record: a file system may report a full disk
// only when the data reach it.
void RequireOnDisk(int fd, std::size_t size) {
    struct stat info {};
    if (::fsync(fd) != 0 || ::fstat(fd, &info) != 0) {
        throw SystemFailure(DeckErrorKind::CannotWrite, errno);
    }
    if (static_cast<std::uint64_t>(info.st_size) != size) {
        throw Failure(DeckErrorKind::CannotWrite, FileCause::SizeMismatch);
    }
}

void WriteTemporaryFile(int fd, const std::optional<struct stat>& old, std::string_view bytes) {
    detail::WriteAll(fd, bytes);
    // The new file keeps the old one's permissions.
    if (old && ::fchmod(fd, old->st_mode & 07777) != 0) {
        throw SystemFailure(DeckErrorKind::CannotWrite, errno);
    }
    RequireOnDisk(fd, bytes.size());
}

}  // namespace

std::int64_t ModifiedMsOf(const struct stat& info) {
    return std::int64_t{info.st_mtim.tv_sec} * 1000 + info.st_mtim.tv_nsec / 1000000;
}

std::string ReadFileBytes(const std::string& path) { return ReadFileContent(path).bytes; }

FileContent ReadFileContent(const std::string& path) {
    // A device is never opened (opening some has effects of its own); the
    // check is made again on what was opened, in case the name changed.
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        RequireRegularFile(info, DeckErrorKind::CannotOpen);
    }
    const Descriptor file(::open(path.c_str(), ReadFlags));
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0) {
        throw SystemFailure(DeckErrorKind::CannotOpen, errno);
    }
    RequireRegularFile(info, DeckErrorKind::CannotOpen);
    if (info.st_size > MaxReadBytes) {
        throw DeckError(DeckErrorKind::TooLarge);
    }
    return {detail::ReadAll(file.get(), static_cast<std::size_t>(info.st_size)), ModifiedMsOf(info)};
}

namespace {

void SyncFolderOf(const std::string& target) {
    const Descriptor folder(::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() < 0 || ::fsync(folder.get()) != 0) {
        throw SystemFailure(DeckErrorKind::CannotSave, errno);
    }
}

void ReplaceFile(const std::string& path, std::string_view bytes, bool mayWriteInPlace) {
    const std::string target = detail::FollowLinks(path);
    std::optional<struct stat> old;
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0) {
        // A device, a pipe or a folder is never replaced by a plain file.
        RequireRegularFile(info, DeckErrorKind::CannotWrite);
        old = info;
    } else if (errno != ENOENT) {
        throw SystemFailure(DeckErrorKind::CannotWrite, errno);
    }
    std::string temporary;
    Descriptor file(MakeTemporaryFile(target, temporary));
    if (file.get() < 0) {
        const int error = errno;
        // A folder that allows no new file may still hold a file that may
        // be written: saved over in place, as a plain save would.
        if (mayWriteInPlace && old && (error == EACCES || error == EPERM)) {
            WriteFileInPlace(target, bytes);
            return;
        }
        throw SystemFailure(DeckErrorKind::CannotWrite, error);
    }
    try {
        WriteTemporaryFile(file.get(), old, bytes);
        if (::close(file.release()) != 0 || ::rename(temporary.c_str(), target.c_str()) != 0) {
            throw SystemFailure(DeckErrorKind::CannotSave, errno);
        }
    } catch (const DeckError&) {
        ::unlink(temporary.c_str());
        throw;
    }
    if (!mayWriteInPlace) {
        SyncFolderOf(target);
    }
}

}  // namespace

void WriteFileAtomically(const std::string& path, std::string_view bytes) { ReplaceFile(path, bytes, true); }

void ReplaceFileWhole(const std::string& path, std::string_view bytes) { ReplaceFile(path, bytes, false); }

}  // namespace korva
