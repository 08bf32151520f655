// Check marks and the view filter: which cards a cycle shows.
#include "document/DeckIndex.h"
#include "study/CountingMark.h"
#include "study/StudyEngine.h"

namespace korva {

void StudyEngine::setCheck(bool Value, int16_t QuestionItemIndex, int16_t CardIndex) {
    Document_->setCheck(Value, QuestionItemIndex, CardIndex);
}

bool StudyEngine::isCheck(int16_t QuestionItemIndex, int16_t CardIndex) const {
    const auto& marks = getCardData().Checks[DeckIndex(CardIndex, getCardData().Checks.size(), "card")];
    return marks[DeckIndex(QuestionItemIndex, marks.size(), "question item")] != 0;
}

void StudyEngine::setCheckLump(bool Value, int16_t QuestionItemIndex) {
    getTotal();  // a deck past the limit is refused here as everywhere
    Document_->setCheckLump(Value, QuestionItemIndex);
}

void StudyEngine::setViewKind(uint8_t Value) { Document_->setViewKind(Value); }

uint8_t StudyEngine::getViewKind() const { return getCardData().Modes.ViewKind; }

bool StudyEngine::isValidCard(int16_t StartNumber) const {
    if (isDueView(getCardData())) {
        return ReadDuePasses().lastPassing >= StartNumber;
    }
    // A damaged view kind deals all cards rather than claiming none passes.
    if (!isFilteredView(getViewKind())) {
        return true;
    }
    const int16_t total = getTotal();
    for (int card = StartNumber; card <= total; ++card) {
        if (PassesView(getCardData(), card)) {
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
