#include "document/DeckEdits.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>

#include "deck/DeckError.h"

namespace korva {

namespace {

using Cards = std::vector<int16_t>;

// Runs of neighbouring cards: each a first card and how many, ascending.
std::vector<std::pair<int16_t, int16_t>> RunsOf(Cards cards) {
    std::sort(cards.begin(), cards.end());
    cards.erase(std::unique(cards.begin(), cards.end()), cards.end());
    std::vector<std::pair<int16_t, int16_t>> runs;
    for (const int16_t card : cards) {
        if (!runs.empty() && runs.back().first + runs.back().second == card) {
            ++runs.back().second;
        } else {
            runs.emplace_back(card, int16_t{1});
        }
    }
    return runs;
}

Cards Span(int first, int count) {
    Cards cards;
    for (int card = first; card < first + count; ++card) {
        cards.push_back(static_cast<int16_t>(card));
    }
    return cards;
}

// Where the caret goes when the cards at at.. are gone: the card that took
// their place, or the last one.
Cards NearestTo(const DeckDocument& document, int at) {
    const int total = document.getCardData().Total();
    return total == 0 ? Cards{} : Cards{static_cast<int16_t>(std::min(at, total))};
}

}  // namespace

struct DeckEdits::Step {
    virtual ~Step() = default;
    virtual Cards Redo(DeckDocument& document) const = 0;
    virtual Cards Undo(DeckDocument& document) const = 0;
};

namespace {

// One card's items, marks or asked item. Only the parts this step changed
// are written back, so what another view changed meanwhile stays.
class CardStep final : public DeckEdits::Step {
public:
    CardStep(int16_t card, CardSlot before, CardSlot after)
        : Card_(card), Before_(std::move(before)), After_(std::move(after)) {}

    Cards Redo(DeckDocument& document) const override { return Write(document, After_); }
    Cards Undo(DeckDocument& document) const override { return Write(document, Before_); }

private:
    Cards Write(DeckDocument& document, const CardSlot& from) const {
        CardSlot card = document.getCards(Card_, 1).front();
        for (std::size_t part = 0; part < card.items.size(); ++part) {
            if (Before_.items[part] != After_.items[part]) {
                card.items[part] = from.items[part];
            }
            if (Before_.checks[part] != After_.checks[part]) {
                card.checks[part] = from.checks[part];
            }
        }
        if (Before_.questionItem != After_.questionItem) {
            card.questionItem = from.questionItem;
        }
        document.setCard(Card_, std::move(card));
        return {Card_};
    }

    int16_t Card_;
    CardSlot Before_;
    CardSlot After_;
};

class InsertStep final : public DeckEdits::Step {
public:
    InsertStep(int16_t at, std::vector<CardSlot> cards) : At_(at), Cards_(std::move(cards)) {}

    Cards Redo(DeckDocument& document) const override {
        document.InsertCards(At_, Cards_);
        return Span(At_, static_cast<int>(Cards_.size()));
    }
    Cards Undo(DeckDocument& document) const override {
        document.RemoveCards(At_, static_cast<int16_t>(Cards_.size()));
        return NearestTo(document, At_);
    }

private:
    int16_t At_;
    std::vector<CardSlot> Cards_;
};

// Runs are kept in ascending order of where they stood: removed from the
// last, so the earlier numbers hold, and put back from the first.
class RemoveStep final : public DeckEdits::Step {
public:
    explicit RemoveStep(std::vector<std::pair<int16_t, std::vector<CardSlot>>> runs) : Runs_(std::move(runs)) {}

    Cards Redo(DeckDocument& document) const override {
        for (std::size_t run = Runs_.size(); run-- > 0;) {
            document.RemoveCards(Runs_[run].first, static_cast<int16_t>(Runs_[run].second.size()));
        }
        return NearestTo(document, Runs_.front().first);
    }
    Cards Undo(DeckDocument& document) const override {
        Cards restored;
        for (const auto& [first, cards] : Runs_) {
            document.InsertCards(first, cards);
            const Cards span = Span(first, static_cast<int>(cards.size()));
            restored.insert(restored.end(), span.begin(), span.end());
        }
        return restored;
    }

private:
    std::vector<std::pair<int16_t, std::vector<CardSlot>>> Runs_;
};

// Runs of cards each one place along; the card they pass goes round them.
// Runs going up move from the top down, runs going down from the bottom up,
// so no run passes another; the undo walks them back the other way.
class MoveStep final : public DeckEdits::Step {
public:
    MoveStep(std::vector<std::pair<int16_t, int16_t>> runs, int16_t by, Cards after)
        : Runs_(std::move(runs)), By_(by), After_(std::move(after)) {}

    Cards Redo(DeckDocument& document) const override {
        for (const auto& [first, count] : Runs_) {
            document.MoveCards(first, count, static_cast<int16_t>(first + By_));
        }
        return After_;
    }
    Cards Undo(DeckDocument& document) const override {
        Cards before;
        for (std::size_t run = Runs_.size(); run-- > 0;) {
            const auto [first, count] = Runs_[run];
            document.MoveCards(static_cast<int16_t>(first + By_), count, first);
        }
        for (const auto& [first, count] : Runs_) {
            const Cards span = Span(first, count);
            before.insert(before.end(), span.begin(), span.end());
        }
        std::sort(before.begin(), before.end());
        return before;
    }

private:
    std::vector<std::pair<int16_t, int16_t>> Runs_;
    int16_t By_;
    Cards After_;
};

}  // namespace

// Marks the changes the steps make, so the history does not end at its own
// insertions and removals.
class DeckEdits::Own {
public:
    explicit Own(DeckEdits& edits) : Edits_(edits) { ++Edits_.OwnChanges_; }
    ~Own() { --Edits_.OwnChanges_; }
    Own(const Own&) = delete;
    Own& operator=(const Own&) = delete;

private:
    DeckEdits& Edits_;
};

DeckEdits::DeckEdits(std::shared_ptr<DeckDocument> document) : Document_(std::move(document)) {
    if (!Document_->getEditedFlag()) {
        CleanAt_ = 0;
    }
    Document_->AddListener(*this);
}

DeckEdits::~DeckEdits() { Document_->RemoveListener(*this); }

void DeckEdits::DeckChanged(const DeckChange& change) {
    if (OwnChanges_ > 0) {
        return;
    }
    switch (change.kind) {
        case DeckChangeKind::CardsAdded:
        case DeckChangeKind::CardsRemoved:
        case DeckChangeKind::CardsMoved:
        case DeckChangeKind::Replaced:
            Clear();
            CleanAt_.reset();
            break;
        case DeckChangeKind::Texts:
        case DeckChangeKind::Marks:
        case DeckChangeKind::QuestionItems:
        // Not a step of the history, so no undo takes it back.
        case DeckChangeKind::Schedule: CleanAt_.reset(); break;
        case DeckChangeKind::EditedFlag:
            // A save or an open: the deck equals its file as it stands now.
            // Marked edited from elsewhere, it does not.
            if (change.edited) {
                CleanAt_.reset();
            } else {
                CleanAt_ = Done_.size();
            }
            break;
        case DeckChangeKind::Modes:
        case DeckChangeKind::File: break;
    }
}

void DeckEdits::setAvailabilityListener(std::function<void()> listener) { Availability_ = std::move(listener); }

void DeckEdits::TellAvailability() const {
    if (Availability_) {
        Availability_();
    }
}

void DeckEdits::Clear() {
    Done_.clear();
    Undone_.clear();
    TellAvailability();
}

void DeckEdits::Push(std::unique_ptr<Step> step) {
    // The state last saved, if it lay among the steps undone, goes with them.
    if (CleanAt_ && *CleanAt_ > Done_.size()) {
        CleanAt_.reset();
    }
    {
        const Own own(*this);
        const DeckGroup action(*Document_);
        step->Redo(*Document_);
    }
    Done_.push_back(std::move(step));
    Undone_.clear();
    TellAvailability();
}

void DeckEdits::setText(int16_t card, int16_t item, std::string bytes) {
    if (item < 1 || item > 2) {
        throw std::out_of_range("item " + std::to_string(item) + " is not 1 or 2");
    }
    if (bytes.size() > MaxItemBytes) {
        throw DeckError(DeckErrorKind::ItemTooLongToKeep);
    }
    CardSlot before = Document_->getCards(card, 1).front();
    if (before.items[static_cast<std::size_t>(item)] == bytes) {
        return;
    }
    CardSlot after = before;
    after.items[static_cast<std::size_t>(item)] = std::move(bytes);
    Push(std::make_unique<CardStep>(card, std::move(before), std::move(after)));
}

void DeckEdits::ToggleCheck(int16_t card, int16_t item) {
    if (item < 1 || item > 2) {
        throw std::out_of_range("item " + std::to_string(item) + " is not 1 or 2");
    }
    CardSlot before = Document_->getCards(card, 1).front();
    CardSlot after = before;
    auto& mark = after.checks[static_cast<std::size_t>(item)];
    mark = mark != False16 ? False16 : True16;
    Push(std::make_unique<CardStep>(card, std::move(before), std::move(after)));
}

void DeckEdits::ToggleQuestionItem(int16_t card) {
    CardSlot before = Document_->getCards(card, 1).front();
    CardSlot after = before;
    after.questionItem = before.questionItem == 1 ? int16_t{2} : int16_t{1};
    Push(std::make_unique<CardStep>(card, std::move(before), std::move(after)));
}

void DeckEdits::Insert(int at, std::vector<CardSlot> cards) {
    const int total = Document_->getCardData().Total();
    if (at < 1 || at > total + 1) {
        throw std::out_of_range("card " + std::to_string(at) + " is outside 1.." + std::to_string(total + 1));
    }
    if (std::any_of(cards.begin(), cards.end(), [](const CardSlot& card) {
            return std::any_of(card.items.begin(), card.items.end(),
                               [](const std::string& item) { return item.size() > MaxItemBytes; });
        })) {
        throw DeckError(DeckErrorKind::ItemTooLongToKeep);
    }
    if (static_cast<std::size_t>(total) + cards.size() > MaxCards) {
        throw DeckError(DeckErrorKind::AppendPastMaxCards);
    }
    if (!cards.empty()) {
        Push(std::make_unique<InsertStep>(static_cast<int16_t>(at), std::move(cards)));
    }
}

void DeckEdits::Remove(std::vector<int16_t> cards) {
    const auto runs = RunsOf(std::move(cards));
    std::vector<std::pair<int16_t, std::vector<CardSlot>>> removed;
    removed.reserve(runs.size());
    for (const auto& [first, count] : runs) {
        removed.emplace_back(first, Document_->getCards(first, count));
    }
    if (!removed.empty()) {
        Push(std::make_unique<RemoveStep>(std::move(removed)));
    }
}

std::vector<int16_t> DeckEdits::MoveUp(std::vector<int16_t> cards) {
    auto runs = RunsOf(std::move(cards));
    Cards after;
    std::vector<std::pair<int16_t, int16_t>> moving;
    for (const auto& [first, count] : runs) {
        Document_->getCards(first, count);  // checks the cards are in the deck
        const bool moves = first > 1;
        const Cards span = Span(moves ? first - 1 : first, count);
        after.insert(after.end(), span.begin(), span.end());
        if (moves) {
            moving.emplace_back(first, count);
        }
    }
    if (!moving.empty()) {
        Push(std::make_unique<MoveStep>(std::move(moving), int16_t{-1}, after));
    }
    return after;
}

std::vector<int16_t> DeckEdits::MoveDown(std::vector<int16_t> cards) {
    auto runs = RunsOf(std::move(cards));
    const int total = Document_->getCardData().Total();
    Cards after;
    std::vector<std::pair<int16_t, int16_t>> moving;
    for (std::size_t run = runs.size(); run-- > 0;) {
        const auto [first, count] = runs[run];
        Document_->getCards(first, count);
        const bool moves = first + count - 1 < total;
        const Cards span = Span(moves ? first + 1 : first, count);
        after.insert(after.begin(), span.begin(), span.end());
        if (moves) {
            moving.emplace_back(first, count);
        }
    }
    if (!moving.empty()) {
        Push(std::make_unique<MoveStep>(std::move(moving), int16_t{1}, after));
    }
    return after;
}

bool DeckEdits::CanUndo() const { return !Done_.empty(); }

bool DeckEdits::CanRedo() const { return !Undone_.empty(); }

std::vector<int16_t> DeckEdits::Undo() { return Walk(Done_, Undone_, &Step::Undo); }

std::vector<int16_t> DeckEdits::Redo() { return Walk(Undone_, Done_, &Step::Redo); }

// The newest step of from, taken back or made again, moves over to to.
std::vector<int16_t> DeckEdits::Walk(Steps& from, Steps& to, Cards (Step::*apply)(DeckDocument&) const) {
    if (from.empty()) {
        return {};
    }
    Cards touched;
    {
        const Own own(*this);
        const DeckGroup action(*Document_);
        touched = (*from.back().*apply)(*Document_);
        to.push_back(std::move(from.back()));
        from.pop_back();
        if (CleanAt_ == Done_.size()) {
            Document_->setEditedFlag(false);
        }
    }
    TellAvailability();
    return touched;
}

}  // namespace korva
