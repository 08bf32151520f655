// Item texts, question and answer items, reversal and the answer mode.
#include <initializer_list>

#include <gtest/gtest.h>

#include "StudyTestSupport.h"

namespace korva::test {
namespace {

TEST(QuestionAndAnswer, ReversalSwapsTheItemsAndTwiceRestoresThem) {
    RecordingEngine Engine;
    Engine.getCardData() = MakeDeck(2);
    EXPECT_EQ(Engine.getAnswerItemIndex(1), 2);
    Engine.setReversal(1);
    EXPECT_EQ(Engine.getQuestionItemIndex(1), 2);
    EXPECT_EQ(Engine.getAnswerItemIndex(1), 1);
    EXPECT_EQ(Engine.getItem(Engine.getQuestionItemIndex(1), 1), "a1");
    Engine.setReversal(1, false);
    EXPECT_EQ(Engine.getQuestionItemIndex(1), 1);
    EXPECT_EQ(Engine.getQuestionItemIndex(2), 1);
}

TEST(QuestionAndAnswer, DamagedQuestionItemAnswersWithItemOneAndReversesToIt) {
    RecordingEngine Engine;
    Engine.getCardData() = MakeDeck(1);
    for (int16_t Damaged : std::initializer_list<int16_t>{0, 7, -3}) {
        Engine.setQuestionItemIndex(1, Damaged);
        EXPECT_EQ(Engine.getAnswerItemIndex(1), 1);
        Engine.setReversal(1);
        EXPECT_EQ(Engine.getQuestionItemIndex(1), 1);
    }
}

TEST(QuestionAndAnswer, ResetPutsTheCardBackToAskingItemOne) {
    RecordingEngine Engine;
    Engine.getCardData() = MakeDeck(1);
    Engine.setReversal(1);
    Engine.setReversal(1, true);
    Engine.setReversal(1, true);
    EXPECT_EQ(Engine.getQuestionItemIndex(1), 1);
}

TEST(QuestionAndAnswer, AllReversalFlipsEverySlotIncludingZero) {
    RecordingEngine Engine;
    Engine.getCardData() = MakeDeck(5);
    Engine.Start();
    DealCards(Engine, 2);
    Engine.setOpenItem(true);
    Engine.setReversal(3);
    Engine.AllReversal();
    for (int Card = 0; Card <= 5; ++Card) {
        EXPECT_EQ(Engine.getQuestionItemIndex(static_cast<int16_t>(Card)), Card == 3 ? 1 : 2) << Card;
    }
    // The same card stays on show, still revealed, asked the other way.
    EXPECT_EQ(Engine.getShowCardIndex(), 3);
    EXPECT_EQ(Engine.getCardCount(), 3);
    EXPECT_TRUE(Engine.isOpenItem());
}

TEST(QuestionAndAnswer, MarkThatCountsFollowsTheQuestionItem) {
    RecordingEngine Engine;
    Engine.getCardData() = MakeDeck(1);
    Engine.setCheck(true, Engine.getQuestionItemIndex(1), 1);
    Engine.setReversal(1);
    EXPECT_FALSE(Engine.isCheck(Engine.getQuestionItemIndex(1), 1));
    Engine.setReversal(1);
    EXPECT_TRUE(Engine.isCheck(Engine.getQuestionItemIndex(1), 1));
}

TEST(Items, TextsComeBackAsStoredBytesAndIndexesAreChecked) {
    RecordingEngine Engine;
    Engine.getCardData() = MakeDeck(2);
    Engine.getCardData().Items[2][2] = std::string("\x82\xA0\x00\xFF", 4);
    EXPECT_EQ(Engine.getItem(2, 2), std::string("\x82\xA0\x00\xFF", 4));
    EXPECT_EQ(Engine.getItem(0, 1), "");
    EXPECT_THROW(Engine.getItem(3, 1), std::out_of_range);
    EXPECT_THROW(Engine.getItem(1, 3), std::out_of_range);
    EXPECT_THROW(Engine.getItem(1, -1), std::out_of_range);
    EXPECT_THROW(Engine.setQuestionItemIndex(3, 1), std::out_of_range);
    EXPECT_THROW(Engine.getAnswerItemIndex(-1), std::out_of_range);
    EXPECT_THROW(Engine.setReversal(3), std::out_of_range);
}

TEST(Modes, ByteModesAreStoredInTheDeckUnchecked) {
    RecordingEngine Engine;
    Engine.setAnswerMode(2);
    Engine.setTurnMode(9);
    Engine.setViewKind(3);
    EXPECT_EQ(Engine.getAnswerMode(), 2);
    const StudyModes& Modes = Engine.getCardData().Modes;
    EXPECT_EQ(Modes.AnswerMode, 2);
    EXPECT_EQ(Modes.TurnMode, 9);
    EXPECT_EQ(Modes.ViewKind, 3);
}

}  // namespace
}  // namespace korva::test
