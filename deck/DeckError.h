#pragma once

#include <new>
#include <stdexcept>
#include <string>

#include "deck/CardData.h"

namespace korva {

// Every failure of the deck layer: a file that cannot be read or written, a
// damaged deck file, a deck that would grow past MaxCards, a text too long for
// its length field. what() is a reason in Japanese that a window can show.
class DeckError : public std::runtime_error {
public:
    explicit DeckError(const std::string& reason) : std::runtime_error(reason) {}
};

// An append that would take the deck past MaxCards, from the CSV import and
// from a deck file alike.
inline DeckError AppendPastMaxCards() {
    return DeckError("カードの合計が" + std::to_string(MaxCards) + "枚を超えるため追加できません。");
}

// Runs a read of a file into a deck. Running out of memory in it is one more
// reason the file cannot be read, reported like the others; the read leaves
// the deck as it was either way.
template <typename Read>
void ReadWithinMemory(Read&& read) {
    try {
        read();
    } catch (const std::bad_alloc&) {
        throw DeckError("メモリが足りないため読み込めません。");
    }
}

}  // namespace korva
