// Check marks, the view filter, Start and NextCard.
#include <initializer_list>

#include <gtest/gtest.h>

#include "LiteralDealer.h"
#include "StudyTestSupport.h"

namespace korva::test {
namespace {

RecordingEngine& Open(RecordingEngine& engine, CardData deck, std::initializer_list<int> checked) {
    for (int card : checked) {
        deck.Checks[static_cast<std::size_t>(card)][1] = True16;
    }
    engine.getDocument().Replace(std::move(deck));
    return engine;
}

// The view menu: the position steps back so that it is dealt again.
void ChooseView(StudyEngine& engine, uint8_t kind) {
    engine.setViewKind(kind);
    engine.setCardCount(static_cast<int16_t>(engine.getCardCount() - 1));
    engine.NextCard();
}

void CheckAndNext(StudyEngine& engine, bool Value) {
    const int16_t shown = engine.getShowCardIndex();
    engine.setCheck(Value, engine.getQuestionItemIndex(shown), shown);
    engine.NextCard();
}

TEST(CheckMarks, CountForTheQuestionItemAndAnyNonZeroValueIsChecked) {
    RecordingEngine engine;
    Open(engine, MakeDeck(3), {});
    EditDeck(engine, [](CardData& deck) { deck.Checks[2][2] = 5; });
    EXPECT_TRUE(engine.isCheck(2, 2));
    EXPECT_FALSE(engine.isCheck(1, 2));
    engine.setCheck(true, 1, 3);
    EXPECT_EQ(engine.getCardData().Checks[3][1], True16);
    engine.setCheck(false, 1, 3);
    EXPECT_EQ(engine.getCardData().Checks[3][1], False16);
    EXPECT_THROW(engine.setCheck(true, 3, 1), std::out_of_range);
    EXPECT_THROW(engine.setCheck(true, -1, 1), std::out_of_range);
    EXPECT_THROW(engine.isCheck(1, 4), std::out_of_range);
    EXPECT_THROW(engine.isCheck(1, -1), std::out_of_range);
}

TEST(CheckMarks, BulkMarkCoversSlotZeroForOneQuestionItemOnly) {
    RecordingEngine engine;
    Open(engine, MakeDeck(4), {});
    EditDeck(engine, [](CardData& deck) { deck.Checks[3][2] = True16; });
    engine.Start();
    engine.setReversal(2);
    engine.setCheckLump(true, 1);
    for (int card = 0; card <= 4; ++card) {
        EXPECT_TRUE(engine.isCheck(1, static_cast<int16_t>(card))) << card;
        EXPECT_EQ(engine.isCheck(2, static_cast<int16_t>(card)), card == 3) << card;
    }
    // Card 2 asks item 2, so under "checked only" it stays out.
    ChooseView(engine, 1);
    engine.Start();
    EXPECT_EQ(DealCards(engine, 4), (std::vector<int16_t>{3, 4, 1, 3}));
    EXPECT_THROW(engine.setCheckLump(true, 3), std::out_of_range);
}

TEST(ViewFilter, ScanLooksAtCardIndexesFromTheStartNumber) {
    RecordingEngine engine;
    Open(engine, MakeDeck(6, TurnNormal, ViewChecked), {2, 5});
    EXPECT_TRUE(engine.isValidCard(5));
    EXPECT_FALSE(engine.isValidCard(6));
    EXPECT_FALSE(engine.isValidCard(7));
    engine.setViewKind(ViewUnchecked);
    EXPECT_TRUE(engine.isValidCard(6));
    EXPECT_FALSE(engine.isValidCard(7));
    engine.setViewKind(ViewAll);
    EXPECT_TRUE(engine.isValidCard(7));
    engine.setViewKind(3);  // only from a damaged file: every card passes
    EXPECT_TRUE(engine.isValidCard(7));
}

TEST(ViewFilter, FurtherCardTestUsesCardIndexesNotPositions) {
    RecordingEngine engine;
    Open(engine, MakeDeck(6, TurnNormal, ViewChecked), {2, 5});
    engine.Start();
    engine.setCardCount(3);
    EXPECT_TRUE(engine.isNextCard());
    engine.setCardCount(5);
    EXPECT_TRUE(engine.isNextCard());
    engine.setCardCount(6);
    EXPECT_FALSE(engine.isNextCard());
    engine.setViewKind(ViewAll);
    EXPECT_FALSE(engine.isNextCard());
    engine.setCardCount(5);
    EXPECT_TRUE(engine.isNextCard());

    // Shuffled, card 1 alone checked and waiting at position 4.
    RecordingEngine shuffled;
    Open(shuffled, MakeDeck(6, TurnShuffle, ViewChecked), {1});
    shuffled.ResetCardTurn();
    for (int16_t card : std::initializer_list<int16_t>{4, 2, 6, 1, 3, 5}) {
        shuffled.setCardTurn(card);
    }
    shuffled.setCardCount(2);
    EXPECT_FALSE(shuffled.isNextCard());
    shuffled.NextCard();
    EXPECT_EQ(shuffled.getShowCardIndex(), 1);
    EXPECT_GE(shuffled.screens, 1);  // it got there through a new cycle
    EXPECT_TRUE(shuffled.messages.empty());
}

TEST(Dealing, AllCardsDealsEveryPositionWithoutMessage) {
    RecordingEngine engine;
    Open(engine, MakeDeck(3), {2});
    engine.Start();
    std::vector<int16_t> counts;
    for (int deal = 0; deal < 6; ++deal) {
        counts.push_back(engine.getCardCount());
        engine.setOpenItem(true);
        engine.NextCard();
        EXPECT_FALSE(engine.isOpenItem());
    }
    EXPECT_EQ(counts, (std::vector<int16_t>{1, 2, 3, 1, 2, 3}));
    EXPECT_TRUE(engine.messages.empty());
}

TEST(Dealing, CheckedOnlySkipsButCountsTheSkippedPositions) {
    RecordingEngine engine;
    Open(engine, MakeDeck(5, TurnNormal, ViewChecked), {2, 4});
    engine.Start();
    std::vector<int16_t> shown, counts;
    for (int deal = 0; deal < 6; ++deal) {
        shown.push_back(engine.getShowCardIndex());
        counts.push_back(engine.getCardCount());
        CheckAndNext(engine, true);
    }
    EXPECT_EQ(shown, (std::vector<int16_t>{2, 4, 2, 4, 2, 4}));
    EXPECT_EQ(counts, (std::vector<int16_t>{2, 4, 2, 4, 2, 4}));
}

TEST(Dealing, CheckingTheLastUncheckedCardFallsBackToAllOnce) {
    RecordingEngine engine;
    Open(engine, MakeDeck(4, TurnNormal, ViewUnchecked), {1, 2, 4});
    engine.Start();
    ASSERT_EQ(engine.getShowCardIndex(), 3);
    CheckAndNext(engine, true);
    ASSERT_EQ(engine.messages.size(), 1u);
    EXPECT_EQ(engine.messages[0], StudyEngine::NoCardMessage);
    EXPECT_EQ(engine.getViewKind(), ViewAll);
    EXPECT_EQ(engine.getCardCount(), 4);
    EXPECT_EQ(engine.getShowCardIndex(), 4);
    EXPECT_EQ(engine.screens, 1);  // the cycle went on, no new one began
}

TEST(Dealing, FallBackAtTheLastPositionBeginsANewCycle) {
    RecordingEngine engine;
    Open(engine, MakeDeck(3, TurnNormal, ViewUnchecked), {1, 2});
    engine.Start();
    ASSERT_EQ(engine.getShowCardIndex(), 3);
    CheckAndNext(engine, true);
    EXPECT_EQ(engine.messages.size(), 1u);
    EXPECT_EQ(engine.getCardCount(), 1);
    EXPECT_EQ(engine.getShowCardIndex(), 1);
    EXPECT_EQ(engine.screens, 2);
}

TEST(Dealing, OpeningADeckNoCardPassesShowsTheMessageThenPositionOne) {
    RecordingEngine engine;
    Open(engine, MakeDeck(5, TurnShuffle, ViewChecked), {});
    engine.Start();
    EXPECT_EQ(engine.messages.size(), 1u);
    EXPECT_EQ(engine.getViewKind(), ViewAll);
    EXPECT_EQ(engine.getCardCount(), 1);
    EXPECT_EQ(engine.screens, 1);
}

TEST(Dealing, ViewMenuKeepsACardThatPassesAndOtherwiseMovesOn) {
    RecordingEngine engine;
    Open(engine, MakeDeck(5), {3});
    engine.Start();
    DealCards(engine, 2);
    ASSERT_EQ(engine.getShowCardIndex(), 3);
    engine.setOpenItem(true);
    ChooseView(engine, 1);
    EXPECT_EQ(engine.getShowCardIndex(), 3);
    EXPECT_FALSE(engine.isOpenItem());
    ChooseView(engine, 2);
    EXPECT_EQ(engine.getShowCardIndex(), 4);
    ChooseView(engine, 4);
    EXPECT_EQ(engine.getShowCardIndex(), 4);
    EXPECT_TRUE(engine.messages.empty());

    // Nothing checked at all: the message, and the same card stays.
    engine.setCheckLump(false, 1);
    ChooseView(engine, 1);
    EXPECT_EQ(engine.messages.size(), 1u);
    EXPECT_EQ(engine.getViewKind(), ViewAll);
    EXPECT_EQ(engine.getShowCardIndex(), 4);
}

TEST(Dealing, ReversedCheckedCardIsSkippedUnderCheckedOnly) {
    RecordingEngine engine;
    Open(engine, MakeDeck(3, TurnNormal, ViewChecked), {1, 2});
    engine.Start();
    ASSERT_EQ(engine.getShowCardIndex(), 1);
    engine.setReversal(2);
    engine.NextCard();
    EXPECT_EQ(engine.getShowCardIndex(), 1);
    EXPECT_EQ(engine.getCardCount(), 1);
}

TEST(Dealing, DamagedViewKindDealsAllWithoutRewritingIt) {
    RecordingEngine engine;
    Open(engine, MakeDeck(3, TurnNormal, 3), {});
    engine.Start();
    EXPECT_EQ(DealCards(engine, 3), (std::vector<int16_t>{2, 3, 1}));
    EXPECT_TRUE(engine.messages.empty());
    EXPECT_EQ(engine.getViewKind(), 3);
}

TEST(Dealing, NarrowShuffledFilterRunsThroughManyCyclesWithoutNesting) {
    // Card 1 alone passes, and the further-card test gives up on it after
    // position 2, so most cycles end without showing it. The literal rules,
    // which nest a Start per cycle and shuffle each cycle in full, must deal
    // from the same turn lists.
    RecordingEngine engine;
    LiteralDealer model;
    Open(engine, MakeDeck(2000, TurnShuffle, ViewChecked), {1});
    model.deck = engine.getCardData();
    engine.setRandomSeed(3);
    model.random.seed(3);
    engine.Start();
    model.Start();
    ASSERT_EQ(TurnList(engine), model.turn);
    int modelCycles = 0;
    for (int deal = 0; deal < 5; ++deal) {
        const int engineBefore = engine.screens;
        const int modelBefore = model.screens;
        engine.NextCard();
        model.NextCard();
        EXPECT_EQ(engine.getShowCardIndex(), 1);
        EXPECT_EQ(engine.getCardCount(), model.cardCount);
        EXPECT_EQ(TurnList(engine), model.turn);
        EXPECT_EQ(engine.screens, engineBefore + 1);  // one redraw however many cycles
        modelCycles += model.screens - modelBefore;
    }
    EXPECT_GT(modelCycles, 100);
    EXPECT_TRUE(engine.messages.empty());
}

TEST(EmptyDeck, NothingIsDealtAndAppendedCardsStudyAfterStart) {
    for (uint8_t kind : {ViewChecked, ViewUnchecked, ViewAll}) {
        RecordingEngine engine;
        Open(engine, MakeDeck(0, TurnShuffle, kind), {});
        engine.Start();
        engine.NextCard();
        EXPECT_EQ(engine.getCardCount(), 0);
        EXPECT_EQ(engine.getShowCardIndex(), 0);
        EXPECT_FALSE(engine.isNextCard());
        EXPECT_TRUE(engine.messages.empty());
        EXPECT_EQ(engine.getViewKind(), kind);
        EXPECT_EQ(engine.screens, 1);

        EditDeck(engine, [](CardData& deck) {
            deck.Items.push_back({"", "a", "b"});
            deck.Checks.push_back({0, True16, 0});
            deck.QuestionItems.push_back(1);
        });
        engine.Start();
        EXPECT_EQ(engine.getCardCount(), 1);
        EXPECT_EQ(engine.getShowCardIndex(), 1);
        EXPECT_EQ(engine.messages.size(), kind == 2 ? 1u : 0u);
    }
}

TEST(Hooks, StartRedrawsOnceAndNextCardOnlyForANewCycle) {
    RecordingEngine engine;
    Open(engine, MakeDeck(2), {});
    engine.Start();
    EXPECT_EQ(engine.screens, 1);
    engine.NextCard();
    EXPECT_EQ(engine.screens, 1);
    engine.NextCard();
    EXPECT_EQ(engine.screens, 2);
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
    RecordingEngine engine;
    Open(engine, MakeDeck(3, TurnNormal, ViewChecked), {1, 3});
    engine.setQuestionItemIndex(2, 5);
    engine.Start();
    EXPECT_EQ(engine.getShowCardIndex(), 1);
    EXPECT_THROW(engine.NextCard(), std::out_of_range);

    RecordingEngine early;
    Open(early, MakeDeck(3, TurnNormal, ViewChecked), {3});
    early.setQuestionItemIndex(1, -1);
    EXPECT_THROW(early.Start(), std::out_of_range);
    early.setViewKind(ViewAll);
    early.Start();  // all cards never reads a mark
    EXPECT_EQ(early.getShowCardIndex(), 1);
}

}  // namespace
}  // namespace korva::test
