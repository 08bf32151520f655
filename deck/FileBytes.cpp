#include "deck/FileBytes.h"

#include <QFile>
#include <QSaveFile>
#include <QString>

#include "deck/DeckError.h"

namespace korva {

std::string ReadFileBytes(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        throw DeckError("ファイルを開けません。");
    }
    const qint64 size = file.size();
    std::string bytes;
    if (size > 0) {
        bytes.resize(static_cast<std::size_t>(size));
        if (file.read(bytes.data(), size) != size) {
            throw DeckError("ファイルを読み込めません。");
        }
    } else {
        // Files whose size the system does not report (pipes, /proc) are
        // read to their end.
        const QByteArray all = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            throw DeckError("ファイルを読み込めません。");
        }
        bytes.assign(all.constData(), static_cast<std::size_t>(all.size()));
    }
    return bytes;
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
    QSaveFile file(QString::fromStdString(path));
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
