#include "deck/DeckText.h"

#include <QString>

#include "deck/Cp932Text.h"

namespace korva {

std::string ItemToUtf8(ItemEncoding encoding, std::string_view bytes) {
    return encoding == ItemEncoding::Cp932 ? Cp932ToUtf8(bytes) : std::string(bytes);
}

std::optional<std::string> ItemFromUtf8(ItemEncoding encoding, std::string_view utf8) {
    if (encoding == ItemEncoding::Cp932) {
        return Utf8ToCp932(utf8);
    }
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    return text.normalized(QString::NormalizationForm_C).toStdString();
}

std::string ItemForComparison(ItemEncoding encoding, std::string_view bytes) {
    return encoding == ItemEncoding::Cp932 ? std::string(bytes) : *ItemFromUtf8(encoding, bytes);
}

}  // namespace korva
