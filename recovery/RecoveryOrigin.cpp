#include "recovery/RecoveryOrigin.h"

#include <QByteArray>
#include <QFile>
#include <QList>

#include "deck/DeckError.h"

namespace korva {

namespace {

const QByteArray FirstLine = QByteArrayLiteral("KORVA recovery 1");
const QByteArray PathKey = QByteArrayLiteral("path ");
const QByteArray NameKey = QByteArrayLiteral("name ");

QByteArray ValueOf(const QByteArray& line, const QByteArray& key) {
    if (!line.startsWith(key)) {
        throw DeckError("元のファイルの情報が壊れています。");
    }
    return QByteArray::fromPercentEncoding(line.mid(key.size()));
}

}  // namespace

std::string WriteOriginFile(const RecoveryOrigin& origin) {
    const QByteArray text = FirstLine + '\n' + PathKey + QFile::encodeName(origin.filePath).toPercentEncoding("/") +
                            '\n' + NameKey + origin.fileName.toUtf8().toPercentEncoding() + '\n';
    return text.toStdString();
}

RecoveryOrigin ReadOriginFile(std::string_view bytes) {
    const QList<QByteArray> lines = QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())).split('\n');
    // Three lines, each ended by its line break: a fourth, empty piece.
    if (lines.size() != 4 || lines[0] != FirstLine || !lines[3].isEmpty()) {
        throw DeckError("元のファイルの情報が壊れています。");
    }
    return {QFile::decodeName(ValueOf(lines[1], PathKey)), QString::fromUtf8(ValueOf(lines[2], NameKey))};
}

}  // namespace korva
