// Check marks and the view filter: which cards a cycle shows.
#include <algorithm>

#include "study/DeckIndex.h"
#include "study/StudyEngine.h"

namespace korva {

namespace {

bool isFiltered(uint8_t ViewKind) { return ViewKind == 1 || ViewKind == 2; }

}  // namespace

void StudyEngine::setCheck(bool Value, int16_t QuestionItemIndex, int16_t CardIndex) {
    auto& Marks = CardData_.Checks[DeckIndex(CardIndex, CardData_.Checks.size(), "card")];
    Marks[DeckIndex(QuestionItemIndex, Marks.size(), "question item")] = Value ? True16 : False16;
}

bool StudyEngine::isCheck(int16_t QuestionItemIndex, int16_t CardIndex) const {
    const auto& Marks = CardData_.Checks[DeckIndex(CardIndex, CardData_.Checks.size(), "card")];
    return Marks[DeckIndex(QuestionItemIndex, Marks.size(), "question item")] != 0;
}

void StudyEngine::setCheckLump(bool Value, int16_t QuestionItemIndex) {
    const int16_t Total = getTotal();
    for (int Card = 0; Card <= Total; ++Card) {
        setCheck(Value, QuestionItemIndex, static_cast<int16_t>(Card));
    }
}

void StudyEngine::setViewKind(uint8_t Value) { CardData_.Modes.ViewKind = Value; }

uint8_t StudyEngine::getViewKind() const { return CardData_.Modes.ViewKind; }

bool StudyEngine::PassesFilter(int16_t CardIndex) const {
    const bool Checked = isCheck(getQuestionItemIndex(CardIndex), CardIndex);
    return getViewKind() == 1 ? Checked : !Checked;
}

bool StudyEngine::isValidCard(int16_t StartNumber) const {
    // A damaged view kind deals all cards rather than claiming none passes.
    if (!isFiltered(getViewKind())) {
        return true;
    }
    const int16_t Total = getTotal();
    for (int Card = StartNumber; Card <= Total; ++Card) {
        if (PassesFilter(static_cast<int16_t>(Card))) {
            return true;
        }
    }
    return false;
}

bool StudyEngine::isNextCard() const {
    if (getTotal() == getCardCount()) {
        return false;
    }
    return isValidCard(getCardCount());
}

StudyEngine::FilterFacts StudyEngine::ReadFilterFacts() const {
    FilterFacts Facts;
    Facts.Filtered = isFiltered(getViewKind());
    if (!Facts.Filtered) {
        return Facts;
    }
    const auto& Questions = CardData_.QuestionItems;
    const auto& Checks = CardData_.Checks;
    for (int Card = getTotal(); Card >= 0; --Card) {
        const auto Slot = static_cast<std::size_t>(Card);
        const bool Readable = Slot < Questions.size() && Slot < Checks.size() &&
                              Questions[Slot] >= 0 && Questions[Slot] <= 2;
        if (!Readable) {
            Facts.LastUnreadable = std::max(Facts.LastUnreadable, Card);
        } else if (Facts.LastPassing < 0 && PassesFilter(static_cast<int16_t>(Card))) {
            Facts.LastPassing = Card;
        }
    }
    return Facts;
}

bool StudyEngine::isValidCardWith(const FilterFacts& Facts, int16_t StartNumber) const {
    if (!Facts.Filtered) {
        return true;
    }
    // A card whose mark cannot be read fails the plain scan when the scan
    // reaches it; only the plain scan knows whether it does.
    if (Facts.LastUnreadable >= StartNumber || StartNumber < 0) {
        return isValidCard(StartNumber);
    }
    return Facts.LastPassing >= StartNumber;
}

bool StudyEngine::isNextCardWith(const FilterFacts& Facts) const {
    if (getTotal() == getCardCount()) {
        return false;
    }
    return isValidCardWith(Facts, getCardCount());
}

}  // namespace korva
