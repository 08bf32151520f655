#include "deck/FileBytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include <QSaveFile>
#include <QString>

#include "deck/DeckError.h"
#include "deck/WriteCall.h"

namespace korva {

namespace {

std::atomic<WriteCall> Write{&::write};

// Closes the descriptor on every way out of the read.
class ReadDescriptor {
public:
    explicit ReadDescriptor(const std::string& path) : Fd_(::open(path.c_str(), OpenFlags)) {}
    ~ReadDescriptor() {
        if (Fd_ >= 0) {
            ::close(Fd_);
        }
    }
    ReadDescriptor(const ReadDescriptor&) = delete;
    ReadDescriptor& operator=(const ReadDescriptor&) = delete;

    int get() const { return Fd_; }

private:
    // Non-blocking, so that opening a pipe nobody writes to does not hang
    // before the file's kind has been checked.
    static constexpr int OpenFlags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    int Fd_;
};

// "ファイルに書き込めません" and the system's reason make
// "ファイルに書き込めません（No space left on device）。".
DeckError Failure(const char* what, const std::string& reason) {
    return DeckError(std::string(what) + "（" + reason + "）。");
}

std::string SystemReason(int error) { return QString::fromLocal8Bit(std::strerror(error)).toStdString(); }

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

void RequireRegularFile(const struct stat& info) {
    if (!S_ISREG(info.st_mode)) {
        throw DeckError("通常のファイルではありません。");
    }
}

// Every byte, through as many calls as the system needs; a call that writes
// nothing is a full disk.
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

// On disk, and as long as the record: a file system may report a full disk
// only when the data reach it.
void RequireOnDisk(int fd, std::size_t size) {
    struct stat info {};
    if (::fsync(fd) != 0 || ::fstat(fd, &info) != 0) {
        throw Failure("ファイルに書き込めません", SystemReason(errno));
    }
    if (static_cast<std::uint64_t>(info.st_size) != size) {
        throw Failure("ファイルに書き込めません", "書き込んだ大きさが合いません");
    }
}

}  // namespace

void setWriteCall(WriteCall call) { Write = call != nullptr ? call : &::write; }

std::string ReadFileBytes(const std::string& path) {
    // A device is never opened (opening some has effects of its own); the
    // check is made again on what was opened, in case the name changed.
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        RequireRegularFile(info);
    }
    const ReadDescriptor file(path);
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0) {
        throw Failure("ファイルを開けません", SystemReason(errno));
    }
    RequireRegularFile(info);
    if (info.st_size > MaxReadBytes) {
        throw DeckError("ファイルが大きすぎます（" + std::to_string(MaxReadBytes / (std::int64_t{1024} * 1024)) +
                        "MBまで）。");
    }
    return ReadAll(file.get(), static_cast<std::size_t>(info.st_size));
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
    QSaveFile file(QString::fromStdString(path));
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) {
        throw Failure("ファイルに書き込めません", file.errorString().toStdString());
    }
    // The bytes go straight to the descriptor, past Qt's buffer, so that no
    // failed write is left for a flush to meet, and the temporary file is
    // renamed over the old one only once its size is the record's.
    try {
        WriteAll(file.handle(), bytes);
        if (!file.flush()) {
            throw Failure("ファイルに書き込めません", file.errorString().toStdString());
        }
        RequireOnDisk(file.handle(), bytes.size());
    } catch (const DeckError&) {
        file.cancelWriting();
        throw;
    }
    if (!file.commit()) {
        throw Failure("ファイルを保存できません", file.errorString().toStdString());
    }
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || static_cast<std::uint64_t>(info.st_size) != bytes.size()) {
        throw Failure("ファイルを保存できません", "保存したファイルの大きさが合いません");
    }
}

}  // namespace korva
