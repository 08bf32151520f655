#pragma once

#include <stdexcept>
#include <string>

namespace korva {

// Every failure of the deck layer: a file that cannot be read or written, a
// damaged deck file, a deck that would grow past MaxCards, a text too long for
// its length field. what() is a reason in Japanese that a window can show.
class DeckError : public std::runtime_error {
public:
    explicit DeckError(const std::string& reason) : std::runtime_error(reason) {}
};

}  // namespace korva
