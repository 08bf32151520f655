// The schedule's cost of one check: a review applied to a card's memory. The
// reviews measured come from one long random record, so passes and fails,
// reviews in the same sitting and after days or years all take their turn,
// as they do over a day's study; and the replay of a whole record, which the
// deck's kept memory is checked against.
//
// Then a full deck's schedule: today's due set over 32,767 cards asking
// either item, a check followed into the kept memory and the day's counts,
// and the figures a record window shows over a million answers.
#include <benchmark/benchmark.h>

#include <QTimeZone>
#include <random>
#include <vector>

#include <QTemporaryDir>

#include "bench/BenchDecks.h"
#include "deck/KorvaDeck.h"
#include "deck/KorvaFile.h"
#include "memory/MemoryState.h"
#include "study/Schedule.h"
#include "study/StudyEngine.h"

namespace {

using korva::CardMemory;
using korva::Review;

constexpr int64_t Day = 86'400'000;

std::vector<Review> RandomRecord(int count) {
    std::mt19937_64 random(38);
    std::vector<Review> reviews;
    int64_t time = 1'704'067'200'000;  // 2024-01-01T00:00:00Z
    for (int i = 0; i < count; ++i) {
        const int kind = std::uniform_int_distribution<int>(0, 2)(random);
        time += kind == 0 ? std::uniform_int_distribution<int64_t>(0, Day - 1)(random)
                          : std::uniform_int_distribution<int64_t>(Day, (kind == 1 ? 30 : 3000) * Day)(random);
        reviews.push_back({time, std::bernoulli_distribution(0.8)(random)});
    }
    return reviews;
}

void ReviewOneCheck(benchmark::State& state) {
    const korva::ScheduleParameters parameters;
    const std::vector<Review> reviews = RandomRecord(1024);
    // The memory before each review, so that every measured update starts
    // from the state the record leaves there.
    std::vector<CardMemory> before(1);
    for (const Review& review : reviews) {
        before.push_back(korva::Reviewed(before.back(), review, parameters));
    }
    std::size_t at = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(korva::Reviewed(before[at], reviews[at], parameters));
        at = (at + 1) % reviews.size();
    }
}

void ReplayRecord(benchmark::State& state) {
    const korva::ScheduleParameters parameters;
    const std::vector<Review> reviews = RandomRecord(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(korva::Replay(reviews, parameters));
    }
    state.counters["per_review"] = benchmark::Counter(static_cast<double>(state.iterations() * state.range(0)),
                                                      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

constexpr int64_t Now = 1'717'218'000'000;  // 2024-06-01T05:00:00Z, 14:00 in Tokyo

void DueSet(benchmark::State& state) {
    const korva::KorvaDeck deck = korva::bench::StudiedDeck(200'000, Now);
    const korva::StudyDays days(Now, QTimeZone("Asia/Tokyo"));
    std::size_t due = 0;
    for (auto _ : state) {
        const korva::DueCards cards = korva::DueToday(deck, days);
        due = cards.reviews.size() + cards.fresh.size();
        benchmark::DoNotOptimize(due);
    }
    state.counters["due"] = static_cast<double>(due);
}

// One check as a view follows it: the record's new row into the kept memory,
// and the status line's counts, without counting the deck again.
void CheckFollowed(benchmark::State& state) {
    korva::KorvaDeck deck = korva::bench::StudiedDeck(200'000, Now);
    const korva::StudyDays days(Now, QTimeZone("Asia/Tokyo"));
    korva::TodayCounts counts = korva::CountToday(deck, days);
    std::mt19937_64 random(9);
    int64_t time = Now;
    for (auto _ : state) {
        const auto card = std::uniform_int_distribution<std::size_t>(1, korva::MaxCards)(random);
        const auto item = deck.cards.QuestionItems[card];
        deck.record.push_back({.timeMs = ++time, .cardId = deck.cardIds[card], .item = item, .checked = true});
        const std::optional<korva::MemoryChange> change = korva::ApplyNextRow(deck);
        counts.Follow(*change, true, days);
        benchmark::DoNotOptimize(counts);
    }
}

// What a record window shows: the forecast and the directions' counts from
// the kept memory, and retention, streak and calendar from the record.
void RecordWindow(benchmark::State& state) {
    const korva::KorvaDeck deck = korva::bench::StudiedDeck(static_cast<std::size_t>(state.range(0)), Now);
    const korva::StudyDays days(Now, QTimeZone("Asia/Tokyo"));
    for (auto _ : state) {
        benchmark::DoNotOptimize(korva::SummarizeSchedule(deck, days));
        benchmark::DoNotOptimize(korva::SummarizeRecord(deck, days));
    }
}

class SilentEngine : public korva::StudyEngine {
public:
    void FreshScreen() override {}

protected:
    void ShowNoCardMessage(const std::string& /*text*/) override {}
};

// A full deck studied in the due view, read from its file as the program
// reads it, its clock at Now.
bool OpenDueView(SilentEngine& engine, const QTemporaryDir& dir) {
    const QString path = dir.filePath(QStringLiteral("due.korva"));
    korva::SaveKorvaFile(path.toStdString(), korva::bench::StudiedDeck(200'000, Now));
    const korva::DeckDocument::WordListChooser none = [](const QString&, const auto&) {
        return std::nullopt;
    };
    if (!engine.getDocument().Open(path, QStringLiteral("due.korva"), none).isDone()) {
        return false;
    }
    engine.getDocument().setClock([] { return Now; });
    engine.setViewKind(korva::ViewDue);
    engine.Start();
    return engine.getShowCardIndex() != 0;
}

// Runs step on an engine opened on the studied deck in the due view.
template <typename Step>
void InDueView(benchmark::State& state, Step step) {
    const QTemporaryDir dir;
    SilentEngine engine;
    if (!OpenDueView(engine, dir)) {
        state.SkipWithError("the deck did not open in the due view");
        return;
    }
    for (auto _ : state) {
        step(engine);
        benchmark::DoNotOptimize(engine.getShowCardIndex());
    }
}

// The deal alone, as the next card after a card skipped: the day's due set
// is already known.
void DealInDueView(benchmark::State& state) {
    InDueView(state, [](SilentEngine& engine) { engine.NextCard(); });
}

// A check and the deal it makes, as the card window's チェック & 次へ: the
// review, the card's memory, and the due set found again.
void CheckAndDealInDueView(benchmark::State& state) {
    InDueView(state, [](SilentEngine& engine) {
        const int16_t shown = engine.getShowCardIndex();
        engine.getDocument().Review(false, engine.getQuestionItemIndex(shown), shown, -1);
        engine.NextCard();
    });
}

BENCHMARK(DealInDueView)->Unit(benchmark::kMicrosecond);
BENCHMARK(CheckAndDealInDueView)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReviewOneCheck)->Unit(benchmark::kNanosecond);
BENCHMARK(DueSet)->Unit(benchmark::kMicrosecond);
BENCHMARK(CheckFollowed)->Unit(benchmark::kNanosecond);
BENCHMARK(RecordWindow)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(ReplayRecord)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace
