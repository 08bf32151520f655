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
    CardData Deck;
    std::vector<int16_t> Turn{0};
    int CardCount = 0;
    bool OpenItem = false;
    std::mt19937_64 Random;
    int Messages = 0;
    int Screens = 0;

    int Total() const { return static_cast<int>(Deck.Items.size()) - 1; }
    int ShowCard() const { return Turn.at(static_cast<std::size_t>(CardCount)); }
    bool isCheck(int Question, int Card) const;
    void setCheck(bool Value, int Question, int Card);
    bool isValidCard(int StartNumber) const;
    bool isNextCard() const;
    void Start();
    void NextCard();
    void Reverse(int Card);
};

}  // namespace korva::test
