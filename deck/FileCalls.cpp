#include "deck/FileCalls.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include <QString>

#include "deck/FileBytes.h"
#include "deck/WriteCall.h"

namespace korva {

namespace {

std::atomic<WriteCall> Write{&::write};

}  // namespace

void setWriteCall(WriteCall call) { Write = call != nullptr ? call : &::write; }

std::optional<FileCause> WhyNotRegularFile(mode_t mode) {
    switch (mode & S_IFMT) {
        case S_IFREG: return std::nullopt;
        case S_IFDIR: return FileCause::Folder;
        case S_IFIFO: return FileCause::Pipe;
        case S_IFSOCK: return FileCause::Socket;
        case S_IFCHR:
        case S_IFBLK: return FileCause::Device;
        default: return FileCause::NotRegular;
    }
}

namespace detail {

DeckError Failure(DeckErrorKind kind, FileCause cause) { return DeckError({.kind = kind, .cause = cause}); }

DeckError SystemFailure(DeckErrorKind kind, int error) {
    return DeckError({.kind = kind, .cause = FileCause::System, .systemReason = SystemReason(error)});
}

std::string SystemReason(int error) { return QString::fromLocal8Bit(std::strerror(error)).toStdString(); }

void WriteAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = Write.load()(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            throw SystemFailure(DeckErrorKind::CannotWrite, n < 0 ? errno : ENOSPC);
        }
        done += static_cast<std::size_t>(n);
    }
}

std::string ReadAll(int fd, std::size_t size) {
    std::string bytes(size, '\0');
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, bytes.data() + done, size - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            throw SystemFailure(DeckErrorKind::CannotRead, errno);
        }
        if (n == 0) {
            throw Failure(DeckErrorKind::CannotRead, FileCause::ShrankWhileRead);
        }
        done += static_cast<std::size_t>(n);
    }
    return bytes;
}

}  // namespace detail

}  // namespace korva
