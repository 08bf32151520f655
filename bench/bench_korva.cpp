// The .korva deck file at its largest common size: 32,767 cards of twenty
// characters a side (Hangul on one, hiragana on the other: three UTF-8 bytes
// each) and a study record of a million review rows. Opened (with the heap
// the open deck takes beside the file's size), saved after one check mark
// (one card and one review row), and saved whole; and the size of its cards
// beside the .krv file of the same cards, the record aside.

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <sys/stat.h>

#include <QTemporaryDir>

#include <stdexcept>
#include <string>

#include "bench/BenchDecks.h"
#include "deck/Cp932Text.h"
#include "deck/DeckFile.h"
#include "deck/KorvaDeck.h"
#include "deck/KorvaFile.h"

namespace {

using korva::KorvaDeck;
using korva::KorvaSnapshot;

constexpr int Cards = korva::MaxCards;
constexpr int ReviewRows = 1'000'000;

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

// UTF-8 of code point c.
void PutUtf8(std::string& out, char32_t c) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
}

// Twenty Hangul syllables, different for each card.
std::string HangulText(int card) {
    std::string text;
    for (int i = 0; i < 20; ++i) {
        PutUtf8(text, static_cast<char32_t>(0xAC00 + (card * 31 + i * 17) % 11172));
    }
    return text;
}

// Twenty hiragana, different for each card and item: in code page 932 too.
std::string HiraganaText(int card, int item) {
    std::string text;
    for (int i = 0; i < 20; ++i) {
        PutUtf8(text, static_cast<char32_t>(0x3041 + (card * 7 + item * 3 + i) % 83));
    }
    return text;
}

KorvaDeck MakeKorvaDeck(bool hangul, int reviewRows) {
    korva::CardData cards = korva::bench::MakeDeck(Cards);
    for (int c = 1; c <= Cards; ++c) {
        cards.Items[static_cast<std::size_t>(c)][1] = hangul ? HangulText(c) : HiraganaText(c, 1);
        cards.Items[static_cast<std::size_t>(c)][2] = HiraganaText(c, 2);
    }
    KorvaDeck deck = korva::MakeKorvaDeck(std::move(cards), 1'700'000'000'000, "1.0");
    deck.record.reserve(static_cast<std::size_t>(reviewRows) + 1000);
    for (int r = 0; r < reviewRows; ++r) {
        deck.record.push_back({.timeMs = 1'700'000'000'000 + std::int64_t{r} * 4000,
                               .cardId = 1 + (r * 7919) % Cards,
                               .item = static_cast<std::int16_t>(1 + r % 2),
                               .checked = r % 3 == 0,
                               .style = r % 4 == 0 ? korva::AnswerTest : korva::AnswerNormal,
                               .judged = static_cast<std::int8_t>(r % 4 == 0 ? r % 2 : -1)});
    }
    return deck;
}

const KorvaDeck& LargeDeck() {
    static const KorvaDeck deck = MakeKorvaDeck(true, ReviewRows);
    return deck;
}

std::int64_t FileSize(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        throw std::runtime_error("cannot stat " + path);
    }
    return info.st_size;
}

void BM_OpenKorvaFile(benchmark::State& state) {
    Folder dir;
    korva::SaveKorvaFile(dir.Path("deck.korva"), LargeDeck());
    const auto fileBytes = static_cast<double>(FileSize(dir.Path("deck.korva")));
    state.counters["file_bytes"] = fileBytes;
    double deckBytes = 0;
    for (auto _ : state) {
        // What the open deck holds on the heap, SQLite's own cache closed by then.
        const std::size_t before = mallinfo2().uordblks;
        KorvaSnapshot snapshot;
        KorvaDeck deck = korva::LoadKorvaFile(dir.Path("deck.korva"), snapshot);
        deckBytes = static_cast<double>(mallinfo2().uordblks - before);
        benchmark::DoNotOptimize(deck);
    }
    state.counters["deck_bytes"] = deckBytes;
    state.counters["deck_per_file"] = deckBytes / fileBytes;
}

// A check mark as study makes it: the card's mark flips and one review row
// is added; the save writes those, the deck row and nothing else.
void BM_SaveKorvaCheckMark(benchmark::State& state) {
    Folder dir;
    const std::string path = dir.Path("deck.korva");
    KorvaDeck deck = LargeDeck();
    KorvaSnapshot snapshot = korva::SaveKorvaFile(path, deck);
    int card = 1;
    for (auto _ : state) {
        auto& mark = deck.cards.Checks[static_cast<std::size_t>(card)][1];
        mark = mark != 0 ? korva::False16 : korva::True16;
        deck.record.push_back({.timeMs = deck.record.back().timeMs + 4000,
                               .cardId = deck.cardIds[static_cast<std::size_t>(card)],
                               .item = 1,
                               .checked = mark != 0});
        deck.savedMs = deck.record.back().timeMs;
        korva::SaveKorvaChanges(path, deck, snapshot);
        card = card % Cards + 1;
    }
}

void BM_SaveKorvaFileWhole(benchmark::State& state) {
    Folder dir;
    for (auto _ : state) {
        korva::SaveKorvaFile(dir.Path("deck.korva"), LargeDeck());
    }
}

// The same cards in both files, hiragana on both sides so that code page
// 932 holds them; the .korva file without its record.
void BM_KorvaSizeBesideKrv(benchmark::State& state) {
    Folder dir;
    const KorvaDeck deck = MakeKorvaDeck(false, 0);
    korva::CardData krv = deck.cards;
    for (int c = 1; c <= Cards; ++c) {
        for (int item = 1; item <= 2; ++item) {
            auto& text = krv.Items[static_cast<std::size_t>(c)][static_cast<std::size_t>(item)];
            text = korva::Utf8ToCp932(text).value();
        }
    }
    for (auto _ : state) {
        korva::SaveKorvaFile(dir.Path("deck.korva"), deck);
        korva::SaveCardFile(dir.Path("deck.krv"), krv);
    }
    const auto korvaBytes = static_cast<double>(FileSize(dir.Path("deck.korva")));
    const auto krvBytes = static_cast<double>(FileSize(dir.Path("deck.krv")));
    state.counters["korva_bytes"] = korvaBytes;
    state.counters["krv_bytes"] = krvBytes;
    state.counters["korva_per_krv"] = korvaBytes / krvBytes;
}

}  // namespace

BENCHMARK(BM_OpenKorvaFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveKorvaCheckMark)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveKorvaFileWhole)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KorvaSizeBesideKrv)->Unit(benchmark::kMillisecond)->Iterations(1);
