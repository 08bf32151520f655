#include "deck/DeckConversion.h"

#include <cstdio>
#include <optional>
#include <string_view>

#include "deck/Cp932Fields.h"
#include "deck/Cp932Text.h"
#include "deck/DeckError.h"
#include "deck/WordList.h"

namespace korva {

namespace {

void Note(CardConversion& conversion, std::size_t card, int item, std::string what) {
    if (conversion.first.size() < CardConversion::Kept) {
        conversion.first.push_back(ItemLoss{card, item, std::move(what)});
    }
    ++conversion.count;
}

// The bytes of each character that does not decode, "81 2C".
std::vector<std::string> UndecodedBytes(std::string_view bytes) {
    std::vector<std::string> found;
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t length = Cp932CharLength(bytes, pos);
        const std::string_view character = bytes.substr(pos, length);
        if (!Cp932ToUtf8Exact(character)) {
            std::string hex;
            for (const char byte : character) {
                char two[4];
                std::snprintf(two, sizeof two, "%02X", static_cast<unsigned>(static_cast<unsigned char>(byte)));
                hex += (hex.empty() ? "" : " ") + std::string(two);
            }
            found.push_back(std::move(hex));
        }
        pos += length;
    }
    return found;
}

}  // namespace

CardConversion CardsToUtf8(const CardData& cp932) {
    CardConversion conversion;
    conversion.cards = cp932;
    conversion.cards.encoding = ItemEncoding::Utf8;
    for (std::size_t card = 0; card < cp932.Items.size(); ++card) {
        for (int item = 0; item < 3; ++item) {
            const std::string& bytes = cp932.Items[card][static_cast<std::size_t>(item)];
            std::string& text = conversion.cards.Items[card][static_cast<std::size_t>(item)];
            if (std::optional<std::string> exact = Cp932ToUtf8Exact(bytes)) {
                text = std::move(*exact);
                continue;
            }
            text = Cp932ToUtf8(bytes);
            // Card 0 and item 0 are never shown, and no .korva file keeps
            // them: nothing of theirs is lost that the deck showed.
            if (card > 0 && item > 0) {
                for (std::string& hex : UndecodedBytes(bytes)) {
                    Note(conversion, card, item, std::move(hex));
                }
            }
        }
    }
    return conversion;
}

CardConversion CardsToCp932(const CardData& utf8) {
    CardConversion conversion;
    conversion.cards = utf8;
    conversion.cards.encoding = ItemEncoding::Cp932;
    // A .korva file keeps no card 0; a .krv file's holds what an import
    // gives it, so that a deck converted there and back is the file it was.
    conversion.cards.Items[0] = {};
    conversion.cards.Checks[0] = {False16, False16, False16};
    conversion.cards.QuestionItems[0] = 1;
    for (std::size_t card = 0; card < utf8.Items.size(); ++card) {
        for (int item = 0; item < 3; ++item) {
            const std::string& text = utf8.Items[card][static_cast<std::size_t>(item)];
            std::string& bytes = conversion.cards.Items[card][static_cast<std::size_t>(item)];
            if (std::optional<std::string> held = Utf8ToCp932(text)) {
                bytes = std::move(*held);
                continue;
            }
            Replacements equivalents;
            Replacements replaced;
            bytes = FieldToCp932(text, static_cast<int>(card), true, equivalents, replaced);
            for (ReplacedCharacter& one : replaced.first) {
                Note(conversion, card, item, std::move(one.character));
            }
            // Past the first kept of an item, only counted.
            conversion.count += replaced.count - replaced.first.size();
        }
    }
    return conversion;
}

CardConversion LossesInEncoding(const CardData& cards, ItemEncoding to) {
    if (cards.encoding == to) {
        return {};
    }
    return to == ItemEncoding::Utf8 ? CardsToUtf8(cards) : CardsToCp932(cards);
}

CardData InEncoding(const CardData& cards, ItemEncoding to, bool allowLoss) {
    if (cards.encoding == to) {
        return cards;
    }
    CardConversion conversion = LossesInEncoding(cards, to);
    if (conversion.count > 0 && !allowLoss) {
        const ItemLoss& first = conversion.first.front();
        throw DeckError(
            {.kind = to == ItemEncoding::Utf8 ? DeckErrorKind::TextNotCp932 : DeckErrorKind::CardTextNotInCp932,
             .column = first.item,
             .number = static_cast<long long>(first.card),
             .text = first.what});
    }
    return std::move(conversion.cards);
}

}  // namespace korva
