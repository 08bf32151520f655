// The due view: the deal passes what the schedule asks for today, a failed
// card comes back the same day, and a deck without a record deals all.
#include <QDateTime>
#include <QTimeZone>

#include <gtest/gtest.h>

#include "StudyTestSupport.h"

namespace korva::test {
namespace {

constexpr int64_t Day = 86'400'000;

// Noon of 2 March 2026 in the learner's own time zone, where the days of
// study are reckoned.
int64_t Noon() { return QDateTime(QDate(2026, 3, 2), QTime(12, 0)).toMSecsSinceEpoch(); }

struct DueDeck {
    RecordingEngine engine;
    int64_t now = Noon();

    DueDeck(int cards, int newPerDay, ItemEncoding encoding = ItemEncoding::Utf8) {
        CardData deck = MakeDeck(cards, TurnNormal, ViewDue);
        deck.encoding = encoding;
        engine.getDocument().Replace(std::move(deck));
        engine.getDocument().setClock([this] { return now; });
        engine.getDocument().setScheduleSettings({.newCardsPerDay = newPerDay});
    }

    // The card window's check and uncheck: the verdict, then the deal.
    void Answer(bool pass) {
        const int16_t shown = engine.getShowCardIndex();
        engine.getDocument().Review(pass, engine.getQuestionItemIndex(shown), shown, -1);
        engine.NextCard();
    }
};

TEST(DueView, DealsTodaysCardsAndSaysWhenTheNextAreDue) {
    DueDeck deck(5, 2);
    deck.engine.Start();
    // Day one: two new cards; the failed one comes back before the day ends.
    EXPECT_EQ(deck.engine.getShowCardIndex(), 1);
    deck.Answer(true);
    EXPECT_EQ(deck.engine.getShowCardIndex(), 2);
    deck.Answer(false);
    EXPECT_EQ(deck.engine.getShowCardIndex(), 2);
    EXPECT_TRUE(deck.engine.messages.empty());
    deck.Answer(true);
    ASSERT_EQ(deck.engine.messages.size(), 1U);
    EXPECT_NE(deck.engine.messages[0].find("今日学習するカードはもうありません。"), std::string::npos);
    EXPECT_NE(deck.engine.messages[0].find("2026/03/03 04:00"), std::string::npos) << deck.engine.messages[0];
    EXPECT_EQ(deck.engine.getShowCardIndex(), 0);
    EXPECT_EQ(deck.engine.getViewKind(), ViewDue);
    // Nothing on show, so the next deal still has nothing.
    deck.engine.NextCard();
    EXPECT_EQ(deck.engine.messages.size(), 2U);
    EXPECT_EQ(deck.engine.getShowCardIndex(), 0);

    // Two days on: both cards studied are due (the one passed at once after
    // two days' stability, the one relearnt a day after), and two more new ones.
    deck.now += 2 * Day;
    deck.engine.Restart();
    std::vector<int16_t> dealt{deck.engine.getShowCardIndex()};
    for (int answer = 0; answer < 3; ++answer) {
        deck.Answer(true);
        dealt.push_back(deck.engine.getShowCardIndex());
    }
    EXPECT_EQ(dealt, (std::vector<int16_t>{1, 2, 3, 4}));
    EXPECT_EQ(deck.engine.messages.size(), 2U);

    // With no new card a day and every studied card passed, the next is due
    // when the earliest of them is.
    deck.engine.getDocument().setScheduleSettings({.newCardsPerDay = 0});
    deck.Answer(true);
    ASSERT_EQ(deck.engine.messages.size(), 3U);
    EXPECT_EQ(deck.engine.messages[2].find("2026/03/05 04:00"), std::string::npos) << deck.engine.messages[2];
    EXPECT_NE(deck.engine.messages[2].find("次のカードは"), std::string::npos);
}

TEST(DueView, ADeckWithoutARecordOrACardToStudyDealsAsBefore) {
    // A code page 932 deck keeps no record: every card, no message.
    DueDeck krv(3, 20, ItemEncoding::Cp932);
    krv.engine.Start();
    EXPECT_EQ(DealCards(krv.engine, 3), (std::vector<int16_t>{2, 3, 1}));
    EXPECT_TRUE(krv.engine.messages.empty());
    EXPECT_EQ(krv.engine.getViewKind(), ViewDue);

    // No new card a day and none studied: nothing will ever be due.
    DueDeck none(3, 0);
    none.engine.Start();
    ASSERT_EQ(none.engine.messages.size(), 1U);
    EXPECT_NE(none.engine.messages[0].find("学習の設定"), std::string::npos);
    EXPECT_FALSE(none.engine.isValidCard(1));
    EXPECT_EQ(none.engine.getShowCardIndex(), 0);
}

}  // namespace
}  // namespace korva::test
