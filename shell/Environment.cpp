#include "shell/Environment.h"

#include <cerrno>
#include <cstring>
#include <optional>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

#include "deck/FileBytes.h"

namespace korva {

namespace {

// One per process, for the whole run. The path is opened by its bytes; the
// text form names it in messages.
QString EnvironmentFile;
QByteArray EnvironmentFileBytes;
Environment CurrentEnvironment;

constexpr qint64 CountSize = 2;

EnvironmentErrorDetail CannotOpen(FileCause cause, QString reason = {}) {
    return {
        .kind = EnvironmentErrorKind::CannotOpen, .path = EnvironmentFile, .cause = cause, .reason = std::move(reason)};
}

EnvironmentErrorDetail SystemCannotOpen(int error) {
    return CannotOpen(FileCause::System, QString::fromLocal8Bit(std::strerror(error)));
}

// None when the node is a regular file; else why it is not used.
std::optional<EnvironmentErrorDetail> WhyNot(int result, const struct stat& info) {
    if (result != 0) {
        return SystemCannotOpen(errno);
    }
    if (const std::optional<FileCause> why = WhyNotRegularFile(info.st_mode)) {
        return CannotOpen(*why);
    }
    return std::nullopt;
}

// Created when missing and, without O_TRUNC, never shortened. Only a regular
// file is opened, and what was opened is checked again: a pipe would hold the
// start with no window up. -1 and the reason otherwise.
int OpenRegularFile(std::optional<EnvironmentErrorDetail>& why) {
    struct stat info {};
    if (::stat(EnvironmentFileBytes.constData(), &info) == 0) {
        why = WhyNot(0, info);
        if (why) {
            return -1;
        }
    }
    const int handle = ::open(EnvironmentFileBytes.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
    why = handle < 0 ? std::optional(SystemCannotOpen(errno)) : WhyNot(::fstat(handle, &info), info);
    return handle;
}

void OpenEnvironmentFile(QFile& file) {
    std::optional<EnvironmentErrorDetail> why;
    const int handle = OpenRegularFile(why);
    if (why || !file.open(handle, QIODevice::ReadWrite, QFileDevice::AutoCloseHandle)) {
        if (!why) {
            why = CannotOpen(FileCause::System, file.errorString());
        }
        if (handle >= 0) {
            ::close(handle);
        }
        throw EnvironmentError(std::move(*why));
    }
}

[[noreturn]] void Fail(const QFile& file, EnvironmentErrorKind kind) {
    throw EnvironmentError({.kind = kind, .path = EnvironmentFile, .reason = file.errorString()});
}

}  // namespace

void InitEnvironment(const QByteArray& folder) {
    // A root folder already ends in its separator.
    EnvironmentFileBytes = folder.endsWith('/') ? folder + "environment.kfg" : folder + "/environment.kfg";
    EnvironmentFile = QFile::decodeName(EnvironmentFileBytes);
}

void InitEnvironment(const QString& folder) { InitEnvironment(QFile::encodeName(folder)); }

void LoadEnvironment() {
    QFile file;
    OpenEnvironmentFile(file);
    CurrentEnvironment.FolderPath.clear();

    const QByteArray count = file.read(CountSize);
    if (count.size() < CountSize) {
        // Empty (as created just now) or a single stray byte: no record.
        if (file.error() != QFileDevice::NoError) {
            Fail(file, EnvironmentErrorKind::CannotRead);
        }
        return;
    }
    const auto length =
        static_cast<qint64>(static_cast<unsigned char>(count[0]) | (static_cast<unsigned char>(count[1]) << 8));
    const QByteArray text = file.read(length);
    if (file.error() != QFileDevice::NoError) {
        Fail(file, EnvironmentErrorKind::CannotRead);
    }
    // A count past the end of the file is damage, not a text: keep nothing
    // of it rather than a cut-off piece.
    if (text.size() == length) {
        CurrentEnvironment.FolderPath = text;
    }
}

void SaveEnvironment() {
    QFile file;
    OpenEnvironmentFile(file);
    const QByteArray& text = CurrentEnvironment.FolderPath;
    const auto length = static_cast<quint16>(text.size());  // read from a 16-bit count
    const char count[CountSize] = {static_cast<char>(length & 0xFF), static_cast<char>(length >> 8)};

    QByteArray record(count, CountSize);
    record += text;
    if (file.write(record) != record.size() || !file.flush()) {
        Fail(file, EnvironmentErrorKind::CannotWrite);
    }
}

const QString& getEnvironmentFile() { return EnvironmentFile; }

const Environment& getEnvironment() { return CurrentEnvironment; }

}  // namespace korva
