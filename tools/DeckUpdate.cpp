#include "tools/DeckUpdate.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "deck/DeckError.h"

namespace korva {

namespace {

// The deck's cards by item 1, each list in deck order, with how many of them
// lines have taken: a repeated item 1 matches its cards one after another.
class CardsByItem1 {
public:
    explicit CardsByItem1(const CardData& deck) {
        Cards_.reserve(deck.Items.size());
        for (std::size_t card = 1; card < deck.Items.size(); ++card) {
            Cards_[deck.Items[card][1]].cards.push_back(card);
        }
    }

    // The first card with this item 1 not yet taken, or 0.
    std::size_t Take(std::string_view item1) {
        const auto found = Cards_.find(item1);
        if (found == Cards_.end() || found->second.taken == found->second.cards.size()) {
            return 0;
        }
        return found->second.cards[found->second.taken++];
    }

private:
    struct Same {
        std::vector<std::size_t> cards;
        std::size_t taken = 0;
    };
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };
    std::unordered_map<std::string, Same, Hash, std::equal_to<>> Cards_;
};

void AppendCard(CardData& to, const CardData& from, std::size_t card) {
    to.Items.push_back(from.Items[card]);
    to.Checks.push_back(from.Checks[card]);
    to.QuestionItems.push_back(from.QuestionItems[card]);
}

}  // namespace

DeckUpdate UpdateDeck(const CardData& deck, const CardData& list, bool keepMissing) {
    DeckUpdate update;
    CardData& result = update.deck;
    result.Items.assign(1, deck.Items[0]);
    result.Checks.assign(1, deck.Checks[0]);
    result.QuestionItems.assign(1, deck.QuestionItems[0]);
    result.Modes = deck.Modes;

    CardsByItem1 byItem1(deck);
    std::vector<bool> taken(deck.Items.size(), false);
    for (std::size_t line = 1; line < list.Items.size(); ++line) {
        const std::size_t card = byItem1.Take(list.Items[line][1]);
        if (card == 0) {
            result.Items.push_back({"", list.Items[line][1], list.Items[line][2]});
            result.Checks.push_back({False16, False16, False16});
            result.QuestionItems.push_back(1);
            ++update.counts.added;
            continue;
        }
        taken[card] = true;
        AppendCard(result, deck, card);
        std::string& item2 = result.Items.back()[2];
        if (item2 == list.Items[line][2]) {
            ++update.counts.kept;
        } else {
            item2 = list.Items[line][2];
            ++update.counts.changed;
        }
    }

    for (std::size_t card = 1; card < deck.Items.size(); ++card) {
        if (taken[card]) {
            continue;
        }
        if (keepMissing) {
            AppendCard(result, deck, card);
        } else {
            ++update.counts.removed;
        }
    }
    if (result.Items.size() - 1 > static_cast<std::size_t>(MaxCards)) {
        throw DeckError(DeckErrorKind::TooManyCards);
    }
    return update;
}

std::string UpdateCountsToJson(const UpdateCounts& counts) {
    return "{\"kept\":" + std::to_string(counts.kept) + ",\"changed\":" + std::to_string(counts.changed) +
           ",\"added\":" + std::to_string(counts.added) + ",\"removed\":" + std::to_string(counts.removed) + "}";
}

}  // namespace korva
