// What keeping a recovery copy costs for a full deck of 32,767 cards whose
// items are about ten Japanese characters each. The card window takes the
// deck's bytes on its own thread (BM_RecoverySnapshot: the only part that
// can delay a keypress); the store's worker writes them, syncing each file
// before it replaces the last (BM_RecoveryCopyWrite, measured to its end).
// BM_RecoveryWriteShare studies a large deck without pause and shows which
// share of the time goes into its copies.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>

#include <memory>
#include <stdexcept>
#include <string>

#include "bench/BenchDecks.h"
#include "cardwindow/RecoveryKeeper.h"
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

// A full deck whose items are about 600 bytes each: some 40 MB on disk.
CardData LargeDeck() {
    CardData deck = korva::bench::MakeDeck(korva::MaxCards);
    for (auto& items : deck.Items) {
        for (std::string& text : items) {
            std::string longer;
            for (int i = 0; i < 30; ++i) {
                longer += text;
            }
            text = std::move(longer);
        }
    }
    return deck;
}

// A change every 20 ms for 10 seconds, the write delay shortened to 100 ms so
// that the run is short. The window's part, the snapshot, is timed as it
// happens; the worker's part is the copies taken times the time one write
// takes alone, at most the whole run, since the worker writes one at a time.
void BM_RecoveryWriteShare(benchmark::State& state) {
    int argc = 1;
    char name[] = "bench_recovery";
    char* argv[] = {name, nullptr};
    const std::unique_ptr<QCoreApplication> app(QCoreApplication::instance() ? nullptr
                                                                             : new QCoreApplication(argc, argv));
    QTemporaryDir root;
    if (!root.isValid()) {
        throw std::runtime_error("no temporary folder");
    }
    korva::RecoveryStore store(root.path());
    store.setWriteDelayMs(100);
    const CardData deck = LargeDeck();
    const korva::RecoveryOrigin origin{root.filePath(QStringLiteral("deck.krv")), QStringLiteral("deck.krv")};
    QElapsedTimer clock;
    clock.start();
    store.SubmitCopy(1000, korva::WriteDeckRecord(deck), origin);
    store.WaitFor(1000);
    const double writeMs = static_cast<double>(clock.elapsed());

    for (auto _ : state) {
        int copies = 0;
        qint64 snapshotMs = 0;
        korva::RecoveryKeeper keeper(&store, [&] {
            QElapsedTimer snapshot;
            snapshot.start();
            std::string record = korva::WriteDeckRecord(deck);
            snapshotMs += snapshot.elapsed();
            ++copies;
            return std::make_pair(std::move(record), origin);
        });
        QTimer changes;
        QObject::connect(&changes, &QTimer::timeout, [&keeper] { keeper.Changed(); });
        changes.start(20);
        QEventLoop loop;
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        clock.restart();
        loop.exec();
        changes.stop();
        const double runMs = static_cast<double>(clock.elapsed());
        keeper.Remove();
        store.WaitForWriter();
        state.counters["copies"] = copies;
        state.counters["snapshot_share"] = static_cast<double>(snapshotMs) / runMs;
        state.counters["write_share"] = std::min(runMs, copies * writeMs) / runMs;
    }
}

}  // namespace

BENCHMARK(BM_RecoverySnapshot)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecoveryCopyWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecoveryWriteShare)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
