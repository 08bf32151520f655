#include "recovery/RecoveryOrigin.h"

#include <QByteArray>
#include <QList>

#include "deck/PathText.h"
#include "recovery/RecoveryError.h"

namespace korva {

namespace {

const QByteArray AnswersLine = QByteArrayLiteral("KORVA recovery 4");
const QByteArray FirstLine = QByteArrayLiteral("KORVA recovery 3");
const QByteArray SecondLine = QByteArrayLiteral("KORVA recovery 2");
const QByteArray OldFirstLine = QByteArrayLiteral("KORVA recovery 1");
const QByteArray TextKey = QByteArrayLiteral("text ");
const QByteArray PathKey = QByteArrayLiteral("path ");
const QByteArray NameKey = QByteArrayLiteral("name ");
const QByteArray OriginalKey = QByteArrayLiteral("original ");
const QByteArray AnswerKey = QByteArrayLiteral("answer ");
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

QByteArray WriteAnswer(const CopiedAnswer& answer) {
    const ReviewRow& row = answer.row;
    QByteArray line = AnswerKey;
    for (const qint64 field : {qint64{row.timeMs}, qint64{answer.card}, qint64{row.cardId}, qint64{row.item},
                               qint64{row.checked}, qint64{row.style}, qint64{row.judged}}) {
        line += QByteArray::number(field) + ' ';
    }
    line.back() = '\n';
    return line;
}

// Each field within what the record can hold, so a restored answer is one
// the program could have given.
CopiedAnswer ReadAnswer(const QByteArray& line) {
    if (!line.startsWith(AnswerKey)) {
        Damaged();
    }
    const QList<QByteArray> fields = line.mid(AnswerKey.size()).split(' ');
    std::vector<qint64> values;
    for (const QByteArray& field : fields) {
        bool read = false;
        values.push_back(field.toLongLong(&read));
        if (!read) {
            Damaged();
        }
    }
    if (values.size() != 7 || values[1] < 0 || values[1] > MaxCards || values[2] < 1 ||
        (values[3] != 1 && values[3] != 2) || (values[4] != 0 && values[4] != 1) ||
        (values[5] != AnswerNormal && values[5] != AnswerTest) || values[6] < -1 || values[6] > 1) {
        Damaged();
    }
    return {{.timeMs = values[0],
             .cardId = values[2],
             .item = static_cast<int16_t>(values[3]),
             .checked = values[4] == 1,
             .style = static_cast<uint8_t>(values[5]),
             .judged = static_cast<int8_t>(values[6])},
            static_cast<int>(values[1])};
}

}  // namespace

std::string WriteOriginFile(const RecoveryOrigin& origin) {
    QByteArray text = (origin.answers.empty() ? FirstLine : AnswersLine) + '\n' + PathKey +
                      QByteArray::fromStdString(TextToPath(origin.filePath)).toPercentEncoding("/") + '\n' + NameKey +
                      origin.fileName.toUtf8().toPercentEncoding() + '\n' + OriginalKey +
                      WriteOriginal(origin.original) + '\n' + TextKey +
                      (origin.encoding == ItemEncoding::Utf8 ? "utf8" : "cp932") + '\n';
    for (const CopiedAnswer& answer : origin.answers) {
        text += WriteAnswer(answer);
    }
    return text.toStdString();
}

RecoveryOrigin ReadOriginFile(std::string_view bytes) {
    const QList<QByteArray> lines = QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())).split('\n');
    // Each line ended by its line break: an empty piece after the last.
    const bool old = lines.size() == 4 && lines[0] == OldFirstLine;
    const bool second = lines.size() == 5 && lines[0] == SecondLine;
    const bool third = lines.size() == 6 && lines[0] == FirstLine;
    const bool answered = lines.size() > 6 && lines[0] == AnswersLine;
    if (!(old || second || third || answered) || !lines.back().isEmpty()) {
        Damaged();
    }
    ItemEncoding encoding = ItemEncoding::Cp932;
    if (third || answered) {
        const QByteArray text = ValueOf(lines[4], TextKey);
        if (text != "utf8" && text != "cp932") {
            Damaged();
        }
        encoding = text == "utf8" ? ItemEncoding::Utf8 : ItemEncoding::Cp932;
    }
    std::vector<CopiedAnswer> answers;
    for (qsizetype line = 5; answered && line + 1 < lines.size(); ++line) {
        answers.push_back(ReadAnswer(lines[line]));
    }
    return {PathToText(ValueOf(lines[1], PathKey).toStdString()), QString::fromUtf8(ValueOf(lines[2], NameKey)),
            old ? std::nullopt : ReadOriginal(lines[3]), encoding, std::move(answers)};
}

}  // namespace korva
