// The schedule of a deck: its days of study in a time zone, today's due set
// and counts, the forecast and the record's figures on small hand-made
// records, and the memory the deck keeps against a plain replay of its record.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QDateTime>
#include <QTemporaryDir>
#include <QTimeZone>
#include <cmath>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "deck/KorvaFile.h"
#include "study/Schedule.h"
#include "tests/study/PlainModel.h"

namespace korva::test {
namespace {

constexpr int64_t Hour = 3'600'000;

const QTimeZone Tokyo("Asia/Tokyo");
const QDate D(2024, 6, 1);

// Milliseconds of a local time: the date days after D, hours and minutes.
int64_t At(int days, int hour, int minute = 0, const QTimeZone& zone = Tokyo) {
    return QDateTime(D.addDays(days), QTime(hour, minute), zone).toMSecsSinceEpoch();
}

int64_t Utc(const char* iso) { return QDateTime::fromString(iso, Qt::ISODate).toMSecsSinceEpoch(); }

// Cards 1..asked.size() asking those items, ids 1.., no record.
KorvaDeck DeckAsking(const std::vector<int16_t>& asked) {
    CardData cards = UnicodeCards();
    for (const int16_t item : asked) {
        cards.Items.push_back({"", "front", "back"});
        cards.Checks.push_back({});
        cards.QuestionItems.push_back(item);
    }
    return MakeKorvaDeck(std::move(cards), 0, "test");
}

void Answer(KorvaDeck& deck, int card, int16_t item, int64_t time, bool pass) {
    deck.record.push_back(
        {.timeMs = time, .cardId = deck.cardIds[static_cast<std::size_t>(card)], .item = item, .checked = pass});
    CatchUpMemory(deck);
}

TEST(Schedule, DaysBeginAtFourLocalTime) {
    const QTimeZone berlin("Europe/Berlin");
    const struct {
        QTimeZone zone;
        QDateTime now;
        const char* start;  // of today, UTC
        int hours;          // today's length
    } cases[] = {
        {Tokyo, QDateTime(QDate(2024, 6, 1), QTime(3, 59), Tokyo), "2024-05-30T19:00:00Z", 24},
        {Tokyo, QDateTime(QDate(2024, 6, 1), QTime(4, 0), Tokyo), "2024-05-31T19:00:00Z", 24},
        {Tokyo, QDateTime(QDate(2024, 6, 1), QTime(23, 59), Tokyo), "2024-05-31T19:00:00Z", 24},
        // The clocks go forward on 31 March and back on 27 October.
        {berlin, QDateTime(QDate(2024, 3, 30), QTime(12, 0), berlin), "2024-03-30T03:00:00Z", 23},
        {berlin, QDateTime(QDate(2024, 10, 27), QTime(3, 30), berlin), "2024-10-26T02:00:00Z", 25},
        {QTimeZone::utc(), QDateTime(QDate(2024, 6, 1), QTime(4, 0), QTimeZone::utc()), "2024-06-01T04:00:00Z", 24},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.now.toString(Qt::ISODate).toStdString());
        const StudyDays days(c.now.toMSecsSinceEpoch(), c.zone);
        EXPECT_EQ(days.TodayStart(), Utc(c.start));
        EXPECT_EQ(days.TodayEnd() - days.TodayStart(), c.hours * Hour);
        EXPECT_EQ(days.DayStart(0), days.TodayStart());
        EXPECT_EQ(days.Boundaries(-1, 2),
                  (std::vector<int64_t>{days.DayStart(-1), days.TodayStart(), days.TodayEnd()}));
    }
}

// One step of study after another: a review given (or none) and the due set
// at its time.
TEST(Schedule, DueSetAndNewLimitFollowTheDayOfStudy) {
    KorvaDeck deck = DeckAsking({1, 1, 1, 1, 1, 2});
    deck.settings.newCardsPerDay = 2;
    // Yesterday's first review of card 6, in the direction it no longer asks.
    Answer(deck, 6, 1, At(-1, 12), true);
    const struct {
        int64_t time;
        int card;  // reviewed in item 1 at time; 0 for none
        bool pass;
        int limit;
        std::vector<int> reviews, fresh;
    } steps[] = {
        {At(0, 9), 0, false, 2, {}, {1, 2}},     {At(0, 10), 1, true, 2, {}, {2}},  // due in 2 days
        {At(0, 11), 2, false, 2, {2}, {}},     // a fail is due at once; the day's 2 new begun
        {At(1, 3, 59), 0, false, 2, {2}, {}},  // still the same day
        {At(1, 4), 0, false, 2, {2}, {3, 4}},  // a new day: overdue and new again
        {At(1, 5), 2, true, 2, {}, {3, 4}},    // passed the next morning: due in a day
        {At(2, 4), 0, false, 2, {1, 2}, {3, 4}}, {At(2, 4), 0, false, 1, {1, 2}, {3}},
        {At(2, 4), 0, false, 0, {1, 2}, {}},     {At(2, 4), 0, false, 9999, {1, 2}, {3, 4, 5, 6}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(QDateTime::fromMSecsSinceEpoch(step.time, Tokyo).toString(Qt::ISODate).toStdString());
        if (step.card != 0) {
            Answer(deck, step.card, 1, step.time, step.pass);
        }
        SetScheduleSettings(deck, {.newCardsPerDay = step.limit, .desiredRetention = 0.9});
        const StudyDays days(step.time, Tokyo);
        const DueCards due = DueToday(deck, days);
        EXPECT_EQ(due.reviews, step.reviews);
        EXPECT_EQ(due.fresh, step.fresh);
        const TodayCounts counts = CountToday(deck, days);
        EXPECT_EQ(std::tuple(counts.reviews, counts.NewToday()),
                  std::tuple(static_cast<int>(step.reviews.size()), static_cast<int>(step.fresh.size())));
    }
}

TEST(Schedule, CountsFollowEachReviewAsARecountWould) {
    std::mt19937_64 random(7);
    std::vector<int16_t> asked(60);
    for (int16_t& item : asked) {
        item = static_cast<int16_t>(std::uniform_int_distribution<int>(0, 2)(random));
    }
    KorvaDeck deck = DeckAsking(asked);
    deck.settings.newCardsPerDay = 15;
    int64_t time = At(0, 9);
    std::optional<StudyDays> days;
    TodayCounts counts;
    for (int review = 0; review < 3000; ++review) {
        time += std::uniform_int_distribution<int64_t>(0, 2 * Hour)(random);
        const int card = std::uniform_int_distribution<int>(1, 60)(random);
        const auto item = static_cast<int16_t>(std::uniform_int_distribution<int>(1, 2)(random));
        if (!days || time >= days->TodayEnd()) {
            days.emplace(time, Tokyo);
            counts = CountToday(deck, *days);
        }
        deck.record.push_back({.timeMs = time,
                               .cardId = deck.cardIds[static_cast<std::size_t>(card)],
                               .item = item,
                               .checked = std::bernoulli_distribution(0.7)(random)});
        const std::optional<MemoryChange> change = ApplyNextRow(deck);
        ASSERT_TRUE(change);
        counts.Follow(*change, asked[static_cast<std::size_t>(card) - 1] == item, *days);
        ASSERT_EQ(counts, CountToday(deck, *days)) << "review " << review;
        const DueCards due = DueToday(deck, *days);
        ASSERT_EQ(std::tuple(due.reviews.size(), due.fresh.size()),
                  std::tuple(static_cast<std::size_t>(counts.reviews), static_cast<std::size_t>(counts.NewToday())));
    }
}

TEST(Schedule, ForecastAndDirections) {
    // Cards 1..5 and 7 ask item 1, card 6 item 2. Now: D at noon.
    // The record in time order, as study writes it.
    KorvaDeck deck = DeckAsking({1, 1, 1, 1, 1, 2, 1});
    // Again, then Good after 0, 1, 3 and 8 days: stability 21.9, learnt.
    for (const auto& [day, pass] : {std::pair{-40, false}, {-40, true}, {-39, true}, {-36, true}, {-28, true}}) {
        Answer(deck, 7, 1, At(day, 9), pass);
    }
    Answer(deck, 1, 1, At(-5, 9), true);  // due D-3: overdue
    Answer(deck, 5, 1, At(-1, 3), true);  // due D+1 03:00, still today
    Answer(deck, 4, 1, At(0, 3), true);   // D 03:00 is the day before's: due D+2 03:00, on day 1
    Answer(deck, 2, 1, At(0, 9), true);   // due D+2
    Answer(deck, 3, 1, At(0, 9), false);  // due at once
    Answer(deck, 6, 1, At(0, 9), true);   // not the direction it asks
    const ScheduleSummary summary = SummarizeSchedule(deck, StudyDays(At(0, 12), Tokyo));
    std::array<int, ForecastDays> forecast{};
    forecast[0] = 4;  // cards 1, 3, 5, 7
    forecast[1] = 1;
    forecast[2] = 1;
    EXPECT_EQ(summary.forecast, forecast);
    EXPECT_EQ(summary.directions[0], (DirectionCounts{.fresh = 0, .learning = 6, .learnt = 1}));
    EXPECT_EQ(summary.directions[1], (DirectionCounts{.fresh = 7, .learning = 0, .learnt = 0}));
    // Cards 2, 3 and 6 begun today (card 4 the day before); card 6 new in item 2.
    EXPECT_EQ(summary.today, (TodayCounts{.reviews = 4, .newAvailable = 1, .newBegun = 3, .newLimit = 20}));
}

TEST(Schedule, RetentionOfTheReviewsThatWereDue) {
    KorvaDeck deck = DeckAsking({1, 1, 1, 1, 1});
    const StudyDays days(At(0, 12), Tokyo);
    EXPECT_TRUE(std::isnan(SummarizeRecord(deck, days).retention));
    const struct {
        int card;
        int day, hour, minute;
        bool pass;
    } reviews[] = {
        {1, -20, 10, 0, true},   // new: not counted
        {1, -18, 10, 0, true},   // due that morning: counted, passed
        {1, -17, 10, 0, false},  // due in 11 days: not counted
        {1, -17, 10, 5, true},   // due since its fail: counted, passed
        {2, -40, 10, 0, true},   // before the 30 days, but replayed
        {2, -5, 10, 0, false},   // overdue: counted, failed
        {3, -60, 10, 0, true},   // long before
        {4, -32, 10, 0, true},   // due D-30
        {4, -29, 3, 59, false},  // the day before the 30 days: not counted
        {4, -29, 4, 0, true},    // the first of them, due since the fail: counted, passed
        {5, -2, 10, 0, true},
    };
    for (const auto& review : reviews) {
        Answer(deck, review.card, 1, At(review.day, review.hour, review.minute), review.pass);
    }
    // Answers for a card since removed count for nothing.
    deck.record.push_back({.timeMs = At(-40, 9), .cardId = 999, .item = 1, .checked = true});
    deck.record.push_back({.timeMs = At(-5, 9), .cardId = 999, .item = 1, .checked = false});
    EXPECT_DOUBLE_EQ(SummarizeRecord(deck, days).retention, 3.0 / 4);
    // Card 5's second direction, due at once after its fail.
    Answer(deck, 5, 2, At(0, 9), false);
    Answer(deck, 5, 2, At(0, 9, 1), false);
    EXPECT_DOUBLE_EQ(SummarizeRecord(deck, days).retention, 3.0 / 5);
}

TEST(Schedule, StreakAndCalendar) {
    const StudyDays days(At(0, 12), Tokyo);
    std::vector<std::pair<int, int>> longRun;  // day, hour
    for (int day = -400; day <= -1; ++day) {
        longRun.emplace_back(day, 20);
    }
    const struct {
        const char* name;
        std::vector<std::pair<int, int>> reviews;
        int streak;
        std::array<int, 3> calendar;  // today, yesterday, the day before
    } cases[] = {
        {"none", {}, 0, {0, 0, 0}},
        {"today", {{0, 9}}, 1, {1, 0, 0}},
        {"three days", {{0, 9}, {-1, 9}, {-2, 9}, {-2, 23}}, 3, {1, 1, 2}},
        {"not yet today", {{-1, 9}, {-2, 9}}, 2, {0, 1, 1}},
        {"broken yesterday", {{-2, 9}, {-3, 9}}, 0, {0, 0, 1}},
        {"a day missed", {{0, 9}, {-2, 9}}, 1, {1, 0, 1}},
        // 03:30 is the day before's.
        {"past midnight", {{-1, 9}, {0, 3}}, 1, {0, 2, 0}},
        {"longer than the calendar", longRun, 400, {0, 1, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        KorvaDeck deck = DeckAsking({1});
        for (const auto& [day, hour] : c.reviews) {
            deck.record.push_back({.timeMs = At(day, hour), .cardId = 1, .item = 1, .checked = true});
        }
        const RecordSummary summary = SummarizeRecord(deck, days);
        EXPECT_EQ(summary.streak, c.streak);
        ASSERT_EQ(summary.calendar.size(), static_cast<std::size_t>(CalendarDays));
        EXPECT_EQ((std::array{summary.calendar[0], summary.calendar[1], summary.calendar[2]}), c.calendar);
    }
}

// Runs SQL on a file as another program would.
void RunSql(const std::string& path, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

// Decks of random records, their memory kept through single rows and
// catch-ups, saves and loads, cards removed and added and the retention set
// anew, against each card direction's rows replayed by the plain formulas.
TEST(Schedule, KeptMemoryEqualsAPlainReplayOfTheRecord) {
    QTemporaryDir folder;
    const std::string path = folder.filePath("deck.korva").toStdString();
    std::mt19937_64 random(11);
    for (int run = 0; run < 12; ++run) {
        SCOPED_TRACE(testing::Message() << "run " << run);
        KorvaDeck deck = DeckAsking(std::vector<int16_t>(30, 1));
        KorvaSnapshot snapshot = SaveKorvaFile(path, deck);
        int64_t time = At(0, 9) + std::uniform_int_distribution<int64_t>(0, 400 * PlainDay)(random);
        for (int step = 0; step < 300; ++step) {
            const auto total = static_cast<int>(deck.cardIds.size()) - 1;
            const int card = std::uniform_int_distribution<int>(1, std::max(total, 1))(random);
            const int kind = std::uniform_int_distribution<int>(0, 3)(random);
            time += kind == 0 ? std::uniform_int_distribution<int64_t>(0, PlainDay)(random)
                              : std::uniform_int_distribution<int64_t>(PlainDay, 40 * PlainDay)(random);
            if (total > 0) {
                deck.record.push_back({.timeMs = time,
                                       .cardId = deck.cardIds[static_cast<std::size_t>(card)],
                                       .item = static_cast<int16_t>(step % 17 == 0 ? 3 : 1 + kind % 2),
                                       .checked = std::bernoulli_distribution(0.75)(random)});
            }
            const int what = std::uniform_int_distribution<int>(0, 39)(random);
            if (what < 30) {
                ApplyNextRow(deck);  // one row at a time, as a check gives them
            } else if (what < 33) {
                CatchUpMemory(deck);
            } else if (what < 35) {
                SaveKorvaChanges(path, deck, snapshot);
                deck = LoadKorvaFile(path, snapshot);
            } else if (what == 35 && total > 1) {
                deck.cards.Items.erase(deck.cards.Items.begin() + card);
                deck.cards.Checks.erase(deck.cards.Checks.begin() + card);
                deck.cards.QuestionItems.erase(deck.cards.QuestionItems.begin() + card);
                deck.cardIds.erase(deck.cardIds.begin() + card);
            } else if (what == 36) {
                deck.cards.Items.push_back({"", "new", "card"});
                deck.cards.Checks.push_back({});
                deck.cards.QuestionItems.push_back(2);
                deck.cardIds.push_back(NewCardId(deck));
            } else if (what == 37) {
                SetScheduleSettings(
                    deck, {.newCardsPerDay = 5, .desiredRetention = std::uniform_real_distribution(0.7, 0.97)(random)});
            }
        }
        CatchUpMemory(deck);
        SaveKorvaChanges(path, deck, snapshot);
        const KorvaDeck loaded = LoadKorvaFile(path);
        EXPECT_TRUE(SameKorvaDeck(loaded, deck));
        EXPECT_EQ(loaded.memoryRows, deck.record.size());

        const ScheduleParameters parameters = ParametersOf(deck.settings);
        for (std::size_t card = 1; card < deck.cardIds.size(); ++card) {
            for (const int16_t item : {int16_t{1}, int16_t{2}}) {
                PlainModel model{parameters.weights, parameters.desiredRetention};
                int reviews = 0;
                for (const ReviewRow& row : deck.record) {
                    if (row.cardId == deck.cardIds[card] && row.item == item) {
                        model.Review(row.timeMs, row.checked);
                        ++reviews;
                    }
                }
                const auto found = loaded.memory.find(deck.cardIds[card]);
                const CardMemory memory = found != loaded.memory.end() ? found->second[item - 1] : std::nullopt;
                SCOPED_TRACE(testing::Message() << "card " << card << " item " << item);
                ASSERT_EQ(memory.has_value(), reviews > 0);
                if (reviews > 0) {
                    const MemoryState kept = memory.value_or(MemoryState{});
                    ASSERT_NEAR(kept.stability, model.s, 1e-9 * model.s);
                    ASSERT_NEAR(kept.difficulty, model.d, 1e-9);
                    ASSERT_EQ(std::tuple(kept.due, kept.lastReview, kept.reviews, kept.lapses),
                              std::tuple(model.due, model.last, reviews, model.lapses));
                }
            }
        }
    }
}

// A file of version 1 replays its record once, on its first use, and keeps
// the memory from its next save on.
TEST(Schedule, VersionOneDeckIsReplayedOnceThenKept) {
    QTemporaryDir folder;
    const std::string path = folder.filePath("one.korva").toStdString();
    KorvaDeck deck = DeckAsking({1, 2, 1});
    for (int day = 0; day < 20; ++day) {
        Answer(deck, 1 + day % 3, static_cast<int16_t>(1 + day % 2), At(-40 + day * 2, 10), day % 4 != 0);
    }
    SaveKorvaFile(path, deck);
    RunSql(path,
           "DROP TABLE memory; ALTER TABLE deck DROP COLUMN new_cards_per_day; ALTER TABLE deck DROP COLUMN "
           "desired_retention; ALTER TABLE deck DROP COLUMN memory_rows; PRAGMA user_version = 1");
    KorvaSnapshot snapshot;
    KorvaDeck old = LoadKorvaFile(path, snapshot);
    EXPECT_EQ(CatchUpMemory(old), deck.record.size());
    EXPECT_TRUE(SameKorvaDeck(old, deck));
    SaveKorvaChanges(path, old, snapshot);
    KorvaDeck kept = LoadKorvaFile(path);
    EXPECT_EQ(CatchUpMemory(kept), 0U);
    EXPECT_TRUE(SameKorvaDeck(kept, deck));
}

}  // namespace
}  // namespace korva::test
