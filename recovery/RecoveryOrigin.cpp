#include "recovery/RecoveryOrigin.h"

#include <QByteArray>
#include <QList>

#include "deck/PathText.h"
#include "recovery/RecoveryError.h"

namespace korva {

namespace {

const QByteArray FirstLine = QByteArrayLiteral("KORVA recovery 3");
const QByteArray SecondLine = QByteArrayLiteral("KORVA recovery 2");
const QByteArray OldFirstLine = QByteArrayLiteral("KORVA recovery 1");
const QByteArray TextKey = QByteArrayLiteral("text ");
const QByteArray PathKey = QByteArrayLiteral("path ");
const QByteArray NameKey = QByteArrayLiteral("name ");
const QByteArray OriginalKey = QByteArrayLiteral("original ");
const QByteArray Unknown = QByteArrayLiteral("none");

[[noreturn]] void Damaged() { throw RecoveryError({.kind = RecoveryErrorKind::OriginDamaged}); }

QByteArray ValueOf(const QByteArray& line, const QByteArray& key) {
    if (!line.startsWith(key)) {
        Damaged();
    }
    return QByteArray::fromPercentEncoding(line.mid(key.size()));
}

QByteArray WriteOriginal(const std::optional<FileFingerprint>& original) {
    if (!original) {
        return Unknown;
    }
    return QByteArray::number(original->size) + ' ' + QByteArray::number(original->modifiedMs) + ' ' + original->hash;
}

std::optional<FileFingerprint> ReadOriginal(const QByteArray& line) {
    if (!line.startsWith(OriginalKey)) {
        Damaged();
    }
    const QByteArray value = line.mid(OriginalKey.size());
    if (value == Unknown) {
        return std::nullopt;
    }
    const QList<QByteArray> fields = value.split(' ');
    bool sizeRead = false;
    bool timeRead = false;
    FileFingerprint original;
    if (fields.size() == 3) {
        original = {fields[0].toLongLong(&sizeRead), fields[1].toLongLong(&timeRead), fields[2]};
    }
    if (!sizeRead || !timeRead || original.hash.isEmpty()) {
        Damaged();
    }
    return original;
}

}  // namespace

std::string WriteOriginFile(const RecoveryOrigin& origin) {
    const QByteArray text = FirstLine + '\n' + PathKey +
                            QByteArray::fromStdString(TextToPath(origin.filePath)).toPercentEncoding("/") + '\n' +
                            NameKey + origin.fileName.toUtf8().toPercentEncoding() + '\n' + OriginalKey +
                            WriteOriginal(origin.original) + '\n' + TextKey +
                            (origin.encoding == ItemEncoding::Utf8 ? "utf8" : "cp932") + '\n';
    return text.toStdString();
}

RecoveryOrigin ReadOriginFile(std::string_view bytes) {
    const QList<QByteArray> lines = QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())).split('\n');
    // Each line ended by its line break: an empty piece after the last.
    const bool old = lines.size() == 4 && lines[0] == OldFirstLine;
    const bool second = lines.size() == 5 && lines[0] == SecondLine;
    const bool current = lines.size() == 6 && lines[0] == FirstLine;
    if (!(old || second || current) || !lines.back().isEmpty()) {
        Damaged();
    }
    ItemEncoding encoding = ItemEncoding::Cp932;
    if (current) {
        const QByteArray text = ValueOf(lines[4], TextKey);
        if (text != "utf8" && text != "cp932") {
            Damaged();
        }
        encoding = text == "utf8" ? ItemEncoding::Utf8 : ItemEncoding::Cp932;
    }
    return {PathToText(ValueOf(lines[1], PathKey).toStdString()), QString::fromUtf8(ValueOf(lines[2], NameKey)),
            old ? std::nullopt : ReadOriginal(lines[3]), encoding};
}

}  // namespace korva
