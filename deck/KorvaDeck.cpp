#include "deck/KorvaDeck.h"

#include <algorithm>
#include <utility>

namespace korva {

int64_t NewCardId(KorvaDeck& deck) { return deck.NextCardId++; }

KorvaDeck MakeKorvaDeck(CardData cards, int64_t nowMs, std::string version) {
    KorvaDeck deck;
    const std::size_t size = cards.Items.size();
    deck.Cards = std::move(cards);
    deck.Cards.Items[0] = {};
    deck.Cards.Checks[0] = {};
    deck.Cards.QuestionItems[0] = 0;
    deck.CardIds.assign(size, 0);
    for (std::size_t card = 1; card < size; ++card) {
        deck.Cards.Items[card][0].clear();
        deck.CardIds[card] = NewCardId(deck);
    }
    deck.CreatedMs = nowMs;
    deck.SavedMs = nowMs;
    deck.SavedByVersion = std::move(version);
    return deck;
}

bool SameKorvaDeck(const KorvaDeck& a, const KorvaDeck& b) {
    const CardData& x = a.Cards;
    const CardData& y = b.Cards;
    const auto sameModes = [](const StudyModes& m, const StudyModes& n) {
        return m.TurnMode == n.TurnMode && m.ReservedMode == n.ReservedMode && m.ViewKind == n.ViewKind &&
               m.AnswerMode == n.AnswerMode;
    };
    if (a.CardIds.empty() || b.CardIds.empty() || x.Items.size() != y.Items.size() ||
        x.Checks.size() != y.Checks.size() || x.QuestionItems.size() != y.QuestionItems.size() ||
        !sameModes(x.Modes, y.Modes) || a.CardIds.size() != b.CardIds.size() ||
        !std::equal(a.CardIds.begin() + 1, a.CardIds.end(), b.CardIds.begin() + 1) || a.Record != b.Record ||
        a.NextCardId != b.NextCardId || a.CreatedMs != b.CreatedMs || a.SavedMs != b.SavedMs ||
        a.SavedByVersion != b.SavedByVersion) {
        return false;
    }
    for (std::size_t card = 1; card < x.Items.size(); ++card) {
        if (x.Items[card][1] != y.Items[card][1] || x.Items[card][2] != y.Items[card][2] ||
            x.Checks[card] != y.Checks[card] || x.QuestionItems[card] != y.QuestionItems[card]) {
            return false;
        }
    }
    return true;
}

}  // namespace korva
