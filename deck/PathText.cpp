#include "deck/PathText.h"

namespace korva {

namespace {

constexpr char16_t ByteMark = 0xDC00;
constexpr char16_t FirstKeptByte = 0xDC80;
constexpr char16_t LastKeptByte = 0xDCFF;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the valid UTF-8 sequence at the start of rest, or 0: no
// overlong forms, no surrogates, nothing past U+10FFFF.
std::size_t SequenceLength(std::string_view rest) {
    const auto lead = static_cast<unsigned char>(rest[0]);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (rest.size() < length) {
        return 0;
    }
    const auto second = static_cast<unsigned char>(rest[1]);
    if (second < low || second > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (!IsContinuation(static_cast<unsigned char>(rest[i]))) {
            return 0;
        }
    }
    return length;
}

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
        const std::size_t length = SequenceLength(bytes.substr(i));
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
