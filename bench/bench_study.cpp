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

CardData Deck(int Cards, uint8_t TurnMode, uint8_t ViewKind) {
    CardData Data;
    Data.Items.resize(static_cast<std::size_t>(Cards) + 1);
    Data.Checks.resize(static_cast<std::size_t>(Cards) + 1);
    Data.QuestionItems.assign(static_cast<std::size_t>(Cards) + 1, 1);
    Data.Modes = {TurnMode, 1, ViewKind, 1};
    return Data;
}

void StartShuffled(benchmark::State& State) {
    const int Cards = static_cast<int>(State.range(0));
    SilentEngine Engine;
    Engine.getCardData() = Deck(Cards, 2, 4);
    Engine.setRandomSeed(1);
    for (auto _ : State) {
        Engine.Start();
        benchmark::DoNotOptimize(Engine.getShowCardIndex());
    }
}

// Only the last card is checked and it is on show, so every deal begins a
// new cycle and skips all the other cards before it comes round again.
void DealCheckedOnlyLastCard(benchmark::State& State) {
    const int Cards = static_cast<int>(State.range(0));
    SilentEngine Engine;
    Engine.getCardData() = Deck(Cards, 1, 1);
    Engine.setCheck(true, 1, static_cast<int16_t>(Cards));
    Engine.Start();
    for (auto _ : State) {
        Engine.NextCard();
        if (Engine.getCardCount() != Cards) {
            State.SkipWithError("the deal did not reach the last card");
            break;
        }
    }
}

// Only card 1 is checked and the order is shuffled: a cycle gives up after
// position 2, so a deal runs through about Cards / 2 new cycles on average.
// The count of cycles varies widely from deal to deal, so each run uses the
// same seeds in turn and the figure to read is the mean over many deals.
void DealShuffledCheckedOnlyFirstCard(benchmark::State& State) {
    const int Cards = static_cast<int>(State.range(0));
    SilentEngine Engine;
    Engine.getCardData() = Deck(Cards, 2, 1);
    Engine.setCheck(true, 1, 1);
    uint64_t Seed = 0;
    for (auto _ : State) {
        State.PauseTiming();
        Engine.setRandomSeed(++Seed);
        Engine.Start();
        State.ResumeTiming();
        Engine.NextCard();
        if (Engine.getShowCardIndex() != 1) {
            State.SkipWithError("the deal did not show card 1");
            break;
        }
    }
    State.counters["per_card"] = benchmark::Counter(static_cast<double>(State.iterations()) * Cards,
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK(StartShuffled)->Arg(1024)->Arg(32767)->Unit(benchmark::kMicrosecond);
BENCHMARK(DealCheckedOnlyLastCard)->Arg(1024)->Arg(32767)->Unit(benchmark::kMicrosecond);
BENCHMARK(DealShuffledCheckedOnlyFirstCard)->Arg(1024)->Arg(32767)->Unit(benchmark::kMicrosecond);

}  // namespace
