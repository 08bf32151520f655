#include "editor/ItemText.h"

#include <QList>

#include "deck/CardData.h"
#include "deck/Cp932Text.h"
#include "deck/DeckErrorText.h"

namespace korva {

QString ItemToText(ItemEncoding encoding, const std::string& bytes) {
    QString text = QString::fromStdString(ItemToUtf8(encoding, bytes));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

std::optional<std::string> TextToItem(ItemEncoding encoding, const QString& text) {
    QString withBreaks = text;
    withBreaks.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return ItemFromUtf8(encoding, withBreaks.toStdString());
}

QString FirstCharacterNotInCp932(const QString& text) {
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QString character = text.mid(i, length);
        if (character != QStringLiteral("\n") && !Utf8ToCp932(character.toStdString())) {
            return character;
        }
        i += length;
    }
    return {};
}

TypedItem CheckTypedItem(ItemEncoding encoding, const QString& text) {
    std::optional<std::string> bytes = TextToItem(encoding, text);
    if (!bytes) {
        return {std::nullopt, CharacterRefusal(FirstCharacterNotInCp932(text))};
    }
    if (bytes->size() > MaxItemBytes) {
        return {std::nullopt, DeckErrorText(DeckErrorDetail{.kind = DeckErrorKind::ItemTooLongToKeep})};
    }
    return {std::move(bytes), {}};
}

QString CharacterRefusal(const QString& character) {
    const char32_t codePoint = character.toUcs4().value(0);
    const QString hex = QStringLiteral("%1").arg(static_cast<uint>(codePoint), 4, 16, QLatin1Char('0')).toUpper();
    return QStringLiteral(
               "「%1」(U+%2) はカードに書けない文字です。\r\n"
               ".krvのデッキにはシフトJIS (コードページ932) の文字だけを書けます。\r\n"
               "KORVAデッキ (.korva) として名前を付けて保存すれば、どの言語の文字も書けます。")
        .arg(character, hex);
}

}  // namespace korva
