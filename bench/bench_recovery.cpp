// What keeping a recovery copy costs for a full deck of 32,767 cards whose
// items are about ten Japanese characters each. The card window takes the
// deck's bytes on its own thread (BM_RecoverySnapshot: the only part that
// can delay a keypress); the store's worker writes them, syncing each file
// before it replaces the last (BM_RecoveryCopyWrite, measured to its end).

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <stdexcept>
#include <string>

#include "bench/BenchDecks.h"
#include "deck/DeckRecord.h"
#include "recovery/RecoveryStore.h"

namespace {

using korva::CardData;

void BM_RecoverySnapshot(benchmark::State& state) {
    const CardData deck = korva::bench::MakeDeck(korva::MaxCards);
    for (auto _ : state) {
        std::string record = korva::WriteDeckRecord(deck);
        benchmark::DoNotOptimize(record);
    }
    state.SetItemsProcessed(state.iterations() * korva::MaxCards);
}

void BM_RecoveryCopyWrite(benchmark::State& state) {
    QTemporaryDir root;
    if (!root.isValid()) {
        throw std::runtime_error("no temporary folder");
    }
    korva::RecoveryStore store(root.path());
    const std::string record = korva::WriteDeckRecord(korva::bench::MakeDeck(korva::MaxCards));
    const korva::RecoveryOrigin origin{root.filePath(QStringLiteral("deck.krv")), QStringLiteral("deck.krv")};
    for (auto _ : state) {
        store.SubmitCopy(1, record, origin);
        if (!store.WaitFor(1)) {
            state.SkipWithError("the copy was not written");
        }
    }
    state.SetItemsProcessed(state.iterations() * korva::MaxCards);
}

}  // namespace

BENCHMARK(BM_RecoverySnapshot)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecoveryCopyWrite)->Unit(benchmark::kMillisecond);
