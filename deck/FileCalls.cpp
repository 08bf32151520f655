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

std::string WhyNotRegularFile(mode_t mode) {
    switch (mode & S_IFMT) {
        case S_IFREG: return {};
        case S_IFDIR: return "通常のファイルではなく、フォルダーです";
        case S_IFIFO: return "通常のファイルではなく、名前付きパイプです";
        case S_IFSOCK: return "通常のファイルではなく、ソケットです";
        case S_IFCHR:
        case S_IFBLK: return "通常のファイルではなく、デバイスです";
        default: return "通常のファイルではありません";
    }
}

namespace detail {

DeckError Failure(const char* what, const std::string& reason) {
    return DeckError(std::string(what) + "（" + reason + "）。");
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
            throw Failure("ファイルに書き込めません", SystemReason(n < 0 ? errno : ENOSPC));
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
            throw Failure("ファイルを読み込めません", SystemReason(errno));
        }
        if (n == 0) {
            throw Failure("ファイルを読み込めません", "読み込む間にファイルが短くなりました");
        }
        done += static_cast<std::size_t>(n);
    }
    return bytes;
}

}  // namespace detail

}  // namespace korva
