// The card editor's steps at the size limit, with a study engine following
// the deck as the card window's does: one text edit and its undo, and the
// removal of every card and its undo, which puts 32,767 cards back at once.
#include <benchmark/benchmark.h>

#include <memory>
#include <numeric>
#include <vector>

#include "bench/BenchDecks.h"
#include "document/DeckEdits.h"
#include "study/StudyEngine.h"

namespace {

class FollowingEngine : public korva::StudyEngine, public korva::DeckListener {
public:
    explicit FollowingEngine(std::shared_ptr<korva::DeckDocument> document) : StudyEngine(std::move(document)) {
        getDocument().AddListener(*this);
        Start();
    }
    ~FollowingEngine() override { getDocument().RemoveListener(*this); }
    FollowingEngine(const FollowingEngine&) = delete;
    FollowingEngine& operator=(const FollowingEngine&) = delete;

    void FreshScreen() override {}
    void DeckChanged(const korva::DeckChange& change) override { FollowCards(change); }

protected:
    void ShowNoCardMessage(const std::string&) override {}
};

void EditTextAndUndo(benchmark::State& state) {
    auto document = std::make_shared<korva::DeckDocument>(korva::bench::MakeDeck(static_cast<int>(state.range(0))));
    FollowingEngine engine(document);
    korva::DeckEdits edits(document);
    for (auto _ : state) {
        edits.setText(1234, 2, "\x82\xa0\x82\xa2");
        benchmark::DoNotOptimize(edits.Undo());
    }
}

void RemoveAllAndUndo(benchmark::State& state) {
    const int total = static_cast<int>(state.range(0));
    auto document = std::make_shared<korva::DeckDocument>(korva::bench::MakeDeck(total));
    FollowingEngine engine(document);
    korva::DeckEdits edits(document);
    std::vector<int16_t> all(static_cast<std::size_t>(total));
    std::iota(all.begin(), all.end(), int16_t{1});
    for (auto _ : state) {
        edits.Remove(all);
        benchmark::DoNotOptimize(edits.Undo());
    }
}

}  // namespace

BENCHMARK(EditTextAndUndo)->Arg(32767)->Unit(benchmark::kMicrosecond);
BENCHMARK(RemoveAllAndUndo)->Arg(1024)->Arg(32767)->Unit(benchmark::kMillisecond);
