// Item texts, question and answer items, reversal and the answer mode.
#include <initializer_list>

#include <gtest/gtest.h>

#include "StudyTestSupport.h"

namespace korva::test {
namespace {

TEST(QuestionAndAnswer, ReversalSwapsTheItemsAndTwiceRestoresThem) {
    RecordingEngine engine;
    engine.getDocument().Replace(MakeDeck(2));
    EXPECT_EQ(engine.getAnswerItemIndex(1), 2);
    engine.setReversal(1);
    EXPECT_EQ(engine.getQuestionItemIndex(1), 2);
    EXPECT_EQ(engine.getAnswerItemIndex(1), 1);
    EXPECT_EQ(engine.getItem(engine.getQuestionItemIndex(1), 1), "a1");
    engine.setReversal(1, false);
    EXPECT_EQ(engine.getQuestionItemIndex(1), 1);
    EXPECT_EQ(engine.getQuestionItemIndex(2), 1);
}

TEST(QuestionAndAnswer, DamagedQuestionItemAnswersWithItemOneAndReversesToIt) {
    RecordingEngine engine;
    engine.getDocument().Replace(MakeDeck(1));
    for (int16_t damaged : std::initializer_list<int16_t>{0, 7, -3}) {
        engine.setQuestionItemIndex(1, damaged);
        EXPECT_EQ(engine.getAnswerItemIndex(1), 1);
        engine.setReversal(1);
        EXPECT_EQ(engine.getQuestionItemIndex(1), 1);
    }
}

TEST(QuestionAndAnswer, ResetPutsTheCardBackToAskingItemOne) {
    RecordingEngine engine;
    engine.getDocument().Replace(MakeDeck(1));
    engine.setReversal(1);
    engine.setReversal(1, true);
    engine.setReversal(1, true);
    EXPECT_EQ(engine.getQuestionItemIndex(1), 1);
}

TEST(QuestionAndAnswer, AllReversalFlipsEverySlotIncludingZero) {
    RecordingEngine engine;
    engine.getDocument().Replace(MakeDeck(5));
    engine.Start();
    DealCards(engine, 2);
    engine.setOpenItem(true);
    engine.setReversal(3);
    engine.AllReversal();
    for (int card = 0; card <= 5; ++card) {
        EXPECT_EQ(engine.getQuestionItemIndex(static_cast<int16_t>(card)), card == 3 ? 1 : 2) << card;
    }
    // The same card stays on show, still revealed, asked the other way.
    EXPECT_EQ(engine.getShowCardIndex(), 3);
    EXPECT_EQ(engine.getCardCount(), 3);
    EXPECT_TRUE(engine.isOpenItem());
}

TEST(QuestionAndAnswer, MarkThatCountsFollowsTheQuestionItem) {
    RecordingEngine engine;
    engine.getDocument().Replace(MakeDeck(1));
    engine.setCheck(true, engine.getQuestionItemIndex(1), 1);
    engine.setReversal(1);
    EXPECT_FALSE(engine.isCheck(engine.getQuestionItemIndex(1), 1));
    engine.setReversal(1);
    EXPECT_TRUE(engine.isCheck(engine.getQuestionItemIndex(1), 1));
}

TEST(Items, TextsComeBackAsStoredBytesAndIndexesAreChecked) {
    RecordingEngine engine;
    engine.getDocument().Replace(MakeDeck(2));
    engine.getDocument().setItemText(2, 2, std::string("\x82\xA0\x00\xFF", 4));
    EXPECT_EQ(engine.getItem(2, 2), std::string("\x82\xA0\x00\xFF", 4));
    EXPECT_EQ(engine.getItem(0, 1), "");
    EXPECT_THROW(engine.getItem(3, 1), std::out_of_range);
    EXPECT_THROW(engine.getItem(1, 3), std::out_of_range);
    EXPECT_THROW(engine.getItem(1, -1), std::out_of_range);
    EXPECT_THROW(engine.setQuestionItemIndex(3, 1), std::out_of_range);
    EXPECT_THROW(engine.getAnswerItemIndex(-1), std::out_of_range);
    EXPECT_THROW(engine.setReversal(3), std::out_of_range);
}

TEST(Modes, ByteModesAreStoredInTheDeckUnchecked) {
    RecordingEngine engine;
    engine.setAnswerMode(AnswerTest);
    engine.setTurnMode(9);
    engine.setViewKind(3);
    EXPECT_EQ(engine.getAnswerMode(), AnswerTest);
    const StudyModes& modes = engine.getCardData().Modes;
    EXPECT_EQ(modes.AnswerMode, AnswerTest);
    EXPECT_EQ(modes.TurnMode, 9);
    EXPECT_EQ(modes.ViewKind, 3);
}

}  // namespace
}  // namespace korva::test
