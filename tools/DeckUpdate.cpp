#include "tools/DeckUpdate.h"

#include <algorithm>
#include <cstddef>
#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <utility>
#include <vector>

#include "deck/Cp932Text.h"
#include "deck/DeckError.h"
#include "deck/WordListSource.h"

namespace korva {

namespace {

// A text as the card shows it, so that both codes of a character are one.
// Bytes that do not decode would all show as U+FFFD; they stand for
// themselves, after a byte valid UTF-8 never holds.
// A UTF-8 deck's text is one form of each character already.
std::string Shown(ItemEncoding encoding, std::string_view bytes) {
    if (encoding == ItemEncoding::Utf8) {
        return std::string(bytes);
    }
    if (std::optional<std::string> text = Cp932ToUtf8Exact(bytes)) {
        return std::move(*text);
    }
    return "\xFF" + std::string(bytes);
}

bool SameText(ItemEncoding encoding, std::string_view a, std::string_view b) {
    return a == b || Shown(encoding, a) == Shown(encoding, b);
}

// The deck's cards by item 1 as shown, each list in deck order, with how
// many of them lines have taken: a repeated item 1 matches its cards one
// after another.
class CardsByItem1 {
public:
    explicit CardsByItem1(const CardData& deck) : Encoding_(deck.encoding) {
        Cards_.reserve(deck.Items.size());
        for (std::size_t card = 1; card < deck.Items.size(); ++card) {
            Cards_[Shown(Encoding_, deck.Items[card][1])].cards.push_back(card);
        }
    }

    // The first card with this item 1 not yet taken, or 0.
    std::size_t Take(std::string_view item1) {
        const auto found = Cards_.find(Shown(Encoding_, item1));
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
    ItemEncoding Encoding_;
    std::unordered_map<std::string, Same> Cards_;
};

void AppendCard(DeckUpdate& to, const CardData& from, std::size_t card) {
    to.deck.Items.push_back(from.Items[card]);
    to.deck.Checks.push_back(from.Checks[card]);
    to.deck.QuestionItems.push_back(from.QuestionItems[card]);
    to.from.push_back(card);
}

// UpdateDeck but for the limit, which only the update taken must keep.
DeckUpdate MergeDeck(const CardData& deck, const CardData& list, bool keepMissing) {
    DeckUpdate update;
    CardData& result = update.deck;
    result.Items.assign(1, deck.Items[0]);
    result.Checks.assign(1, deck.Checks[0]);
    result.QuestionItems.assign(1, deck.QuestionItems[0]);
    result.Modes = deck.Modes;
    result.encoding = deck.encoding;
    update.from.assign(1, 0);

    CardsByItem1 byItem1(deck);
    std::vector<bool> taken(deck.Items.size(), false);
    for (std::size_t line = 1; line < list.Items.size(); ++line) {
        const std::size_t card = byItem1.Take(list.Items[line][1]);
        if (card == 0) {
            result.Items.push_back({"", list.Items[line][1], list.Items[line][2]});
            result.Checks.push_back({False16, False16, False16});
            result.QuestionItems.push_back(1);
            update.from.push_back(0);
            ++update.counts.added;
            continue;
        }
        taken[card] = true;
        AppendCard(update, deck, card);
        std::string& item2 = result.Items.back()[2];
        if (SameText(deck.encoding, item2, list.Items[line][2])) {
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
            AppendCard(update, deck, card);
        } else {
            ++update.counts.removed;
        }
    }
    return update;
}

// How well a reading fits the deck: the cards its lines take, then the
// items 2 they leave as they were. A reading that fails fits least.
struct Fit {
    int taken = -1;
    int kept = -1;

    bool operator==(const Fit&) const = default;
    bool operator<(const Fit& other) const { return std::tie(taken, kept) < std::tie(other.taken, other.kept); }
};

Fit FitOf(const UpdateCounts& counts) { return {counts.kept + counts.changed, counts.kept}; }

// Valid UTF-8 without a mark (what detection takes for UTF-8) that is code
// page 932 text as well.
bool ReadsAsBoth(const WordListSource& source) {
    const WordListFormat& format = source.getFormat();
    return format.encoding == TextEncoding::Utf8 && !format.bom && Cp932ToUtf8Exact(source.getBytes()).has_value();
}

}  // namespace

void RequireWithinLimit(const DeckUpdate& update) {
    if (update.deck.Items.size() - 1 > static_cast<std::size_t>(MaxCards)) {
        throw DeckError(DeckErrorKind::TooManyCards);
    }
}

DeckUpdate UpdateDeck(const CardData& deck, const CardData& list, bool keepMissing) {
    DeckUpdate update = MergeDeck(deck, list, keepMissing);
    RequireWithinLimit(update);
    return update;
}

ListUpdate UpdateDeckFromList(const CardData& deck, std::string bytes, const WordListOptions& options,
                              bool keepMissing) {
    WordListSource source(std::move(bytes));
    std::vector<WordListOptions> encodings{options};
    encodings.front().items = deck.encoding;
    if (!options.encoding && ReadsAsBoth(source)) {
        encodings.push_back(encodings.front());
        encodings.back().encoding = TextEncoding::Cp932;
    }

    ListUpdate best;
    Fit bestFit;  // none yet
    std::size_t bestEncoding = 0;
    std::vector<Fit> encodingFits(encodings.size());  // the best of each
    std::exception_ptr failure;                       // of the reading ReadWordList gives
    for (std::size_t e = 0; e < encodings.size(); ++e) {
        std::vector<WordListOptions> readings{encodings[e]};
        for (std::size_t r = 0; r < readings.size(); ++r) {
            WordList read;
            try {
                ReadWithinMemory([&] { read = source.Read(readings[r]); });
            } catch (const DeckError&) {
                if (e == 0 && r == 0) {
                    failure = std::current_exception();
                }
                continue;
            }
            if (readings[r].directives && !read.directives.empty()) {
                readings.push_back(readings[r]);
                readings.back().directives = false;
            }
            Replacements replaced = std::move(read.replaced);
            CardData list;
            list.encoding = deck.encoding;
            ImportWordList(std::move(read), list, false);
            DeckUpdate update = MergeDeck(deck, list, keepMissing);
            const Fit fit = FitOf(update.counts);
            encodingFits[e] = std::max(encodingFits[e], fit);
            // Another reading is taken only where the deck prefers it: it
            // fits better, and where the first one failed, it takes a card.
            const bool first = e == 0 && r == 0;
            if (first || (bestFit < fit && (failure == nullptr || fit.taken > 0))) {
                best = ListUpdate{std::move(update), std::move(replaced),
                                  ListReading{.directivesAsCards = !readings[r].directives}};
                bestFit = fit;
                bestEncoding = e;
            }
        }
    }
    if (bestFit.taken < 0) {
        std::rethrow_exception(failure);
    }
    if (encodings.size() > 1 && encodingFits[bestEncoding] != encodingFits[1 - bestEncoding]) {
        best.reading.encoding = bestEncoding == 0 ? TextEncoding::Utf8 : TextEncoding::Cp932;
    }
    return best;
}

std::string UpdateCountsToJson(const UpdateCounts& counts) {
    return "{\"kept\":" + std::to_string(counts.kept) + ",\"changed\":" + std::to_string(counts.changed) +
           ",\"added\":" + std::to_string(counts.added) + ",\"removed\":" + std::to_string(counts.removed) + "}";
}

}  // namespace korva
