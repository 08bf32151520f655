#pragma once

#include <string_view>

namespace korva {

// Which reader takes a file, by the end of its name: ".krv" is a deck file,
// ".csv" a word list, in any mix of upper and lower case (decks come from a
// platform whose file names ignore case). Anything else is read by neither.
enum class DeckPathKind { Deck, Csv, Other };

DeckPathKind KindOfPath(std::string_view path);

}  // namespace korva
