#pragma once

#include <optional>
#include <string>

#include <QString>

#include "deck/DeckText.h"

namespace korva {

// An item's bytes as the editor shows them: a line break is one "\n" on
// screen and CR LF in the deck, as the study window's text boxes write it.
// Code page 932 bytes that do not decode show as U+FFFD.
QString ItemToText(ItemEncoding encoding, const std::string& bytes);

// The text typed for an item as the deck's bytes; nullopt when some character
// has no form in a code page 932 deck.
std::optional<std::string> TextToItem(ItemEncoding encoding, const QString& text);

// The first character of text that code page 932 cannot hold, or an empty
// string when it holds them all.
QString FirstCharacterNotInCp932(const QString& text);

// The sentence that refuses such a character in a code page 932 deck.
QString CharacterRefusal(const QString& character);

// A typed item as the deck would keep it: its bytes, or the sentence that
// refuses it (a character a code page 932 deck cannot hold, an item past the
// deck's limit). The one check of a whole typed item, which the cell makes before
// it closes and the table before it writes.
struct TypedItem {
    std::optional<std::string> bytes;
    QString refusal;
};
TypedItem CheckTypedItem(ItemEncoding encoding, const QString& text);

}  // namespace korva
