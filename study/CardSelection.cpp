// Check marks and the view filter: which cards a cycle shows.
#include "study/CountingMark.h"
#include "document/DeckIndex.h"
#include "study/StudyEngine.h"

namespace korva {

void StudyEngine::setCheck(bool Value, int16_t QuestionItemIndex, int16_t CardIndex) {
    auto& marks = CardData_.Checks[DeckIndex(CardIndex, CardData_.Checks.size(), "card")];
    marks[DeckIndex(QuestionItemIndex, marks.size(), "question item")] = Value ? True16 : False16;
}

bool StudyEngine::isCheck(int16_t QuestionItemIndex, int16_t CardIndex) const {
    const auto& marks = CardData_.Checks[DeckIndex(CardIndex, CardData_.Checks.size(), "card")];
    return marks[DeckIndex(QuestionItemIndex, marks.size(), "question item")] != 0;
}

void StudyEngine::setCheckLump(bool Value, int16_t QuestionItemIndex) {
    const int16_t total = getTotal();
    for (int card = 0; card <= total; ++card) {
        setCheck(Value, QuestionItemIndex, static_cast<int16_t>(card));
    }
}

void StudyEngine::setViewKind(uint8_t Value) { CardData_.Modes.ViewKind = Value; }

uint8_t StudyEngine::getViewKind() const { return CardData_.Modes.ViewKind; }

bool StudyEngine::isValidCard(int16_t StartNumber) const {
    // A damaged view kind deals all cards rather than claiming none passes.
    if (!isFilteredView(getViewKind())) {
        return true;
    }
    const int16_t total = getTotal();
    for (int card = StartNumber; card <= total; ++card) {
        if (PassesView(CardData_, card)) {
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

}  // namespace korva
