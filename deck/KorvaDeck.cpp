#include "deck/KorvaDeck.h"

#include <algorithm>
#include <utility>

namespace korva {

int64_t NewCardId(KorvaDeck& deck) { return deck.nextCardId++; }

KorvaDeck MakeKorvaDeck(CardData cards, int64_t nowMs, std::string version) {
    KorvaDeck deck;
    const std::size_t size = cards.Items.size();
    deck.cards = std::move(cards);
    deck.cards.encoding = ItemEncoding::Utf8;
    deck.cards.Items[0] = {};
    deck.cards.Checks[0] = {};
    deck.cards.QuestionItems[0] = 0;
    deck.cardIds.assign(size, 0);
    for (std::size_t card = 1; card < size; ++card) {
        deck.cards.Items[card][0].clear();
        deck.cardIds[card] = NewCardId(deck);
    }
    deck.createdMs = nowMs;
    deck.savedMs = nowMs;
    deck.savedByVersion = std::move(version);
    return deck;
}

bool SameKorvaDeck(const KorvaDeck& a, const KorvaDeck& b) {
    const CardData& x = a.cards;
    const CardData& y = b.cards;
    const auto sameModes = [](const StudyModes& m, const StudyModes& n) {
        return m.TurnMode == n.TurnMode && m.ReservedMode == n.ReservedMode && m.ViewKind == n.ViewKind &&
               m.AnswerMode == n.AnswerMode;
    };
    if (a.cardIds.empty() || b.cardIds.empty() || x.Items.size() != y.Items.size() ||
        x.Checks.size() != y.Checks.size() || x.QuestionItems.size() != y.QuestionItems.size() ||
        !sameModes(x.Modes, y.Modes) || a.cardIds.size() != b.cardIds.size() ||
        !std::equal(a.cardIds.begin() + 1, a.cardIds.end(), b.cardIds.begin() + 1) || a.record != b.record ||
        a.nextCardId != b.nextCardId || a.createdMs != b.createdMs || a.savedMs != b.savedMs ||
        a.savedByVersion != b.savedByVersion ||
        std::min(a.memoryRows, a.record.size()) != std::min(b.memoryRows, b.record.size()) ||
        a.settings != b.settings) {
        return false;
    }
    const auto memoryOf = [](const KorvaDeck& deck, int64_t id) {
        const auto found = deck.memory.find(id);
        return found != deck.memory.end() ? found->second : CardMemories{};
    };
    for (std::size_t card = 1; card < x.Items.size(); ++card) {
        if (x.Items[card][1] != y.Items[card][1] || x.Items[card][2] != y.Items[card][2] ||
            x.Checks[card] != y.Checks[card] || x.QuestionItems[card] != y.QuestionItems[card] ||
            memoryOf(a, a.cardIds[card]) != memoryOf(b, b.cardIds[card])) {
            return false;
        }
    }
    return true;
}

}  // namespace korva
