// The cycle under cards that another view inserted, removed or moved.
#include <algorithm>
#include <vector>

#include "study/StudyEngine.h"

namespace korva {

namespace {

// Where a card stands after count cards from first moved to stand at to.
int16_t MovedCard(int16_t card, const DeckChange& change) {
    if (card >= change.first && card < change.first + change.count) {
        return static_cast<int16_t>(change.to + (card - change.first));
    }
    const int without = card < change.first ? card : card - change.count;
    return static_cast<int16_t>(without >= change.to ? without + change.count : without);
}

}  // namespace

bool StudyEngine::FollowCards(const DeckChange& change) {
    const bool wasOnShow = CardCount_ > 0;
    const int last = change.first + change.count - 1;
    bool onShowGone = false;
    switch (change.kind) {
        case DeckChangeKind::CardsAdded: {
            for (auto it = CardTurn_.begin() + 1; it != CardTurn_.end(); ++it) {
                *it = static_cast<int16_t>(*it >= change.first ? *it + change.count : *it);
            }
            const auto toCome = CardTurn_.begin() + CardCount_ + 1;
            auto at = std::find_if(toCome, CardTurn_.end(), [last](int16_t card) { return card > last; });
            for (int card = change.first; card <= last; ++card) {
                at = CardTurn_.insert(at, static_cast<int16_t>(card)) + 1;
            }
            break;
        }
        case DeckChangeKind::CardsRemoved: {
            const auto dealt = static_cast<std::size_t>(CardCount_);
            std::vector<int16_t> kept(1, 0);
            for (std::size_t position = 1; position < CardTurn_.size(); ++position) {
                const int16_t card = CardTurn_[position];
                if (card < change.first || card > last) {
                    kept.push_back(static_cast<int16_t>(card > last ? card - change.count : card));
                } else if (position <= dealt) {
                    onShowGone = onShowGone || position == dealt;
                    --CardCount_;  // one position fewer dealt
                }
            }
            CardTurn_ = std::move(kept);
            break;
        }
        case DeckChangeKind::CardsMoved:
            for (auto it = CardTurn_.begin() + 1; it != CardTurn_.end(); ++it) {
                *it = MovedCard(*it, change);
            }
            break;
        default: return false;
    }
    return onShowGone || (!wasOnShow && getTotal() > 0);
}

}  // namespace korva
