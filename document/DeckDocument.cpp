// The document's listeners and every change of its deck but reading and
// writing files.
#include "document/DeckDocument.h"

#include <algorithm>
#include <stdexcept>
#include <tuple>

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
void DeckDocument::Tell(DeckChangeKind kind, int first, int count, int to) {
    const DeckChange change{kind, first, count, to, EditedFlag_};
    const std::vector<DeckListener*> listeners = Listeners_;
    for (DeckListener* listener : listeners) {
        if (std::find(Listeners_.begin(), Listeners_.end(), listener) != Listeners_.end()) {
            listener->DeckChanged(change);
        }
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
    CardData_ = std::move(deck);
    Tell(DeckChangeKind::Replaced);
}

void DeckDocument::setItemText(int16_t itemIndex, int16_t CardIndex, std::string bytes) {
    auto& texts = CardData_.Items[DeckIndex(CardIndex, CardData_.Items.size(), "card")];
    texts[DeckIndex(itemIndex, texts.size(), "item")] = std::move(bytes);
    Tell(DeckChangeKind::Texts, CardIndex, 1);
}

void DeckDocument::setCheck(bool Value, int16_t QuestionItemIndex, int16_t CardIndex) {
    auto& marks = CardData_.Checks[DeckIndex(CardIndex, CardData_.Checks.size(), "card")];
    marks[DeckIndex(QuestionItemIndex, marks.size(), "question item")] = Value ? True16 : False16;
    Tell(DeckChangeKind::Marks, CardIndex, 1);
}

void DeckDocument::setCheckLump(bool Value, int16_t QuestionItemIndex) {
    const int total = CardData_.Total();
    DeckIndex(total, CardData_.Checks.size(), "card");
    const std::size_t item = DeckIndex(QuestionItemIndex, CardData_.Checks[0].size(), "question item");
    for (int card = 0; card <= total; ++card) {
        CardData_.Checks[static_cast<std::size_t>(card)][item] = Value ? True16 : False16;
    }
    Tell(DeckChangeKind::Marks, 0, total + 1);
}

void DeckDocument::setQuestionItemIndex(int16_t CardIndex, int16_t Value) {
    CardData_.QuestionItems[DeckIndex(CardIndex, CardData_.QuestionItems.size(), "card")] = Value;
    Tell(DeckChangeKind::QuestionItems, CardIndex, 1);
}

void DeckDocument::AllReversal() {
    const int total = CardData_.Total();
    DeckIndex(total, CardData_.QuestionItems.size(), "card");
    for (int card = 0; card <= total; ++card) {
        int16_t& question = CardData_.QuestionItems[static_cast<std::size_t>(card)];
        question = question == 1 ? 2 : 1;
    }
    Tell(DeckChangeKind::QuestionItems, 0, total + 1);
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
    CheckCardRange(first, 1, CardData_.Total() + 1);
    if (count < 0) {
        throw std::out_of_range("a negative number of cards");
    }
    if (CardData_.Total() + count > MaxCards) {
        throw DeckError(DeckErrorKind::AppendPastMaxCards);
    }
    const auto at = static_cast<std::ptrdiff_t>(first);
    const auto n = static_cast<std::size_t>(count);
    CardData_.Items.insert(CardData_.Items.begin() + at, n, CardData::ItemTexts{});
    CardData_.Checks.insert(CardData_.Checks.begin() + at, n, CardData::ItemChecks{False16, False16, False16});
    CardData_.QuestionItems.insert(CardData_.QuestionItems.begin() + at, n, int16_t{1});
    Tell(DeckChangeKind::CardsAdded, first, count);
}

void DeckDocument::RemoveCards(int16_t first, int16_t count) {
    CheckCardRange(first, count, CardData_.Total());
    const auto from = static_cast<std::ptrdiff_t>(first);
    const auto to = from + count;
    CardData_.Items.erase(CardData_.Items.begin() + from, CardData_.Items.begin() + to);
    CardData_.Checks.erase(CardData_.Checks.begin() + from, CardData_.Checks.begin() + to);
    CardData_.QuestionItems.erase(CardData_.QuestionItems.begin() + from, CardData_.QuestionItems.begin() + to);
    Tell(DeckChangeKind::CardsRemoved, first, count);
}

void DeckDocument::MoveCards(int16_t first, int16_t count, int16_t to) {
    CheckCardRange(first, count, CardData_.Total());
    CheckCardRange(to, count, CardData_.Total());
    const auto [from, n, at] =
        std::tuple(static_cast<std::size_t>(first), static_cast<std::size_t>(count), static_cast<std::size_t>(to));
    RotateSlots(CardData_.Items, from, n, at);
    RotateSlots(CardData_.Checks, from, n, at);
    RotateSlots(CardData_.QuestionItems, from, n, at);
    Tell(DeckChangeKind::CardsMoved, first, count, to);
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
