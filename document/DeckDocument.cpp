// The document's listeners and every change of its deck but reading and
// writing files.
#include "document/DeckDocument.h"

#include <algorithm>
#include <stdexcept>
#include <tuple>
#include <utility>

#include "deck/DeckError.h"
#include "document/DeckIndex.h"

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
    CardData_ = std::move(deck);
    Tell(DeckChangeKind::Replaced);
}

void DeckDocument::setItemText(int16_t itemIndex, int16_t CardIndex, std::string bytes) {
    auto& texts = CardData_.Items[DeckIndex(CardIndex, CardData_.Items.size(), "card")];
    std::string& text = texts[DeckIndex(itemIndex, texts.size(), "item")];
    const bool edits = text != bytes;
    text = std::move(bytes);
    TellChange(edits, DeckChangeKind::Texts, CardIndex, 1);
}

void DeckDocument::setCheck(bool Value, int16_t QuestionItemIndex, int16_t CardIndex) {
    auto& marks = CardData_.Checks[DeckIndex(CardIndex, CardData_.Checks.size(), "card")];
    marks[DeckIndex(QuestionItemIndex, marks.size(), "question item")] = Value ? True16 : False16;
    // A check is the user's verdict on the card even where the mark stays.
    TellChange(true, DeckChangeKind::Marks, CardIndex, 1);
}

void DeckDocument::setCheckLump(bool Value, int16_t QuestionItemIndex) {
    const int total = CardData_.Total();
    DeckIndex(total, CardData_.Checks.size(), "card");
    const std::size_t item = DeckIndex(QuestionItemIndex, CardData_.Checks[0].size(), "question item");
    const int16_t mark = Value ? True16 : False16;
    bool changed = false;
    for (int card = 0; card <= total; ++card) {
        int16_t& held = CardData_.Checks[static_cast<std::size_t>(card)][item];
        changed = changed || (card > 0 && held != mark);
        held = mark;
    }
    // Only the cards the user sees count as an edit: slot 0 is never shown.
    TellChange(changed, DeckChangeKind::Marks, 0, total + 1);
}

void DeckDocument::setQuestionItemIndex(int16_t CardIndex, int16_t Value) {
    int16_t& asked = CardData_.QuestionItems[DeckIndex(CardIndex, CardData_.QuestionItems.size(), "card")];
    const bool edits = asked != Value;
    asked = Value;
    TellChange(edits, DeckChangeKind::QuestionItems, CardIndex, 1);
}

void DeckDocument::AllReversal() {
    const int total = CardData_.Total();
    DeckIndex(total, CardData_.QuestionItems.size(), "card");
    for (int card = 0; card <= total; ++card) {
        int16_t& question = CardData_.QuestionItems[static_cast<std::size_t>(card)];
        question = question == 1 ? 2 : 1;
    }
    TellChange(total > 0, DeckChangeKind::QuestionItems, 0, total + 1);
}

// Inserting, removing and moving keep the three arrays in step, so each must
// hold every card.
void DeckDocument::CheckCardRange(int first, int count, int extent) const {
    const auto extentOfAll = static_cast<std::size_t>(CardData_.Total()) + 1;
    if (CardData_.Checks.size() != extentOfAll || CardData_.QuestionItems.size() != extentOfAll) {
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
    CheckCardRange(first, 1, CardData_.Total() + 1);
    if (static_cast<std::size_t>(CardData_.Total()) + cards.size() > MaxCards) {
        throw DeckError(DeckErrorKind::AppendPastMaxCards);
    }
    const auto at = static_cast<std::ptrdiff_t>(first);
    const auto n = static_cast<std::ptrdiff_t>(cards.size());
    TellChanging(DeckChangeKind::CardsAdded, first, static_cast<int>(n));
    CardData_.Items.insert(CardData_.Items.begin() + at, cards.size(), CardData::ItemTexts{});
    CardData_.Checks.insert(CardData_.Checks.begin() + at, cards.size(), CardData::ItemChecks{});
    CardData_.QuestionItems.insert(CardData_.QuestionItems.begin() + at, cards.size(), int16_t{1});
    for (std::ptrdiff_t i = 0; i < n; ++i) {
        auto& card = cards[static_cast<std::size_t>(i)];
        CardData_.Items[static_cast<std::size_t>(at + i)] = std::move(card.items);
        CardData_.Checks[static_cast<std::size_t>(at + i)] = card.checks;
        CardData_.QuestionItems[static_cast<std::size_t>(at + i)] = card.questionItem;
    }
    TellChange(n > 0, DeckChangeKind::CardsAdded, first, static_cast<int>(n));
}

void DeckDocument::setCard(int16_t CardIndex, CardSlot card) {
    const std::size_t at = DeckIndex(CardIndex, CardData_.Items.size(), "card");
    CheckCardRange(CardIndex, 1, CardData_.Total());
    const bool texts = CardData_.Items[at] != card.items;
    const bool marks = CardData_.Checks[at] != card.checks;
    const bool asked = CardData_.QuestionItems[at] != card.questionItem;
    CardData_.Items[at] = std::move(card.items);
    CardData_.Checks[at] = card.checks;
    CardData_.QuestionItems[at] = card.questionItem;
    for (const auto& [changed, kind] :
         {std::pair{texts, DeckChangeKind::Texts}, std::pair{marks, DeckChangeKind::Marks},
          std::pair{asked, DeckChangeKind::QuestionItems}}) {
        if (changed) {
            TellChange(true, kind, CardIndex, 1);
        }
    }
}

std::vector<CardSlot> DeckDocument::getCards(int16_t first, int16_t count) const {
    CheckCardRange(first, count, CardData_.Total());
    std::vector<CardSlot> cards;
    cards.reserve(static_cast<std::size_t>(count));
    for (int card = first; card < first + count; ++card) {
        const auto at = static_cast<std::size_t>(card);
        cards.push_back({CardData_.Items[at], CardData_.Checks[at], CardData_.QuestionItems[at]});
    }
    return cards;
}

void DeckDocument::RemoveCards(int16_t first, int16_t count) {
    CheckCardRange(first, count, CardData_.Total());
    const auto from = static_cast<std::ptrdiff_t>(first);
    const auto to = from + count;
    TellChanging(DeckChangeKind::CardsRemoved, first, count);
    CardData_.Items.erase(CardData_.Items.begin() + from, CardData_.Items.begin() + to);
    CardData_.Checks.erase(CardData_.Checks.begin() + from, CardData_.Checks.begin() + to);
    CardData_.QuestionItems.erase(CardData_.QuestionItems.begin() + from, CardData_.QuestionItems.begin() + to);
    TellChange(count > 0, DeckChangeKind::CardsRemoved, first, count);
}

void DeckDocument::MoveCards(int16_t first, int16_t count, int16_t to) {
    CheckCardRange(first, count, CardData_.Total());
    CheckCardRange(to, count, CardData_.Total());
    const auto [from, n, at] =
        std::tuple(static_cast<std::size_t>(first), static_cast<std::size_t>(count), static_cast<std::size_t>(to));
    TellChanging(DeckChangeKind::CardsMoved, first, count, to);
    RotateSlots(CardData_.Items, from, n, at);
    RotateSlots(CardData_.Checks, from, n, at);
    RotateSlots(CardData_.QuestionItems, from, n, at);
    TellChange(count > 0 && first != to, DeckChangeKind::CardsMoved, first, count, to);
}

void DeckDocument::setTurnMode(uint8_t Mode) {
    CardData_.Modes.TurnMode = Mode;
    Tell(DeckChangeKind::Modes);
}

void DeckDocument::setAnswerMode(uint8_t Mode) {
    CardData_.Modes.AnswerMode = Mode;
    Tell(DeckChangeKind::Modes);
}

void DeckDocument::setViewKind(uint8_t Value) {
    CardData_.Modes.ViewKind = Value;
    Tell(DeckChangeKind::Modes);
}

}  // namespace korva
