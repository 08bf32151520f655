// Item texts, question and answer items, reversal and the answer mode.
#include "document/DeckIndex.h"
#include "study/StudyEngine.h"

namespace korva {

std::string StudyEngine::getItem(int16_t QuestionItemIndex, int16_t CardIndex) const {
    const auto& texts = getCardData().Items[DeckIndex(CardIndex, getCardData().Items.size(), "card")];
    return texts[DeckIndex(QuestionItemIndex, texts.size(), "item")];
}

void StudyEngine::setQuestionItemIndex(int16_t CardIndex, int16_t Value) {
    Document_->setQuestionItemIndex(CardIndex, Value);
}

int16_t StudyEngine::getQuestionItemIndex(int16_t CardIndex) const {
    const auto& questions = getCardData().QuestionItems;
    return questions[DeckIndex(CardIndex, questions.size(), "card")];
}

int16_t StudyEngine::getAnswerItemIndex(int16_t CardIndex) const {
    // Any damaged question item other than 1 leaves item 1 as the answer.
    return getQuestionItemIndex(CardIndex) == 1 ? 2 : 1;
}

void StudyEngine::setOpenItem(bool Value) { OpenItem_ = Value; }

bool StudyEngine::isOpenItem() const { return OpenItem_; }

void StudyEngine::setReversal(int16_t Index, bool Reset) {
    // Reset has no caller in the program; it puts the card back to asking item 1.
    if (Reset) {
        setQuestionItemIndex(Index, 1);
        return;
    }
    setQuestionItemIndex(Index, getQuestionItemIndex(Index) == 1 ? 2 : 1);
}

void StudyEngine::AllReversal() {
    // Slot 0 flips too: it is never shown, but it is saved with the deck.
    getTotal();  // a deck past the limit is refused here as everywhere
    Document_->AllReversal();
}

void StudyEngine::setAnswerMode(uint8_t Mode) { Document_->setAnswerMode(Mode); }

uint8_t StudyEngine::getAnswerMode() const { return getCardData().Modes.AnswerMode; }

}  // namespace korva
