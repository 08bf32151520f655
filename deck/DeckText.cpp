#include "deck/DeckText.h"

#include <QString>

#include "deck/CardData.h"
#include "deck/Cp932Text.h"
#include "deck/DeckError.h"

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

namespace {

std::string Recoded(const std::string& bytes, ItemEncoding to, int card, int item) {
    const bool shown = card > 0 && item > 0;
    if (to == ItemEncoding::Utf8) {
        std::optional<std::string> text = Cp932ToUtf8Exact(bytes);
        if (!text && shown) {
            throw DeckError({.kind = DeckErrorKind::TextNotCp932, .column = item, .number = card});
        }
        return text ? std::move(*text) : Cp932ToUtf8(bytes);
    }
    if (std::optional<std::string> converted = Utf8ToCp932(bytes)) {
        return std::move(*converted);
    }
    if (!shown) {
        return {};
    }
    // Name the first character that has no code page 932 form.
    const QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const std::string character = text.mid(i, length).toStdString();
        if (!Utf8ToCp932(character)) {
            throw DeckError(
                {.kind = DeckErrorKind::CardTextNotInCp932, .column = item, .number = card, .text = character});
        }
        i += length;
    }
    throw DeckError({.kind = DeckErrorKind::CardTextNotInCp932, .column = item, .number = card});
}

}  // namespace

void RecodeCards(CardData& deck, ItemEncoding to) {
    if (deck.encoding == to) {
        return;
    }
    std::vector<CardData::ItemTexts> items = deck.Items;
    for (std::size_t card = 0; card < items.size(); ++card) {
        for (std::size_t item = 0; item < items[card].size(); ++item) {
            items[card][item] = Recoded(items[card][item], to, static_cast<int>(card), static_cast<int>(item));
        }
    }
    deck.Items = std::move(items);
    deck.encoding = to;
}

}  // namespace korva
