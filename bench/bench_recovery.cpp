// What keeping a recovery copy costs for a full deck of 32,767 cards whose
// items are about ten Japanese characters each. The card window takes the
// deck's bytes on its own thread (BM_RecoverySnapshot: the only part that
// can delay a keypress); the store's worker writes them, syncing each file
// before it replaces the last (BM_RecoveryCopyWrite, measured to its end).

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <stdexcept>
#include <string>

#include "deck/DeckRecord.h"
#include "recovery/RecoveryStore.h"

namespace {

using korva::CardData;

std::string JapaneseText(int card, int item) {
    std::string text;
    for (int i = 0; i < 10; ++i) {
        text.push_back('\x82');
        text.push_back(static_cast<char>(0x9F + (card * 7 + item * 3 + i) % 83));
    }
    return text;
}

CardData MakeFullDeck() {
    CardData d;
    const auto size = static_cast<std::size_t>(korva::MaxCards) + 1;
    d.Items.resize(size);
    d.Checks.resize(size);
    d.QuestionItems.assign(size, 1);
    for (int c = 1; c <= korva::MaxCards; ++c) {
        d.Items[c][1] = JapaneseText(c, 1);
        d.Items[c][2] = JapaneseText(c, 2);
        d.Checks[c][1] = c % 3 == 0 ? korva::True16 : korva::False16;
    }
    d.Modes = korva::ImportedModes;
    return d;
}

void BM_RecoverySnapshot(benchmark::State& state) {
    const CardData deck = MakeFullDeck();
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
    const std::string record = korva::WriteDeckRecord(MakeFullDeck());
    const korva::RecoveryOrigin origin{root.filePath(QStringLiteral("deck.krv")), QStringLiteral("deck.krv")};
    for (auto _ : state) {
        store.SubmitCopy(1, record, origin);
        if (!store.WaitForWriter()) {
            state.SkipWithError("the copy was not written");
        }
    }
    state.SetItemsProcessed(state.iterations() * korva::MaxCards);
}

}  // namespace

BENCHMARK(BM_RecoverySnapshot)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecoveryCopyWrite)->Unit(benchmark::kMillisecond);
