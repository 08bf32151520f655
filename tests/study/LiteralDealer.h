#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "deck/CardData.h"

namespace korva::test {

// The dealing rules written out as they read, nested Start and NextCard and
// full rescans included, to hold the engine against. Only for small decks
// with at least one card: with none, Start and NextCard call each other
// without end. Damaged modes deal in deck order and all cards, as the engine
// does.
struct LiteralDealer {
    CardData deck;
    std::vector<int16_t> turn{0};
    int cardCount = 0;
    bool openItem = false;
    std::mt19937_64 random;
    int messages = 0;
    int screens = 0;

    int Total() const { return static_cast<int>(deck.Items.size()) - 1; }
    int ShowCard() const { return turn.at(static_cast<std::size_t>(cardCount)); }
    bool isCheck(int question, int card) const;
    void setCheck(bool Value, int question, int card);
    bool isValidCard(int StartNumber) const;
    bool isNextCard() const;
    void Start();
    void NextCard();
    void Reverse(int card);
};

}  // namespace korva::test
