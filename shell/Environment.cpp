#include "shell/Environment.h"

#include <cerrno>
#include <cstring>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

#include "deck/DeckErrorText.h"
#include "deck/FileBytes.h"

namespace korva {

namespace {

// One per process, for the whole run. The path is opened by its bytes; the
// text form names it in messages.
QString EnvironmentFile;
QByteArray EnvironmentFileBytes;
Environment CurrentEnvironment;

constexpr qint64 CountSize = 2;

// Empty when the node is a regular file; else why it is not used.
QString WhyNot(int result, const struct stat& info) {
    if (result != 0) {
        return QString::fromLocal8Bit(std::strerror(errno));
    }
    const std::optional<FileCause> why = WhyNotRegularFile(info.st_mode);
    return why ? QString::fromStdString(DescribeFileCause(*why, {})) : QString();
}

// Created when missing and, without O_TRUNC, never shortened. Only a regular
// file is opened, and what was opened is checked again: a pipe would hold the
// start with no window up. -1 and the reason otherwise.
int OpenRegularFile(QString& reason) {
    struct stat info {};
    if (::stat(EnvironmentFileBytes.constData(), &info) == 0) {
        reason = WhyNot(0, info);
        if (!reason.isEmpty()) {
            return -1;
        }
    }
    const int handle = ::open(EnvironmentFileBytes.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
    reason = handle < 0 ? QString::fromLocal8Bit(std::strerror(errno)) : WhyNot(::fstat(handle, &info), info);
    return handle;
}

void OpenEnvironmentFile(QFile& file) {
    QString reason;
    const int handle = OpenRegularFile(reason);
    if (!reason.isEmpty() || !file.open(handle, QIODevice::ReadWrite, QFileDevice::AutoCloseHandle)) {
        if (reason.isEmpty()) {
            reason = file.errorString();
        }
        if (handle >= 0) {
            ::close(handle);
        }
        throw EnvironmentError(QStringLiteral("%1: %2").arg(EnvironmentFile, reason).toStdString());
    }
}

void Fail(const QFile& file, const char* what) {
    throw EnvironmentError(QStringLiteral("%1: %2 (%3)")
                               .arg(EnvironmentFile, QString::fromLatin1(what), file.errorString())
                               .toStdString());
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
            Fail(file, "read");
        }
        return;
    }
    const auto length =
        static_cast<qint64>(static_cast<unsigned char>(count[0]) | (static_cast<unsigned char>(count[1]) << 8));
    const QByteArray text = file.read(length);
    if (file.error() != QFileDevice::NoError) {
        Fail(file, "read");
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
        Fail(file, "write");
    }
}

const QString& getEnvironmentFile() { return EnvironmentFile; }

const Environment& getEnvironment() { return CurrentEnvironment; }

}  // namespace korva
