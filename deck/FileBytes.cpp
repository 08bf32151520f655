#include "deck/FileBytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <QSaveFile>
#include <QString>

#include "deck/DeckError.h"

namespace korva {

namespace {

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

std::string ReadAll(int fd, std::size_t size) {
    std::string bytes(size, '\0');
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, bytes.data() + done, size - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            throw DeckError("ファイルを読み込めません。");
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

}  // namespace

std::string ReadFileBytes(const std::string& path) {
    // A device is never opened (opening some has effects of its own); the
    // check is made again on what was opened, in case the name changed.
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        RequireRegularFile(info);
    }
    const ReadDescriptor file(path);
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0) {
        throw DeckError("ファイルを開けません。");
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
        throw DeckError("ファイルに書き込めません。");
    }
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(bytes.data(), size) != size) {
        file.cancelWriting();
        throw DeckError("ファイルに書き込めません。");
    }
    if (!file.commit()) {
        throw DeckError("ファイルを保存できません。");
    }
}

}  // namespace korva
