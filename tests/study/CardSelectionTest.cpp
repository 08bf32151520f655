// Check marks, the view filter, Start and NextCard.
#include <initializer_list>

#include <gtest/gtest.h>

#include "LiteralDealer.h"
#include "StudyTestSupport.h"

namespace korva::test {
namespace {

RecordingEngine& Open(RecordingEngine& Engine, CardData Deck, std::initializer_list<int> Checked) {
    for (int Card : Checked) {
        Deck.Checks[static_cast<std::size_t>(Card)][1] = True16;
    }
    Engine.getCardData() = std::move(Deck);
    return Engine;
}

// The view menu: the position steps back so that it is dealt again.
void ChooseView(StudyEngine& Engine, uint8_t Kind) {
    Engine.setViewKind(Kind);
    Engine.setCardCount(static_cast<int16_t>(Engine.getCardCount() - 1));
    Engine.NextCard();
}

void CheckAndNext(StudyEngine& Engine, bool Value) {
    const int16_t Shown = Engine.getShowCardIndex();
    Engine.setCheck(Value, Engine.getQuestionItemIndex(Shown), Shown);
    Engine.NextCard();
}

TEST(CheckMarks, CountForTheQuestionItemAndAnyNonZeroValueIsChecked) {
    RecordingEngine Engine;
    Open(Engine, MakeDeck(3), {});
    Engine.getCardData().Checks[2][2] = 5;
    EXPECT_TRUE(Engine.isCheck(2, 2));
    EXPECT_FALSE(Engine.isCheck(1, 2));
    Engine.setCheck(true, 1, 3);
    EXPECT_EQ(Engine.getCardData().Checks[3][1], True16);
    Engine.setCheck(false, 1, 3);
    EXPECT_EQ(Engine.getCardData().Checks[3][1], False16);
    EXPECT_THROW(Engine.setCheck(true, 3, 1), std::out_of_range);
    EXPECT_THROW(Engine.setCheck(true, -1, 1), std::out_of_range);
    EXPECT_THROW(Engine.isCheck(1, 4), std::out_of_range);
    EXPECT_THROW(Engine.isCheck(1, -1), std::out_of_range);
}

TEST(CheckMarks, BulkMarkCoversSlotZeroForOneQuestionItemOnly) {
    RecordingEngine Engine;
    Open(Engine, MakeDeck(4), {});
    Engine.getCardData().Checks[3][2] = True16;
    Engine.Start();
    Engine.setReversal(2);
    Engine.setCheckLump(true, 1);
    for (int Card = 0; Card <= 4; ++Card) {
        EXPECT_TRUE(Engine.isCheck(1, static_cast<int16_t>(Card))) << Card;
        EXPECT_EQ(Engine.isCheck(2, static_cast<int16_t>(Card)), Card == 3) << Card;
    }
    // Card 2 asks item 2, so under "checked only" it stays out.
    ChooseView(Engine, 1);
    Engine.Start();
    EXPECT_EQ(DealCards(Engine, 4), (std::vector<int16_t>{3, 4, 1, 3}));
    EXPECT_THROW(Engine.setCheckLump(true, 3), std::out_of_range);
}

TEST(ViewFilter, ScanLooksAtCardIndexesFromTheStartNumber) {
    RecordingEngine Engine;
    Open(Engine, MakeDeck(6, 1, 1), {2, 5});
    EXPECT_TRUE(Engine.isValidCard(5));
    EXPECT_FALSE(Engine.isValidCard(6));
    EXPECT_FALSE(Engine.isValidCard(7));
    Engine.setViewKind(2);
    EXPECT_TRUE(Engine.isValidCard(6));
    EXPECT_FALSE(Engine.isValidCard(7));
    Engine.setViewKind(4);
    EXPECT_TRUE(Engine.isValidCard(7));
    Engine.setViewKind(3);  // only from a damaged file: every card passes
    EXPECT_TRUE(Engine.isValidCard(7));
}

TEST(ViewFilter, FurtherCardTestUsesCardIndexesNotPositions) {
    RecordingEngine Engine;
    Open(Engine, MakeDeck(6, 1, 1), {2, 5});
    Engine.Start();
    Engine.setCardCount(3);
    EXPECT_TRUE(Engine.isNextCard());
    Engine.setCardCount(5);
    EXPECT_TRUE(Engine.isNextCard());
    Engine.setCardCount(6);
    EXPECT_FALSE(Engine.isNextCard());
    Engine.setViewKind(4);
    EXPECT_FALSE(Engine.isNextCard());
    Engine.setCardCount(5);
    EXPECT_TRUE(Engine.isNextCard());

    // Shuffled, card 1 alone checked and waiting at position 4.
    RecordingEngine Shuffled;
    Open(Shuffled, MakeDeck(6, 2, 1), {1});
    Shuffled.ResetCardTurn();
    for (int16_t Card : std::initializer_list<int16_t>{4, 2, 6, 1, 3, 5})
        Shuffled.setCardTurn(Card);
    Shuffled.setCardCount(2);
    EXPECT_FALSE(Shuffled.isNextCard());
    Shuffled.NextCard();
    EXPECT_EQ(Shuffled.getShowCardIndex(), 1);
    EXPECT_GE(Shuffled.Screens, 1);  // it got there through a new cycle
    EXPECT_TRUE(Shuffled.Messages.empty());
}

TEST(Dealing, AllCardsDealsEveryPositionWithoutMessage) {
    RecordingEngine Engine;
    Open(Engine, MakeDeck(3), {2});
    Engine.Start();
    std::vector<int16_t> Counts;
    for (int Deal = 0; Deal < 6; ++Deal) {
        Counts.push_back(Engine.getCardCount());
        Engine.setOpenItem(true);
        Engine.NextCard();
        EXPECT_FALSE(Engine.isOpenItem());
    }
    EXPECT_EQ(Counts, (std::vector<int16_t>{1, 2, 3, 1, 2, 3}));
    EXPECT_TRUE(Engine.Messages.empty());
}

TEST(Dealing, CheckedOnlySkipsButCountsTheSkippedPositions) {
    RecordingEngine Engine;
    Open(Engine, MakeDeck(5, 1, 1), {2, 4});
    Engine.Start();
    std::vector<int16_t> Shown, Counts;
    for (int Deal = 0; Deal < 6; ++Deal) {
        Shown.push_back(Engine.getShowCardIndex());
        Counts.push_back(Engine.getCardCount());
        CheckAndNext(Engine, true);
    }
    EXPECT_EQ(Shown, (std::vector<int16_t>{2, 4, 2, 4, 2, 4}));
    EXPECT_EQ(Counts, (std::vector<int16_t>{2, 4, 2, 4, 2, 4}));
}

TEST(Dealing, CheckingTheLastUncheckedCardFallsBackToAllOnce) {
    RecordingEngine Engine;
    Open(Engine, MakeDeck(4, 1, 2), {1, 2, 4});
    Engine.Start();
    ASSERT_EQ(Engine.getShowCardIndex(), 3);
    CheckAndNext(Engine, true);
    ASSERT_EQ(Engine.Messages.size(), 1u);
    EXPECT_EQ(Engine.Messages[0], StudyEngine::NoCardMessage);
    EXPECT_EQ(Engine.getViewKind(), 4);
    EXPECT_EQ(Engine.getCardCount(), 4);
    EXPECT_EQ(Engine.getShowCardIndex(), 4);
    EXPECT_EQ(Engine.Screens, 1);  // the cycle went on, no new one began
}

TEST(Dealing, FallBackAtTheLastPositionBeginsANewCycle) {
    RecordingEngine Engine;
    Open(Engine, MakeDeck(3, 1, 2), {1, 2});
    Engine.Start();
    ASSERT_EQ(Engine.getShowCardIndex(), 3);
    CheckAndNext(Engine, true);
    EXPECT_EQ(Engine.Messages.size(), 1u);
    EXPECT_EQ(Engine.getCardCount(), 1);
    EXPECT_EQ(Engine.getShowCardIndex(), 1);
    EXPECT_EQ(Engine.Screens, 2);
}

TEST(Dealing, OpeningADeckNoCardPassesShowsTheMessageThenPositionOne) {
    RecordingEngine Engine;
    Open(Engine, MakeDeck(5, 2, 1), {});
    Engine.Start();
    EXPECT_EQ(Engine.Messages.size(), 1u);
    EXPECT_EQ(Engine.getViewKind(), 4);
    EXPECT_EQ(Engine.getCardCount(), 1);
    EXPECT_EQ(Engine.Screens, 1);
}

TEST(Dealing, ViewMenuKeepsACardThatPassesAndOtherwiseMovesOn) {
    RecordingEngine Engine;
    Open(Engine, MakeDeck(5), {3});
    Engine.Start();
    DealCards(Engine, 2);
    ASSERT_EQ(Engine.getShowCardIndex(), 3);
    Engine.setOpenItem(true);
    ChooseView(Engine, 1);
    EXPECT_EQ(Engine.getShowCardIndex(), 3);
    EXPECT_FALSE(Engine.isOpenItem());
    ChooseView(Engine, 2);
    EXPECT_EQ(Engine.getShowCardIndex(), 4);
    ChooseView(Engine, 4);
    EXPECT_EQ(Engine.getShowCardIndex(), 4);
    EXPECT_TRUE(Engine.Messages.empty());

    // Nothing checked at all: the message, and the same card stays.
    Engine.setCheckLump(false, 1);
    ChooseView(Engine, 1);
    EXPECT_EQ(Engine.Messages.size(), 1u);
    EXPECT_EQ(Engine.getViewKind(), 4);
    EXPECT_EQ(Engine.getShowCardIndex(), 4);
}

TEST(Dealing, ReversedCheckedCardIsSkippedUnderCheckedOnly) {
    RecordingEngine Engine;
    Open(Engine, MakeDeck(3, 1, 1), {1, 2});
    Engine.Start();
    ASSERT_EQ(Engine.getShowCardIndex(), 1);
    Engine.setReversal(2);
    Engine.NextCard();
    EXPECT_EQ(Engine.getShowCardIndex(), 1);
    EXPECT_EQ(Engine.getCardCount(), 1);
}

TEST(Dealing, DamagedViewKindDealsAllWithoutRewritingIt) {
    RecordingEngine Engine;
    Open(Engine, MakeDeck(3, 1, 3), {});
    Engine.Start();
    EXPECT_EQ(DealCards(Engine, 3), (std::vector<int16_t>{2, 3, 1}));
    EXPECT_TRUE(Engine.Messages.empty());
    EXPECT_EQ(Engine.getViewKind(), 3);
}

TEST(Dealing, NarrowShuffledFilterRunsThroughManyCyclesWithoutNesting) {
    // Card 1 alone passes, and the further-card test gives up on it after
    // position 2, so most cycles end without showing it. The literal rules,
    // which nest a Start per cycle and shuffle each cycle in full, must deal
    // from the same turn lists.
    RecordingEngine Engine;
    LiteralDealer Model;
    Open(Engine, MakeDeck(2000, 2, 1), {1});
    Model.Deck = Engine.getCardData();
    Engine.setRandomSeed(3);
    Model.Random.seed(3);
    Engine.Start();
    Model.Start();
    ASSERT_EQ(TurnList(Engine), Model.Turn);
    int ModelCycles = 0;
    for (int Deal = 0; Deal < 5; ++Deal) {
        const int EngineBefore = Engine.Screens;
        const int ModelBefore = Model.Screens;
        Engine.NextCard();
        Model.NextCard();
        EXPECT_EQ(Engine.getShowCardIndex(), 1);
        EXPECT_EQ(Engine.getCardCount(), Model.CardCount);
        EXPECT_EQ(TurnList(Engine), Model.Turn);
        EXPECT_EQ(Engine.Screens, EngineBefore + 1);  // one redraw however many cycles
        ModelCycles += Model.Screens - ModelBefore;
    }
    EXPECT_GT(ModelCycles, 100);
    EXPECT_TRUE(Engine.Messages.empty());
}

TEST(EmptyDeck, NothingIsDealtAndAppendedCardsStudyAfterStart) {
    for (uint8_t Kind : {1, 2, 4}) {
        RecordingEngine Engine;
        Open(Engine, MakeDeck(0, 2, Kind), {});
        Engine.Start();
        Engine.NextCard();
        EXPECT_EQ(Engine.getCardCount(), 0);
        EXPECT_EQ(Engine.getShowCardIndex(), 0);
        EXPECT_FALSE(Engine.isNextCard());
        EXPECT_TRUE(Engine.Messages.empty());
        EXPECT_EQ(Engine.getViewKind(), Kind);
        EXPECT_EQ(Engine.Screens, 1);

        CardData& Deck = Engine.getCardData();
        Deck.Items.push_back({"", "a", "b"});
        Deck.Checks.push_back({0, True16, 0});
        Deck.QuestionItems.push_back(1);
        Engine.Start();
        EXPECT_EQ(Engine.getCardCount(), 1);
        EXPECT_EQ(Engine.getShowCardIndex(), 1);
        EXPECT_EQ(Engine.Messages.size(), Kind == 2 ? 1u : 0u);
    }
}

TEST(Hooks, StartRedrawsOnceAndNextCardOnlyForANewCycle) {
    RecordingEngine Engine;
    Open(Engine, MakeDeck(2), {});
    Engine.Start();
    EXPECT_EQ(Engine.Screens, 1);
    Engine.NextCard();
    EXPECT_EQ(Engine.Screens, 1);
    Engine.NextCard();
    EXPECT_EQ(Engine.Screens, 2);
}

TEST(Hooks, MessageTextIsTheFallBackNotice) {
    EXPECT_EQ(StudyEngine::NoCardMessage,
              "\xE3\x81\x9D\xE3\x81\xAE\xE6\x9D\xA1\xE4\xBB\xB6\xE3\x82\x92\xE6\xBA\x80\xE3\x81\x9F\xE3\x81"
              "\x99\xE3\x82\xAB\xE3\x83\xBC\xE3\x83\x89\xE3\x81\xAF\xE3\x81\x82\xE3\x82\x8A\xE3\x81\xBE\xE3"
              "\x81\x9B\xE3\x82\x93\xE3\x80\x82\r\n\xE3\x82\xAB\xE3\x83\xBC\xE3\x83\x89\xE8\xA1\xA8\xE7\xA4"
              "\xBA\xE5\xBD\xA2\xE5\xBC\x8F\xE3\x81\xAE\xE8\xA8\xAD\xE5\xAE\x9A\xE3\x82\x92[\xE3\x81\x99\xE3"
              "\x81\xB9\xE3\x81\xA6]\xE3\x81\xAB\xE5\xA4\x89\xE6\x9B\xB4\xE3\x81\x97\xE3\x81\xBE\xE3\x81\x99"
              "\xE3\x80\x82");
}

TEST(DamagedDeck, UnreadableQuestionItemFailsOnlyWhenTheScanReachesIt) {
    // Card 2 asks an item that does not exist. A scan that finds a passing
    // card before it never reads it; a deal of card 2 does.
    RecordingEngine Engine;
    Open(Engine, MakeDeck(3, 1, 1), {1, 3});
    Engine.setQuestionItemIndex(2, 5);
    Engine.Start();
    EXPECT_EQ(Engine.getShowCardIndex(), 1);
    EXPECT_THROW(Engine.NextCard(), std::out_of_range);

    RecordingEngine Early;
    Open(Early, MakeDeck(3, 1, 1), {3});
    Early.setQuestionItemIndex(1, -1);
    EXPECT_THROW(Early.Start(), std::out_of_range);
    Early.setViewKind(4);
    Early.Start();  // all cards never reads a mark
    EXPECT_EQ(Early.getShowCardIndex(), 1);
}

}  // namespace
}  // namespace korva::test
