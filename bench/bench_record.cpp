// The record window as a learner opens it on a deck with a million answers:
// the figures worked out of the record and the deck's memory, and the first
// paint of the calendar and the forecast, offscreen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>

#include "bench/BenchDecks.h"
#include "deck/KorvaFile.h"
#include "document/DeckSession.h"
#include "record/frmRecord.h"

namespace {

constexpr int64_t Now = 1'717'218'000'000;  // 2024-06-01T05:00:00Z

QApplication& Application() {
    static int argc = 1;
    static char name[] = "bench_record";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static auto* app = new QApplication(argc, argv);
    return *app;
}

void OpenRecordWindow(benchmark::State& state) {
    Application();
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("record.korva"));
    korva::SaveKorvaFile(path.toStdString(), korva::bench::StudiedDeck(static_cast<std::size_t>(state.range(0)), Now));
    auto session = std::make_shared<korva::DeckSession>(std::make_shared<korva::DeckDocument>());
    const korva::DeckDocument::WordListChooser none = [](const QString&, const auto&) {
        return std::nullopt;
    };
    if (!session->getDocument().Open(path, QStringLiteral("record.korva"), none).isDone()) {
        state.SkipWithError("the deck did not open");
        return;
    }
    session->getDocument().setClock([] { return Now; });
    for (auto _ : state) {
        korva::frmRecord window(session);
        window.setAttribute(Qt::WA_DeleteOnClose, false);
        benchmark::DoNotOptimize(window.grab());
    }
}

}  // namespace

BENCHMARK(OpenRecordWindow)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
