#include "editor/CardClipboard.h"

#include <QStringList>

#include "editor/ItemText.h"

namespace korva {

namespace {

QString Field(ItemEncoding encoding, const std::string& bytes) {
    QString text = ItemToText(encoding, bytes);
    if (!text.contains(QLatin1Char('\t')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')) &&
        !text.contains(QLatin1Char('\r'))) {
        return text;
    }
    text.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

}  // namespace

QString CardsToTabText(const CardData& deck, const std::vector<int16_t>& cards) {
    QString text;
    for (const int16_t card : cards) {
        const auto& items = deck.Items.at(static_cast<std::size_t>(card));
        text += Field(deck.encoding, items[1]) + QLatin1Char('\t') + Field(deck.encoding, items[2]) + QLatin1Char('\n');
    }
    return text;
}

PastedCards TabTextToCards(const QString& text, ItemEncoding encoding) {
    WordListOptions options;
    options.items = encoding;
    options.encoding = TextEncoding::Utf8;
    options.separator = '\t';
    options.quoting = Quoting::Rfc;
    options.replace = true;
    const QByteArray bytes = text.toUtf8();
    WordList list = ReadWordList(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), options);
    PastedCards pasted;
    pasted.replaced = std::move(list.replaced);
    pasted.cards.reserve(list.rows.size());
    for (CsvRow& row : list.rows) {
        CardSlot slot;
        slot.items[1] = std::move(row[0]);
        slot.items[2] = std::move(row[1]);
        pasted.cards.push_back(std::move(slot));
    }
    return pasted;
}

}  // namespace korva
