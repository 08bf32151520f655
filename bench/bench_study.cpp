// Dealing costs at the size limits: Start with a fresh shuffle, the longest
// deal there is in deck order, where a narrow filter skips every card but the
// last one through a new cycle, and the shuffled deal that runs through many
// new cycles before the one card that passes comes up.
#include <benchmark/benchmark.h>

#include <string>

#include "study/StudyEngine.h"

namespace {

using korva::CardData;

class SilentEngine : public korva::StudyEngine {
public:
    void FreshScreen() override {}

protected:
    void ShowNoCardMessage(const std::string&) override {}
};

CardData Deck(int cards, uint8_t turnMode, uint8_t viewKind) {
    CardData data;
    data.Items.resize(static_cast<std::size_t>(cards) + 1);
    data.Checks.resize(static_cast<std::size_t>(cards) + 1);
    data.QuestionItems.assign(static_cast<std::size_t>(cards) + 1, 1);
    data.Modes = {turnMode, korva::ImportedModes.ReservedMode, viewKind, korva::AnswerNormal};
    return data;
}

void StartShuffled(benchmark::State& state) {
    const int cards = static_cast<int>(state.range(0));
    SilentEngine engine;
    engine.getDocument().Replace(Deck(cards, korva::TurnShuffle, korva::ViewAll));
    engine.setRandomSeed(1);
    for (auto _ : state) {
        engine.Start();
        benchmark::DoNotOptimize(engine.getShowCardIndex());
    }
}

// Only the last card is checked and it is on show, so every deal begins a
// new cycle and skips all the other cards before it comes round again.
void DealCheckedOnlyLastCard(benchmark::State& state) {
    const int cards = static_cast<int>(state.range(0));
    SilentEngine engine;
    engine.getDocument().Replace(Deck(cards, korva::TurnNormal, korva::ViewChecked));
    engine.setCheck(true, 1, static_cast<int16_t>(cards));
    engine.Start();
    for (auto _ : state) {
        engine.NextCard();
        if (engine.getCardCount() != cards) {
            state.SkipWithError("the deal did not reach the last card");
            break;
        }
    }
}

// Only card 1 is checked and the order is shuffled: a cycle gives up after
// position 2, so a deal runs through about Cards / 2 new cycles on average.
// The count of cycles varies widely from deal to deal, so each run uses the
// same seeds in turn and the figure to read is the mean over many deals.
void DealShuffledCheckedOnlyFirstCard(benchmark::State& state) {
    const int cards = static_cast<int>(state.range(0));
    SilentEngine engine;
    engine.getDocument().Replace(Deck(cards, korva::TurnShuffle, korva::ViewChecked));
    engine.setCheck(true, 1, 1);
    uint64_t seed = 0;
    for (auto _ : state) {
        state.PauseTiming();
        engine.setRandomSeed(++seed);
        engine.Start();
        state.ResumeTiming();
        engine.NextCard();
        if (engine.getShowCardIndex() != 1) {
            state.SkipWithError("the deal did not show card 1");
            break;
        }
    }
    state.counters["per_card"] = benchmark::Counter(static_cast<double>(state.iterations()) * cards,
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK(StartShuffled)->Arg(1024)->Arg(32767)->Unit(benchmark::kMicrosecond);
BENCHMARK(DealCheckedOnlyLastCard)->Arg(1024)->Arg(32767)->Unit(benchmark::kMicrosecond);
BENCHMARK(DealShuffledCheckedOnlyFirstCard)->Arg(1024)->Arg(32767)->Unit(benchmark::kMicrosecond);

}  // namespace
