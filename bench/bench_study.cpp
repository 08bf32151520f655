// Dealing costs at the size limits: Start with a fresh shuffle, and the
// longest deal there is, where a narrow filter skips every card but the last
// one through a new cycle.
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

BENCHMARK(StartShuffled)->Arg(1024)->Arg(32767)->Unit(benchmark::kMicrosecond);
BENCHMARK(DealCheckedOnlyLastCard)->Arg(1024)->Arg(32767)->Unit(benchmark::kMicrosecond);

}  // namespace
