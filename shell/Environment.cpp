#include "shell/Environment.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>
#include <QFile>

namespace korva {

namespace {

// One per process, for the whole run. The path is opened by its bytes; the
// text form names it in messages.
QString EnvironmentFile;
QByteArray EnvironmentFileBytes;
Environment CurrentEnvironment;

constexpr qint64 CountSize = 2;

void OpenEnvironmentFile(QFile& file) {
    // Created when missing and, without O_TRUNC, never shortened.
    const int handle = ::open(EnvironmentFileBytes.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (handle < 0 || !file.open(handle, QIODevice::ReadWrite, QFileDevice::AutoCloseHandle)) {
        const QString reason = handle < 0 ? QString::fromLocal8Bit(std::strerror(errno)) : file.errorString();
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
