#include "deck/PathText.h"

#include "deck/Utf8Char.h"

namespace korva {

namespace {

constexpr char16_t ByteMark = 0xDC00;
constexpr char16_t FirstKeptByte = 0xDC80;
constexpr char16_t LastKeptByte = 0xDCFF;

bool IsKeptByte(char16_t unit) { return unit >= FirstKeptByte && unit <= LastKeptByte; }

}  // namespace

QString PathToText(std::string_view bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0x80) {
            text += QChar(byte);
            ++i;
            continue;
        }
        const std::size_t length = Utf8CharLength(bytes, i);
        if (length == 0) {
            text += QChar(static_cast<char16_t>(ByteMark + byte));
            ++i;
            continue;
        }
        text += QString::fromUtf8(bytes.data() + i, static_cast<qsizetype>(length));
        i += length;
    }
    return text;
}

std::string TextToPath(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    qsizetype start = 0;  // of the text not yet encoded
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        // A low surrogate after a high one is half of a pair, not a byte.
        if (!IsKeptByte(unit) || (i > 0 && text[i - 1].isHighSurrogate())) {
            continue;
        }
        bytes += text.mid(start, i - start).toUtf8().toStdString();
        bytes += static_cast<char>(unit - ByteMark);
        start = i + 1;
    }
    bytes += text.mid(start).toUtf8().toStdString();
    return bytes;
}

QString DisplayPath(const QString& text) {
    QString shown = text;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (IsKeptByte(shown[i].unicode()) && !(i > 0 && shown[i - 1].isHighSurrogate())) {
            shown[i] = QChar::ReplacementCharacter;
        }
    }
    return shown;
}

}  // namespace korva
