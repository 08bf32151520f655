// The document's listeners and every change of its deck but reading and
// writing files.
#include "document/DeckDocument.h"

#include <algorithm>
#include <stdexcept>
#include <tuple>
#include <utility>

#include "deck/DeckError.h"
#include "document/DeckIndex.h"
#include "memory/MemoryKeeping.h"

namespace korva {

namespace {

template <typename Cards>
void RotateSlots(Cards& cards, std::size_t first, std::size_t count, std::size_t to) {
    const auto at = [&cards](std::size_t index) {
        return cards.begin() + static_cast<std::ptrdiff_t>(index);
    };
    if (to < first) {
        std::rotate(at(to), at(first), at(first + count));
    } else {
        std::rotate(at(first), at(first + count), at(to + count));
    }
}

}  // namespace

// Ids 1..total in card order, for a deck read from a file that keeps none;
// the texts and card 0 stay exactly as read.
KorvaDeck WithCardIds(CardData cards) {
    KorvaDeck deck;
    deck.cards = std::move(cards);
    deck.cardIds.assign(deck.cards.Items.size(), 0);
    for (std::size_t card = 1; card < deck.cardIds.size(); ++card) {
        deck.cardIds[card] = NewCardId(deck);
    }
    return deck;
}

DeckDocument::DeckDocument(CardData deck) : Deck_(WithCardIds(std::move(deck))) {}

void DeckDocument::AddListener(DeckListener& listener) { Listeners_.push_back(&listener); }

void DeckDocument::RemoveListener(DeckListener& listener) { std::erase(Listeners_, &listener); }

// A listener may take itself off while it is told, so the walk goes over a
// copy of the list.
void DeckDocument::TellEach(const std::function<void(DeckListener&)>& tell) {
    const std::vector<DeckListener*> listeners = Listeners_;
    for (DeckListener* listener : listeners) {
        if (std::find(Listeners_.begin(), Listeners_.end(), listener) != Listeners_.end()) {
            tell(*listener);
        }
    }
}

void DeckDocument::Tell(DeckChangeKind kind, int first, int count, int to) {
    TellOnly(kind, first, count, to);
    EndAction();
}

void DeckDocument::TellOnly(DeckChangeKind kind, int first, int count, int to) {
    ++Revision_;
    const DeckChange change{kind, first, count, to, EditedFlag_};
    TellEach([&change](DeckListener& listener) { listener.DeckChanged(change); });
}

void DeckDocument::TellChanging(DeckChangeKind kind, int first, int count, int to) {
    const DeckChange change{kind, first, count, to, EditedFlag_};
    TellEach([&change](DeckListener& listener) { listener.DeckChanging(change); });
}

// A change told outside any group is an action of its own.
void DeckDocument::EndAction() {
    if (GroupDepth_ == 0) {
        TellEach([](DeckListener& listener) { listener.DeckActionEnded(); });
    }
}

// A change of the cards' data leaves the deck unlike its file; the flag is
// told too when it turns, so a view showing it hears of it once. A call that
// changed nothing is still told, as it always was, but edits nothing.
void DeckDocument::TellChange(bool edits, DeckChangeKind kind, int first, int count, int to) {
    const bool turned = edits && !EditedFlag_;
    EditedFlag_ = EditedFlag_ || edits;
    TellOnly(kind, first, count, to);
    if (turned) {
        TellOnly(DeckChangeKind::EditedFlag);
    }
    EndAction();
}

void DeckDocument::BeginGroup() {
    if (GroupDepth_++ == 0) {
        TellEach([](DeckListener& listener) { listener.DeckGroupBegun(); });
    }
}

void DeckDocument::EndGroup() {
    if (--GroupDepth_ == 0) {
        TellEach([](DeckListener& listener) { listener.DeckGroupEnded(); });
        EndAction();
    }
}

void DeckDocument::setFilePath(const QString& Path) {
    FilePath_ = Path;
    Tell(DeckChangeKind::File);
}

void DeckDocument::setFileName(const QString& FileName) {
    FileName_ = FileName;
    Tell(DeckChangeKind::File);
}

void DeckDocument::setEditedFlag(bool Value) {
    EditedFlag_ = Value;
    Tell(DeckChangeKind::EditedFlag);
}

void DeckDocument::Replace(CardData deck) {
    TellChanging(DeckChangeKind::Replaced);
    Deck_ = WithCardIds(std::move(deck));
    Snapshot_.reset();
    Tell(DeckChangeKind::Replaced);
}

void DeckDocument::setItemText(int16_t itemIndex, int16_t CardIndex, std::string bytes) {
    auto& texts = Deck_.cards.Items[DeckIndex(CardIndex, Deck_.cards.Items.size(), "card")];
    std::string& text = texts[DeckIndex(itemIndex, texts.size(), "item")];
    const bool edits = text != bytes;
    text = std::move(bytes);
    TellChange(edits, DeckChangeKind::Texts, CardIndex, 1);
}

void DeckDocument::setCheck(bool Value, int16_t QuestionItemIndex, int16_t CardIndex) {
    auto& marks = Deck_.cards.Checks[DeckIndex(CardIndex, Deck_.cards.Checks.size(), "card")];
    marks[DeckIndex(QuestionItemIndex, marks.size(), "question item")] = Value ? True16 : False16;
    // A check is the user's verdict on the card even where the mark stays.
    TellChange(true, DeckChangeKind::Marks, CardIndex, 1);
}

void DeckDocument::Review(bool Value, int16_t QuestionItemIndex, int16_t CardIndex, int8_t judged) {
    const auto card = DeckIndex(CardIndex, Deck_.cardIds.size(), "card");
    const auto& marks = Deck_.cards.Checks[DeckIndex(CardIndex, Deck_.cards.Checks.size(), "card")];
    DeckIndex(QuestionItemIndex, marks.size(), "question item");
    Deck_.record.push_back({.timeMs = Now(),
                            .cardId = Deck_.cardIds[card],
                            .item = QuestionItemIndex,
                            .checked = Value,
                            .style = Deck_.cards.Modes.AnswerMode == AnswerTest ? AnswerTest : AnswerNormal,
                            .judged = judged});
    // Before the mark is told, so that a view counting what is due reads
    // the memory this answer leaves.
    ApplyNextRow(Deck_);
    setCheck(Value, QuestionItemIndex, CardIndex);
}

void DeckDocument::setScheduleSettings(ScheduleSettings settings) {
    const ScheduleSettings before = Deck_.settings;
    SetScheduleSettings(Deck_, settings);
    TellChange(Deck_.settings != before, DeckChangeKind::Schedule);
}

void DeckDocument::setCheckLump(bool Value, int16_t QuestionItemIndex) {
    const int total = Deck_.cards.Total();
    DeckIndex(total, Deck_.cards.Checks.size(), "card");
    const std::size_t item = DeckIndex(QuestionItemIndex, Deck_.cards.Checks[0].size(), "question item");
    const int16_t mark = Value ? True16 : False16;
    bool changed = false;
    for (int card = 0; card <= total; ++card) {
        int16_t& held = Deck_.cards.Checks[static_cast<std::size_t>(card)][item];
        changed = changed || (card > 0 && held != mark);
        held = mark;
    }
    // Only the cards the user sees count as an edit: slot 0 is never shown.
    TellChange(changed, DeckChangeKind::Marks, 0, total + 1);
}

void DeckDocument::setQuestionItemIndex(int16_t CardIndex, int16_t Value) {
    int16_t& asked = Deck_.cards.QuestionItems[DeckIndex(CardIndex, Deck_.cards.QuestionItems.size(), "card")];
    const bool edits = asked != Value;
    asked = Value;
    TellChange(edits, DeckChangeKind::QuestionItems, CardIndex, 1);
}

void DeckDocument::AllReversal() {
    const int total = Deck_.cards.Total();
    DeckIndex(total, Deck_.cards.QuestionItems.size(), "card");
    for (int card = 0; card <= total; ++card) {
        int16_t& question = Deck_.cards.QuestionItems[static_cast<std::size_t>(card)];
        question = question == 1 ? 2 : 1;
    }
    TellChange(total > 0, DeckChangeKind::QuestionItems, 0, total + 1);
}

// Inserting, removing and moving keep the three arrays in step, so each must
// hold every card.
void DeckDocument::CheckCardRange(int first, int count, int extent) const {
    const auto extentOfAll = static_cast<std::size_t>(Deck_.cards.Total()) + 1;
    if (Deck_.cards.Checks.size() != extentOfAll || Deck_.cards.QuestionItems.size() != extentOfAll ||
        Deck_.cardIds.size() != extentOfAll) {
        throw std::out_of_range("the deck's arrays do not hold the same cards");
    }
    if (count < 0 || first < 1 || first + count > extent + 1) {
        throw std::out_of_range("cards " + std::to_string(first) + ".." + std::to_string(first + count - 1) +
                                " are outside 1.." + std::to_string(extent));
    }
}

void DeckDocument::InsertCards(int16_t first, int16_t count) {
    if (count < 0) {
        throw std::out_of_range("a negative number of cards");
    }
    InsertCards(first, std::vector<CardSlot>(static_cast<std::size_t>(count)));
}

void DeckDocument::InsertCards(int16_t first, std::vector<CardSlot> cards) {
    CheckCardRange(first, 1, Deck_.cards.Total() + 1);
    if (static_cast<std::size_t>(Deck_.cards.Total()) + cards.size() > MaxCards) {
        throw DeckError(DeckErrorKind::AppendPastMaxCards);
    }
    const auto at = static_cast<std::ptrdiff_t>(first);
    const auto n = static_cast<std::ptrdiff_t>(cards.size());
    TellChanging(DeckChangeKind::CardsAdded, first, static_cast<int>(n));
    Deck_.cards.Items.insert(Deck_.cards.Items.begin() + at, cards.size(), CardData::ItemTexts{});
    Deck_.cards.Checks.insert(Deck_.cards.Checks.begin() + at, cards.size(), CardData::ItemChecks{});
    Deck_.cards.QuestionItems.insert(Deck_.cards.QuestionItems.begin() + at, cards.size(), int16_t{1});
    Deck_.cardIds.insert(Deck_.cardIds.begin() + at, cards.size(), int64_t{0});
    for (std::ptrdiff_t i = 0; i < n; ++i) {
        auto& card = cards[static_cast<std::size_t>(i)];
        Deck_.cards.Items[static_cast<std::size_t>(at + i)] = std::move(card.items);
        Deck_.cards.Checks[static_cast<std::size_t>(at + i)] = card.checks;
        Deck_.cards.QuestionItems[static_cast<std::size_t>(at + i)] = card.questionItem;
        Deck_.cardIds[static_cast<std::size_t>(at + i)] = NewCardId(Deck_);
    }
    TellChange(n > 0, DeckChangeKind::CardsAdded, first, static_cast<int>(n));
}

void DeckDocument::setCard(int16_t CardIndex, CardSlot card) {
    const std::size_t at = DeckIndex(CardIndex, Deck_.cards.Items.size(), "card");
    CheckCardRange(CardIndex, 1, Deck_.cards.Total());
    const bool texts = Deck_.cards.Items[at] != card.items;
    const bool marks = Deck_.cards.Checks[at] != card.checks;
    const bool asked = Deck_.cards.QuestionItems[at] != card.questionItem;
    Deck_.cards.Items[at] = std::move(card.items);
    Deck_.cards.Checks[at] = card.checks;
    Deck_.cards.QuestionItems[at] = card.questionItem;
    for (const auto& [changed, kind] :
         {std::pair{texts, DeckChangeKind::Texts}, std::pair{marks, DeckChangeKind::Marks},
          std::pair{asked, DeckChangeKind::QuestionItems}}) {
        if (changed) {
            TellChange(true, kind, CardIndex, 1);
        }
    }
}

std::vector<CardSlot> DeckDocument::getCards(int16_t first, int16_t count) const {
    CheckCardRange(first, count, Deck_.cards.Total());
    std::vector<CardSlot> cards;
    cards.reserve(static_cast<std::size_t>(count));
    for (int card = first; card < first + count; ++card) {
        const auto at = static_cast<std::size_t>(card);
        cards.push_back({Deck_.cards.Items[at], Deck_.cards.Checks[at], Deck_.cards.QuestionItems[at]});
    }
    return cards;
}

void DeckDocument::RemoveCards(int16_t first, int16_t count) {
    CheckCardRange(first, count, Deck_.cards.Total());
    const auto from = static_cast<std::ptrdiff_t>(first);
    const auto to = from + count;
    TellChanging(DeckChangeKind::CardsRemoved, first, count);
    Deck_.cards.Items.erase(Deck_.cards.Items.begin() + from, Deck_.cards.Items.begin() + to);
    Deck_.cards.Checks.erase(Deck_.cards.Checks.begin() + from, Deck_.cards.Checks.begin() + to);
    Deck_.cards.QuestionItems.erase(Deck_.cards.QuestionItems.begin() + from, Deck_.cards.QuestionItems.begin() + to);
    Deck_.cardIds.erase(Deck_.cardIds.begin() + from, Deck_.cardIds.begin() + to);
    TellChange(count > 0, DeckChangeKind::CardsRemoved, first, count);
}

void DeckDocument::MoveCards(int16_t first, int16_t count, int16_t to) {
    CheckCardRange(first, count, Deck_.cards.Total());
    CheckCardRange(to, count, Deck_.cards.Total());
    const auto [from, n, at] =
        std::tuple(static_cast<std::size_t>(first), static_cast<std::size_t>(count), static_cast<std::size_t>(to));
    TellChanging(DeckChangeKind::CardsMoved, first, count, to);
    RotateSlots(Deck_.cards.Items, from, n, at);
    RotateSlots(Deck_.cards.Checks, from, n, at);
    RotateSlots(Deck_.cards.QuestionItems, from, n, at);
    RotateSlots(Deck_.cardIds, from, n, at);
    TellChange(count > 0 && first != to, DeckChangeKind::CardsMoved, first, count, to);
}

void DeckDocument::setTurnMode(uint8_t Mode) {
    Deck_.cards.Modes.TurnMode = Mode;
    Tell(DeckChangeKind::Modes);
}

void DeckDocument::setAnswerMode(uint8_t Mode) {
    Deck_.cards.Modes.AnswerMode = Mode;
    Tell(DeckChangeKind::Modes);
}

void DeckDocument::setViewKind(uint8_t Value) {
    Deck_.cards.Modes.ViewKind = Value;
    Tell(DeckChangeKind::Modes);
}

}  // namespace korva
