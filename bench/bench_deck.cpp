// Load, save and CSV import of decks of 1,024 and 32,767 cards whose items
// are about ten Japanese characters each, and the word-list reader over a
// list as spreadsheets write it, over one that needs every character
// replaced and over one line of a million fields. items_per_second is cards
// per second, so the per-card cost of both sizes can be compared directly.

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

#include <stdexcept>
#include <string>

#include "bench/BenchDecks.h"
#include "deck/CsvImport.h"
#include "deck/DeckFile.h"
#include "deck/DeckPath.h"
#include "deck/FileBytes.h"
#include "deck/WordList.h"

namespace {

using korva::CardData;
using korva::bench::JapaneseText;
using korva::bench::MakeDeck;

std::string MakeCsv(int total) {
    std::string csv;
    for (int c = 1; c <= total; ++c) {
        csv += JapaneseText(c, 1) + "," + JapaneseText(c, 2) + "\r\n";
    }
    return csv;
}

// A list as LibreOffice writes it: UTF-8, LF, a meaning quoted because it
// holds a comma. 32,767 cards make about 2 MB.
std::string MakeUtf8List(int total) {
    std::string list;
    for (int c = 1; c <= total; ++c) {
        list += "\xE3\x81\x8B\xE3\x81\xAA\xE3\x81\xA7\xE6\xBC\xA2\xE5\xAD\x97\xE8\xAA\xAD\xE3\x82\x80" +
                std::to_string(c) + ",\"to read, to say, to speak aloud " + std::to_string(c) + "\"\n";
    }
    return list;
}

class Folder {
public:
    Folder() {
        if (!Dir_.isValid()) {
            throw std::runtime_error("no temporary folder");
        }
    }
    std::string Path(const char* name) const { return Dir_.path().toStdString() + "/" + name; }

private:
    QTemporaryDir Dir_;
};

void WriteFile(const std::string& path, const std::string& bytes) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes.data(), static_cast<qint64>(bytes.size())) < 0) {
        throw std::runtime_error("cannot write " + path);
    }
}

void BM_LoadCardFile(benchmark::State& state) {
    const int total = static_cast<int>(state.range(0));
    Folder dir;
    korva::SaveCardFile(dir.Path("deck.krv"), MakeDeck(total));
    for (auto _ : state) {
        CardData deck;
        korva::LoadCardFile(dir.Path("deck.krv"), deck, false);
        benchmark::DoNotOptimize(deck);
    }
    state.SetItemsProcessed(state.iterations() * total);
}

void BM_SaveCardFile(benchmark::State& state) {
    const int total = static_cast<int>(state.range(0));
    Folder dir;
    const CardData deck = MakeDeck(total);
    for (auto _ : state) {
        korva::SaveCardFile(dir.Path("deck.krv"), deck);
    }
    state.SetItemsProcessed(state.iterations() * total);
}

void BM_ImportCsvFile(benchmark::State& state) {
    const int total = static_cast<int>(state.range(0));
    Folder dir;
    WriteFile(dir.Path("deck.csv"), MakeCsv(total));
    for (auto _ : state) {
        CardData deck;
        korva::ImportCsvFile(dir.Path("deck.csv"), deck, false);
        benchmark::DoNotOptimize(deck);
    }
    state.SetItemsProcessed(state.iterations() * total);
}

// The same path as opening a list that is not classic: the file read,
// detected, cut with quoting, converted to code page 932 and imported.
void BM_ReadWordListFile(benchmark::State& state) {
    const int total = static_cast<int>(state.range(0));
    Folder dir;
    WriteFile(dir.Path("list.csv"), MakeUtf8List(total));
    state.counters["bytes"] = static_cast<double>(MakeUtf8List(total).size());
    for (auto _ : state) {
        CardData deck;
        korva::ReadDeckOrCsvFile(dir.Path("list.csv"), deck, false);
        benchmark::DoNotOptimize(deck);
    }
    state.SetItemsProcessed(state.iterations() * total);
}

// A classic file as the program now opens it, through the word-list reader:
// beside BM_ImportCsvFile, the cost of detecting that it is classic.
void BM_ReadClassicWordListFile(benchmark::State& state) {
    const int total = static_cast<int>(state.range(0));
    Folder dir;
    WriteFile(dir.Path("deck.csv"), MakeCsv(total));
    for (auto _ : state) {
        CardData deck;
        korva::ReadDeckOrCsvFile(dir.Path("deck.csv"), deck, false);
        benchmark::DoNotOptimize(deck);
    }
    state.SetItemsProcessed(state.iterations() * total);
}

// A list in a language code page 932 lacks, read with replacement: each of
// its 1,000 characters a line is replaced, and the list keeps only the first
// ones, so the memory stays that of its cards.
void BM_ReadWordListReplacing(benchmark::State& state) {
    const int total = static_cast<int>(state.range(0));
    std::string line;
    for (int c = 0; c < 500; ++c) {
        line += "\xC3\xA9";  // é
    }
    line += "," + line + "\n";
    std::string bytes;
    for (int c = 0; c < total; ++c) {
        bytes += line;
    }
    korva::WordListOptions options;
    options.replace = true;
    for (auto _ : state) {
        const korva::WordList list = korva::ReadWordList(bytes, options);
        state.counters["replaced"] = static_cast<double>(list.replaced.count);
        state.counters["kept"] = static_cast<double>(list.replaced.first.size());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}

// Detection reads every byte of the largest file the readers take.
void BM_DetectWordListFormat(benchmark::State& state) {
    const std::string block = MakeUtf8List(32767);
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(korva::MaxReadBytes));
    while (bytes.size() + block.size() <= static_cast<std::size_t>(korva::MaxReadBytes)) {
        bytes += block;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(korva::DetectWordListFormat(bytes));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}

// A list that is one line of a million commas, as the preview takes it:
// detected, then read. Arg 0 ends without a line end (a classic file), arg 1
// with LF (read with the spreadsheet rules). Its cost should be that of its
// megabyte, not of a million strings.
void BM_ReadWideLine(benchmark::State& state) {
    const std::string bytes = std::string(std::size_t{1} << 20, ',') + (state.range(0) == 0 ? "" : "\n");
    for (auto _ : state) {
        benchmark::DoNotOptimize(korva::DetectWordListFormat(bytes));
        const korva::WordList list = korva::ReadWordList(bytes);
        state.counters["fields"] = static_cast<double>(list.fields);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}

// Appending a file's cards grows every array of the window's deck card by
// card: linear only if the arrays are not re-allocated once per card.
void BM_AppendCardFile(benchmark::State& state) {
    const int total = static_cast<int>(state.range(0));
    Folder dir;
    korva::SaveCardFile(dir.Path("deck.krv"), MakeDeck(total));
    const CardData window = MakeDeck(1);
    for (auto _ : state) {
        CardData deck = window;
        korva::LoadCardFile(dir.Path("deck.krv"), deck, true);
        benchmark::DoNotOptimize(deck);
    }
    state.SetItemsProcessed(state.iterations() * total);
}

}  // namespace

BENCHMARK(BM_LoadCardFile)->Arg(1024)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveCardFile)->Arg(1024)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportCsvFile)->Arg(1024)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadWordListFile)->Arg(1024)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadClassicWordListFile)->Arg(1024)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadWordListReplacing)->Arg(1024)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DetectWordListFormat)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadWideLine)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AppendCardFile)->Arg(1024)->Arg(32766)->Unit(benchmark::kMillisecond);
