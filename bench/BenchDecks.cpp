#include "bench/BenchDecks.h"

#include <random>

#include "memory/MemoryKeeping.h"

namespace korva::bench {

std::string JapaneseText(int card, int item) {
    std::string text;
    for (int i = 0; i < 10; ++i) {
        text.push_back('\x82');
        text.push_back(static_cast<char>(0x9F + (card * 7 + item * 3 + i) % 83));
    }
    return text;
}

CardData MakeDeck(int total) {
    CardData d;
    d.Items.resize(static_cast<std::size_t>(total) + 1);
    d.Checks.resize(static_cast<std::size_t>(total) + 1);
    d.QuestionItems.assign(static_cast<std::size_t>(total) + 1, 1);
    for (int c = 1; c <= total; ++c) {
        d.Items[c][1] = JapaneseText(c, 1);
        d.Items[c][2] = JapaneseText(c, 2);
        d.Checks[c][1] = c % 3 == 0 ? True16 : False16;
    }
    d.Modes = ImportedModes;
    return d;
}

// A full deck, half of it asking item 2, studied for three years: rows
// answers over its cards in time order, the last of them today, and its
// memory kept up with them.
KorvaDeck StudiedDeck(std::size_t rows, int64_t now) {
    CardData cards = MakeDeck(MaxCards);
    for (std::size_t card = 1; card < cards.QuestionItems.size(); ++card) {
        cards.QuestionItems[card] = static_cast<int16_t>(1 + card % 2);
    }
    KorvaDeck deck = MakeKorvaDeck(std::move(cards), 0, "bench");
    std::mt19937_64 random(5);
    const int64_t span = int64_t{3} * 365 * 86'400'000;
    deck.record.reserve(rows);
    for (std::size_t row = 0; row < rows; ++row) {
        const auto card = std::uniform_int_distribution<std::size_t>(1, MaxCards)(random);
        deck.record.push_back(
            {.timeMs = now - span + static_cast<int64_t>(row) * span / static_cast<int64_t>(rows),
             .cardId = deck.cardIds[card],
             .item = static_cast<int16_t>(std::bernoulli_distribution(0.8)(random) ? 1 + card % 2 : 2 - card % 2),
             .checked = std::bernoulli_distribution(0.85)(random)});
    }
    CatchUpMemory(deck);
    return deck;
}

}  // namespace korva::bench
