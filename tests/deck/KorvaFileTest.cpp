#include <signal.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "deck/DeckError.h"
#include "deck/KorvaDeck.h"
#include "deck/KorvaFile.h"
#include "tests/deck/DeckTestSupport.h"

using namespace korva;
using korva::test::TempFolder;

namespace {

// Texts of many scripts, with the line breaks and empty items a deck holds.
const std::vector<std::string> Texts = {
    "안녕하세요",
    "한국어를 공부합니다",
    "简体中文，学习汉字",
    "繁體中文，學習漢字",
    "café précomposé",
    "cafe\u0301 de\u0301compose\u0301",
    "Tiếng Việt có dấu: người, được, ữ",
    "😀 👩‍👩‍👧‍👦 🇫🇷",
    "line one\nline two",
    "crlf\r\nbreak\r\n",
    "cr\ronly",
    "",
    "\n",
    std::string("nul\0inside", 10),
    "日本語のカード",
};

KorvaDeck SampleDeck(int total) {
    KorvaDeck deck;
    CardData& cards = deck.cards;
    const auto size = static_cast<std::size_t>(total) + 1;
    cards.Items.resize(size);
    cards.Checks.resize(size);
    cards.QuestionItems.resize(size);
    deck.cardIds.assign(size, 0);
    const int16_t rawChecks[] = {True16, False16, 1, 7, -32768, 32767};
    for (std::size_t c = 1; c < size; ++c) {
        cards.Items[c][1] = Texts[c % Texts.size()] + std::to_string(c);
        cards.Items[c][2] = Texts[(c * 7 + 3) % Texts.size()];
        cards.Checks[c] = {rawChecks[c % 6], rawChecks[(c + 1) % 6], rawChecks[(c + 4) % 6]};
        cards.QuestionItems[c] = static_cast<int16_t>(c % 3);
        // Ids with gaps, as removals leave them, some past 32 bits.
        deck.cardIds[c] = c % 5 == 0 ? (int64_t{1} << 40) + static_cast<int64_t>(c) : static_cast<int64_t>(c * 3);
    }
    cards.Modes = StudyModes{TurnShuffle, 0xA5, ViewChecked, AnswerTest};
    deck.nextCardId = (int64_t{1} << 40) + total + 1;
    for (int r = 0; r < total * 2; ++r) {
        deck.record.push_back({.timeMs = 1'700'000'000'000 + int64_t{r} * 1000,
                               .cardId = deck.cardIds[static_cast<std::size_t>(r % total) + 1],
                               .item = static_cast<int16_t>(1 + r % 2),
                               .checked = r % 3 == 0,
                               .style = r % 4 == 0 ? AnswerTest : AnswerNormal,
                               .judged = static_cast<int8_t>(r % 3 - 1)});
    }
    deck.record.push_back({.timeMs = -5, .cardId = 999'999, .item = 2, .checked = true, .style = 255, .judged = -128});
    deck.createdMs = 1'690'000'000'000;
    deck.savedMs = 1'700'000'123'456;
    deck.savedByVersion = "1.0 ベータ";
    // Memory of some cards in one direction or both, and of a card no longer
    // in the deck, which is not kept; values at the edges of their ranges.
    for (int c = 1; c <= total; c += 2) {
        const auto id = deck.cardIds[static_cast<std::size_t>(c)];
        const MemoryState state{.stability = c == 1 ? 1e-300 : 0.1 * c,
                                .difficulty = c == 3 ? 10.0 : 1 + c % 9 + 0.125,
                                .due = c == 5 ? INT64_MIN : 1'700'000'000'000 + c,
                                .lastReview = -c,
                                .reviews = c,
                                .lapses = c / 2};
        deck.memory[id][static_cast<std::size_t>(c % 3 == 0 ? 1 : 0)] = state;
        if (c % 5 == 0) {
            deck.memory[id] = {state, state};
        }
    }
    deck.memory[123'456'789][0] = MemoryState{.stability = 1, .difficulty = 1, .reviews = 1};
    deck.memoryRows = deck.record.size();
    deck.settings = {.newCardsPerDay = 9999, .desiredRetention = 0.7};
    return deck;
}

void AddCard(KorvaDeck& deck, std::size_t at, const std::string& text) {
    CardData& cards = deck.cards;
    const auto offset = static_cast<std::ptrdiff_t>(at);
    cards.Items.insert(cards.Items.begin() + offset, {"", text, "뒷면 " + text});
    cards.Checks.insert(cards.Checks.begin() + offset, {0, True16, 0});
    cards.QuestionItems.insert(cards.QuestionItems.begin() + offset, 1);
    deck.cardIds.insert(deck.cardIds.begin() + offset, NewCardId(deck));
}

void RemoveCard(KorvaDeck& deck, std::size_t at) {
    const auto offset = static_cast<std::ptrdiff_t>(at);
    deck.cards.Items.erase(deck.cards.Items.begin() + offset);
    deck.cards.Checks.erase(deck.cards.Checks.begin() + offset);
    deck.cards.QuestionItems.erase(deck.cards.QuestionItems.begin() + offset);
    deck.cardIds.erase(deck.cardIds.begin() + offset);
}

void MoveCard(KorvaDeck& deck, std::size_t from, std::size_t to) {
    const auto rotate = [&](auto& v) {
        if (from < to) {
            std::rotate(v.begin() + static_cast<std::ptrdiff_t>(from),
                        v.begin() + static_cast<std::ptrdiff_t>(from) + 1,
                        v.begin() + static_cast<std::ptrdiff_t>(to) + 1);
        } else {
            std::rotate(v.begin() + static_cast<std::ptrdiff_t>(to), v.begin() + static_cast<std::ptrdiff_t>(from),
                        v.begin() + static_cast<std::ptrdiff_t>(from) + 1);
        }
    };
    rotate(deck.cards.Items);
    rotate(deck.cards.Checks);
    rotate(deck.cards.QuestionItems);
    rotate(deck.cardIds);
}

// A check, its review row and a memory that accounts for it (what the
// memory is, the file does not judge).
void Check(KorvaDeck& deck, std::size_t card, int64_t timeMs) {
    deck.cards.Checks[card][1] = deck.cards.Checks[card][1] != 0 ? False16 : True16;
    deck.record.push_back(
        {.timeMs = timeMs, .cardId = deck.cardIds[card], .item = 1, .checked = deck.cards.Checks[card][1] != 0});
    CardMemory& memory = deck.memory[deck.cardIds[card]][0];
    const int32_t reviews = memory ? memory->reviews + 1 : 1;
    memory = MemoryState{
        .stability = 2.5 * reviews, .difficulty = 5, .due = timeMs, .lastReview = timeMs, .reviews = reviews};
    deck.memoryRows = deck.record.size();
}

DeckErrorKind KindOfLoad(const std::string& path) {
    try {
        LoadKorvaFile(path);
    } catch (const DeckError& error) {
        return error.kind();
    }
    ADD_FAILURE() << "loaded " << path;
    return DeckErrorKind::CannotRead;
}

// Runs SQL on a file as another program would.
void RunSql(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    char* message = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message), SQLITE_OK) << (message ? message : "");
    sqlite3_free(message);
    sqlite3_close(db);
}

// Every row of every table as text, the revision stamp aside.
std::string TableText(const std::string& path) {
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    std::string text;
    for (const char* query :
         {"SELECT turn_mode, reserved_mode, view_kind, answer_mode, created_ms, saved_ms, saved_by, next_card_id, "
          "new_cards_per_day, desired_retention, memory_rows FROM deck",
          "SELECT * FROM card ORDER BY id", "SELECT * FROM review ORDER BY rowid",
          "SELECT card_id, item, quote(stability), quote(difficulty), due_ms, last_review_ms, reviews, lapses "
          "FROM memory ORDER BY card_id, item"}) {
        sqlite3_stmt* statement = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db, query, -1, &statement, nullptr), SQLITE_OK);
        while (sqlite3_step(statement) == SQLITE_ROW) {
            for (int c = 0; c < sqlite3_column_count(statement); ++c) {
                const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, c));
                text.append(bytes != nullptr ? bytes : "",
                            static_cast<std::size_t>(sqlite3_column_bytes(statement, c)));
                text += '|';
            }
            text += '\n';
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return text;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    for (const QString& name : QDir(QString::fromStdString(folder)).entryList(QDir::Files | QDir::Hidden)) {
        names.push_back(name.toStdString());
    }
    return names;
}

}  // namespace

// Every kind of text, raw mark, question item, id and record row comes back
// as it was, and the texts are plain UTF-8 text to any other reader.
TEST(KorvaFile, RoundTripsEveryValue) {
    TempFolder folder;
    for (const int total : {0, 1, 40}) {
        const std::string path = folder.Path("deck" + std::to_string(total) + ".korva");
        const KorvaDeck deck = SampleDeck(total);
        SaveKorvaFile(path, deck);
        const KorvaDeck loaded = LoadKorvaFile(path);
        EXPECT_TRUE(SameKorvaDeck(loaded, deck)) << total;
        EXPECT_EQ(loaded.cards.encoding, ItemEncoding::Utf8) << total;
    }
    const std::string path = folder.Path("deck40.korva");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* statement = nullptr;
    ASSERT_EQ(
        sqlite3_prepare_v2(db, "SELECT item1, typeof(item1) FROM card WHERE position = 1", -1, &statement, nullptr),
        SQLITE_OK);
    ASSERT_EQ(sqlite3_step(statement), SQLITE_ROW);
    EXPECT_EQ(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)), Texts[1] + "1");
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(statement, 1)), "text");
    sqlite3_finalize(statement);
    sqlite3_close(db);
    EXPECT_EQ(FolderEntries(folder.Path("")), (std::vector<std::string>{"deck0.korva", "deck1.korva", "deck40.korva"}));
}

// A record long enough to be read by several threads at once comes back
// whole and in order, across a gap in its rowids, and damage in its last
// rows is still found.
TEST(KorvaFile, ReadsLongRecordWholeAndInOrder) {
    TempFolder folder;
    const std::string path = folder.Path("long.korva");
    KorvaDeck deck = SampleDeck(3);
    deck.memory.clear();
    deck.memoryRows = 0;
    for (int r = 0; deck.record.size() < 300'001; ++r) {
        deck.record.push_back({.timeMs = r,
                               .cardId = deck.cardIds[static_cast<std::size_t>(1 + r % 3)],
                               .item = static_cast<int16_t>(1 + r % 2),
                               .checked = r % 5 == 0});
    }
    SaveKorvaFile(path, deck);
    RunSql(path, "DELETE FROM review WHERE rowid BETWEEN 1000 AND 60999");
    deck.record.erase(deck.record.begin() + 999, deck.record.begin() + 60'999);
    const std::vector<ReviewRow> loaded = LoadKorvaFile(path).record;
    ASSERT_EQ(loaded.size(), deck.record.size());
    EXPECT_EQ(std::mismatch(loaded.begin(), loaded.end(), deck.record.begin()).first - loaded.begin(), loaded.size());
    RunSql(path, "UPDATE review SET item = 'x' WHERE rowid = (SELECT max(rowid) FROM review)");
    EXPECT_EQ(KindOfLoad(path), DeckErrorKind::DatabaseDamaged);
}

TEST(KorvaFile, NewDeckGivesIdsNeverUsedBefore) {
    CardData cards;
    cards.Items = {{"x", "card0", ""}, {"slot0", "a", "b"}, {"", "c", "d"}};
    cards.Checks = {{1, 1, 1}, {0, True16, 0}, {0, 0, 5}};
    cards.QuestionItems = {-2, 1, 2};
    KorvaDeck deck = MakeKorvaDeck(cards, 1234, "1.0");
    EXPECT_EQ(deck.cardIds, (std::vector<int64_t>{0, 1, 2}));
    EXPECT_EQ(deck.cards.Items[1], (CardData::ItemTexts{"", "a", "b"}));
    EXPECT_EQ(deck.cards.Checks[2][2], 5);
    RemoveCard(deck, 2);
    TempFolder folder;
    const std::string path = folder.Path("ids.korva");
    SaveKorvaFile(path, deck);
    KorvaDeck loaded = LoadKorvaFile(path);
    EXPECT_EQ(NewCardId(loaded), 3);  // 2 was removed, and stays used
}

// Each change, saved through the snapshot, gives the file the deck in memory,
// row for row what a whole save writes; changes pile up through one snapshot.
TEST(KorvaFile, SavesChangesAsAWholeSaveWould) {
    const struct {
        const char* name;
        std::function<void(KorvaDeck&)> change;
    } cases[] = {
        {"nothing",
         [](KorvaDeck&) {
         }},
        {"check mark",
         [](KorvaDeck& d) {
             Check(d, 7, 1'800'000'000'000);
         }},
        {"edit text",
         [](KorvaDeck& d) {
             d.cards.Items[3][2] = "수정된 텍스트\n두 줄";
         }},
        {"question item",
         [](KorvaDeck& d) {
             d.cards.QuestionItems[4] = 0;
         }},
        {"raw check 0",
         [](KorvaDeck& d) {
             d.cards.Checks[5][0] = 99;
         }},
        {"insert first",
         [](KorvaDeck& d) {
             AddCard(d, 1, "처음");
         }},
        {"insert middle",
         [](KorvaDeck& d) {
             AddCard(d, 20, "中间");
         }},
        {"insert last",
         [](KorvaDeck& d) {
             AddCard(d, d.cardIds.size(), "最後");
         }},
        {"remove first",
         [](KorvaDeck& d) {
             RemoveCard(d, 1);
         }},
        {"remove last",
         [](KorvaDeck& d) {
             RemoveCard(d, d.cardIds.size() - 1);
         }},
        {"move down",
         [](KorvaDeck& d) {
             MoveCard(d, 2, 30);
         }},
        {"move up",
         [](KorvaDeck& d) {
             MoveCard(d, 30, 1);
         }},
        {"move and edit",
         [](KorvaDeck& d) {
             MoveCard(d, 10, 11);
             d.cards.Items[11][1] = "Việt";
         }},
        {"remove then insert",
         [](KorvaDeck& d) {
             RemoveCard(d, 5);
             AddCard(d, 5, "replacement");
         }},
        {"reverse all",
         [](KorvaDeck& d) {
             for (std::size_t i = 1, j = d.cardIds.size() - 1; i < j; ++i, --j) {
                 std::swap(d.cards.Items[i], d.cards.Items[j]);
                 std::swap(d.cards.Checks[i], d.cards.Checks[j]);
                 std::swap(d.cards.QuestionItems[i], d.cards.QuestionItems[j]);
                 std::swap(d.cardIds[i], d.cardIds[j]);
             }
         }},
        {"modes and metadata",
         [](KorvaDeck& d) {
             d.cards.Modes = StudyModes{TurnNormal, 0, ViewAll, AnswerNormal};
             d.savedMs += 1;
             d.savedByVersion = "1.1";
         }},
        {"many review rows",
         [](KorvaDeck& d) {
             for (int r = 0; r < 100; ++r) {
                 Check(d, 1 + static_cast<std::size_t>(r) % 10, 1'900'000'000'000 + r);
             }
         }},
        {"record cleared",
         [](KorvaDeck& d) {
             d.record.resize(3);
         }},
        {"memory replayed from fewer rows",
         [](KorvaDeck& d) {
             d.memory.clear();
             d.memoryRows = 0;
             Check(d, 2, 1'900'000'000'000);
             d.memoryRows = 1;
         }},
        {"retention set",
         [](KorvaDeck& d) {
             d.settings = {.newCardsPerDay = 0, .desiredRetention = 0.97};
             for (auto& [id, memories] : d.memory) {
                 if (memories[0]) {
                     memories[0]->due += 1;
                 }
             }
         }},
        {"reviewed card removed",
         [](KorvaDeck& d) {
             Check(d, 4, 1'900'000'000'000);
             RemoveCard(d, 4);
         }},
        {"every card removed",
         [](KorvaDeck& d) {
             while (d.cardIds.size() > 1) {
                 RemoveCard(d, 1);
             }
         }},
    };
    TempFolder folder;
    const std::string path = folder.Path("deck.korva");
    const std::string whole = folder.Path("whole.korva");
    KorvaDeck piled = SampleDeck(40);
    KorvaSnapshot piledSnapshot = SaveKorvaFile(path, piled);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string single = folder.Path("single.korva");
        KorvaDeck deck = SampleDeck(40);
        SaveKorvaFile(single, deck);
        KorvaSnapshot snapshot;
        deck = LoadKorvaFile(single, snapshot);
        c.change(deck);
        SaveKorvaChanges(single, deck, snapshot);
        EXPECT_TRUE(SameKorvaDeck(LoadKorvaFile(single), deck));
        SaveKorvaFile(whole, deck);
        EXPECT_EQ(TableText(single), TableText(whole));
        EXPECT_FALSE(test::FileExists(single + "-journal"));

        c.change(piled);
        SaveKorvaChanges(path, piled, piledSnapshot);
        EXPECT_TRUE(SameKorvaDeck(LoadKorvaFile(path), piled));
        SaveKorvaFile(whole, piled);
        EXPECT_EQ(TableText(path), TableText(whole));
    }
    EXPECT_EQ(FolderEntries(folder.Path("")), (std::vector<std::string>{"deck.korva", "single.korva", "whole.korva"}));
}

// A check mark on a large deck touches a handful of pages: its card's, the
// record's last, its memory's, the deck row's and the header.
TEST(KorvaFile, CheckMarkRewritesFewPages) {
    TempFolder folder;
    const std::string path = folder.Path("large.korva");
    KorvaDeck deck = SampleDeck(5000);
    KorvaSnapshot snapshot = SaveKorvaFile(path, deck);
    const std::string before = test::ReadBytes(path);
    Check(deck, 2500, 1'800'000'000'000);
    SaveKorvaChanges(path, deck, snapshot);
    const std::string after = test::ReadBytes(path);
    constexpr std::size_t page = 4096;
    std::size_t changed = (std::max(before.size(), after.size()) - std::min(before.size(), after.size())) / page;
    for (std::size_t at = 0; at < std::min(before.size(), after.size()); at += page) {
        changed += before.compare(at, page, after, at, page) != 0 ? 1 : 0;
    }
    EXPECT_LE(changed, 6U);
    EXPECT_GE(changed, 3U);
    EXPECT_TRUE(SameKorvaDeck(LoadKorvaFile(path), deck));
}

// A save through a snapshot of another file, or over a file that is no
// .korva deck, writes the whole deck.
TEST(KorvaFile, SnapshotOfAnotherFileSavesWhole) {
    TempFolder folder;
    const std::string path = folder.Path("deck.korva");
    KorvaDeck mine = SampleDeck(10);
    KorvaSnapshot snapshot = SaveKorvaFile(path, mine);
    SaveKorvaFile(path, SampleDeck(12));  // saved elsewhere meanwhile
    Check(mine, 3, 5);
    SaveKorvaChanges(path, mine, snapshot);
    EXPECT_TRUE(SameKorvaDeck(LoadKorvaFile(path), mine));

    test::WriteBytes(path, "not a database at all, some text");
    Check(mine, 4, 6);
    SaveKorvaChanges(path, mine, snapshot);
    EXPECT_TRUE(SameKorvaDeck(LoadKorvaFile(path), mine));

    KorvaSnapshot none;
    SaveKorvaChanges(folder.Path("new.korva"), mine, none);
    EXPECT_TRUE(SameKorvaDeck(LoadKorvaFile(folder.Path("new.korva")), mine));
    EXPECT_EQ(none.recordRows, mine.record.size());
}

TEST(KorvaFile, RefusesDecksItCannotWrite) {
    TempFolder folder;
    const std::string path = folder.Path("deck.korva");
    const struct {
        const char* name;
        std::function<void(KorvaDeck&)> breakIt;
        DeckErrorKind kind;
    } cases[] = {
        {"ids too few", [](KorvaDeck& d) { d.cardIds.pop_back(); }, DeckErrorKind::UnevenArrays},
        {"checks too few", [](KorvaDeck& d) { d.cards.Checks.pop_back(); }, DeckErrorKind::UnevenArrays},
        {"id twice", [](KorvaDeck& d) { d.cardIds[4] = d.cardIds[2]; }, DeckErrorKind::CardIdBroken},
        {"id zero", [](KorvaDeck& d) { d.cardIds[3] = 0; }, DeckErrorKind::CardIdBroken},
        {"inserted id twice",
         [](KorvaDeck& d) {
             AddCard(d, 1, "a");
             AddCard(d, 1, "b");
             d.cardIds[2] = d.cardIds[1];
         },
         DeckErrorKind::CardIdBroken},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const KorvaDeck good = SampleDeck(8);
        KorvaSnapshot snapshot = SaveKorvaFile(path, good);
        KorvaDeck deck = good;
        c.breakIt(deck);
        const KorvaSnapshot kept = snapshot;
        for (const bool whole : {true, false}) {
            try {
                if (whole) {
                    SaveKorvaFile(path, deck);
                } else {
                    SaveKorvaChanges(path, deck, snapshot);
                }
                ADD_FAILURE() << "saved";
            } catch (const DeckError& error) {
                EXPECT_EQ(error.kind(), c.kind);
            }
            EXPECT_TRUE(SameKorvaDeck(LoadKorvaFile(path), good));
            EXPECT_EQ(snapshot.revision, kept.revision);
        }
    }
}

TEST(KorvaFile, RefusesFilesThatAreNotItsDecks) {
    TempFolder folder;
    const KorvaDeck deck = SampleDeck(300);
    const auto saved = [&](const std::string& name) {
        std::string path = folder.Path(name);
        SaveKorvaFile(path, deck);
        return path;
    };
    const auto overwrite = [](const std::string& path, std::size_t at, std::size_t length) {
        std::string bytes = test::ReadBytes(path);
        bytes.replace(at, length, std::string(length, '\x55'));
        test::WriteBytes(path, bytes);
    };
    const struct {
        const char* name;
        std::function<std::string()> make;
        DeckErrorKind kind;
    } cases[] = {
        {"text file",
         [&] {
             test::WriteBytes(folder.Path("a.txt"), "単語,たんご\nword,mot\n");
             return folder.Path("a.txt");
         },
         DeckErrorKind::NotKorvaDeck},
        {"empty file",
         [&] {
             test::WriteBytes(folder.Path("empty"), "");
             return folder.Path("empty");
         },
         DeckErrorKind::NotKorvaDeck},
        {"other program's database",
         [&] {
             RunSql(folder.Path("other.db"),
                    "PRAGMA application_id = 1234; CREATE TABLE t (x); INSERT INTO t VALUES (1)");
             return folder.Path("other.db");
         },
         DeckErrorKind::NotKorvaDeck},
        {"database of no program",
         [&] {
             RunSql(folder.Path("plain.db"), "CREATE TABLE card (x)");
             return folder.Path("plain.db");
         },
         DeckErrorKind::NotKorvaDeck},
        {"newer schema",
         [&] {
             std::string path = saved("newer.korva");
             RunSql(path, "PRAGMA user_version = 3");
             return path;
         },
         DeckErrorKind::NewerSchema},
        {"page of cards overwritten",
         [&] {
             std::string path = saved("cards.korva");
             overwrite(path, std::size_t{4096} * 5, 4096);
             return path;
         },
         DeckErrorKind::DatabaseDamaged},
        {"bytes in the middle overwritten",
         [&] {
             std::string path = saved("middle.korva");
             overwrite(path, test::ReadBytes(path).size() / 2 + 100, 600);
             return path;
         },
         DeckErrorKind::DatabaseDamaged},
        {"truncated",
         [&] {
             std::string path = saved("truncated.korva");
             const std::string bytes = test::ReadBytes(path);
             test::WriteBytes(path, bytes.substr(0, bytes.size() / 2));
             return path;
         },
         DeckErrorKind::DatabaseDamaged},
        {"header only",
         [&] {
             std::string path = saved("header.korva");
             test::WriteBytes(path, test::ReadBytes(path).substr(0, 50));
             return path;
         },
         DeckErrorKind::NotKorvaDeck},
        {"table missing",
         [&] {
             std::string path = saved("notable.korva");
             RunSql(path, "DROP TABLE review");
             return path;
         },
         DeckErrorKind::DatabaseDamaged},
        {"question item out of range",
         [&] {
             std::string path = saved("asked.korva");
             RunSql(path, "UPDATE card SET asked_item = 3 WHERE position = 2");
             return path;
         },
         DeckErrorKind::DatabaseDamaged},
        {"text where a number belongs",
         [&] {
             std::string path = saved("typed.korva");
             RunSql(path, "UPDATE review SET item = 'one' WHERE rowid = 5");
             return path;
         },
         DeckErrorKind::DatabaseDamaged},
        {"position missing",
         [&] {
             std::string path = saved("gap.korva");
             RunSql(path, "UPDATE card SET position = 1000 WHERE position = 3");
             return path;
         },
         DeckErrorKind::DatabaseDamaged},
        {"memory of no card",
         [&] {
             std::string path = saved("stray.korva");
             RunSql(path, "INSERT INTO memory VALUES (424242, 1, 1.5, 5.0, 0, 0, 1, 0)");
             return path;
         },
         DeckErrorKind::DatabaseDamaged},
        {"memory no review could leave",
         [&] {
             std::string path = saved("difficulty.korva");
             RunSql(path, "UPDATE memory SET difficulty = 0.5");
             return path;
         },
         DeckErrorKind::DatabaseDamaged},
        {"memory stability an integer",
         [&] {
             std::string path = saved("stability.korva");
             RunSql(path, "UPDATE memory SET stability = 'x'");
             return path;
         },
         DeckErrorKind::DatabaseDamaged},
        {"memory of rows the record lacks",
         [&] {
             std::string path = saved("rows.korva");
             RunSql(path, "UPDATE deck SET memory_rows = (SELECT count(*) + 1 FROM review)");
             return path;
         },
         DeckErrorKind::DatabaseDamaged},
        {"retention out of range",
         [&] {
             std::string path = saved("retention.korva");
             RunSql(path, "UPDATE deck SET desired_retention = 0.5");
             return path;
         },
         DeckErrorKind::DatabaseDamaged},
        {"new cards a day out of range",
         [&] {
             std::string path = saved("new.korva");
             RunSql(path, "UPDATE deck SET new_cards_per_day = 10000");
             return path;
         },
         DeckErrorKind::DatabaseDamaged},
        {"no file", [&] { return folder.Path("missing.korva"); }, DeckErrorKind::CannotOpen},
        {"folder", [&] { return folder.Path(""); }, DeckErrorKind::CannotOpen},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(KindOfLoad(c.make()), c.kind);
    }
}

namespace {

// The deck after step saves of the run below: each step changes something
// else and adds a review row, and is tagged by its save time.
KorvaDeck DeckAfter(int step) {
    KorvaDeck deck = SampleDeck(120);
    for (int s = 1; s <= step; ++s) {
        const auto card = 1 + static_cast<std::size_t>(s * 37) % (deck.cardIds.size() - 1);
        switch (s % 4) {
            case 0: deck.cards.Items[card][2] = Texts[static_cast<std::size_t>(s) % Texts.size()] + "편집"; break;
            case 1: AddCard(deck, card, "새 카드 " + std::to_string(s)); break;
            case 2: RemoveCard(deck, card); break;
            default: MoveCard(deck, card, 1); break;
        }
        Check(deck, 1, s);
    }
    deck.savedMs = step;
    return deck;
}

constexpr int KilledRuns = 40;

void Spin(unsigned spins) {
    volatile unsigned sink = 0;
    while (sink < spins) {
        sink = sink + 1;
    }
}

// How long the parent waits at most before it kills, in spins: twice the
// time of two saves on this machine and disk, so that kills fall inside
// saves and after them however fast they are. Leaves the file as it was.
unsigned SpinsPerSave(const std::string& path) {
    using Clock = std::chrono::steady_clock;
    constexpr unsigned sample = 1'000'000;
    auto start = Clock::now();
    Spin(sample);
    const double spinSeconds = std::chrono::duration<double>(Clock::now() - start).count() / sample;
    KorvaSnapshot snapshot;
    const KorvaDeck deck = LoadKorvaFile(path, snapshot);
    start = Clock::now();
    SaveKorvaChanges(path, DeckAfter(1), snapshot);
    SaveKorvaFile(path, deck);
    const double saveSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    return static_cast<unsigned>(std::min(2 * saveSeconds / spinSeconds, 1e9));
}

// The child: saves step after step, every third one whole, telling the
// parent which step it starts (step) and which it has finished (-step),
// until it is killed.
[[noreturn]] void SaveUntilKilled(const std::string& path, int fd) {
    try {
        KorvaSnapshot snapshot;
        const int from = static_cast<int>(LoadKorvaFile(path, snapshot).savedMs);
        for (int step = from + 1;; ++step) {
            const KorvaDeck deck = DeckAfter(step);
            if (::write(fd, &step, sizeof step) != sizeof step) {
                ::_exit(3);
            }
            if (step % 3 == 0) {
                snapshot = SaveKorvaFile(path, deck);
            } else {
                SaveKorvaChanges(path, deck, snapshot);
            }
            const int done = -step;
            if (::write(fd, &done, sizeof done) != sizeof done) {
                ::_exit(3);
            }
        }
    } catch (...) {
        ::_exit(2);
    }
}

}  // namespace

// However far a save got, the file loads as the deck before it or after it.
// A file of version 1 (no settings, no memory) reads as a deck whose memory
// is still to be replayed from its record, and is saved whole in version 2.
TEST(KorvaFile, ReadsVersionOneForItsRecordToBeReplayed) {
    TempFolder folder;
    const std::string path = folder.Path("one.korva");
    KorvaDeck deck = SampleDeck(12);
    SaveKorvaFile(path, deck);
    RunSql(path,
           "DROP TABLE memory; ALTER TABLE deck DROP COLUMN new_cards_per_day; ALTER TABLE deck DROP COLUMN "
           "desired_retention; ALTER TABLE deck DROP COLUMN memory_rows; PRAGMA user_version = 1");
    KorvaSnapshot snapshot;
    KorvaDeck loaded = LoadKorvaFile(path, snapshot);
    EXPECT_TRUE(loaded.memory.empty());
    EXPECT_EQ(loaded.memoryRows, 0U);
    EXPECT_EQ(loaded.settings, ScheduleSettings{});
    deck.memory.clear();
    deck.memoryRows = 0;
    deck.settings = {};
    EXPECT_TRUE(SameKorvaDeck(loaded, deck));

    loaded.memory[loaded.cardIds[2]][1] = MemoryState{.stability = 3, .difficulty = 4, .reviews = 2};
    loaded.memoryRows = loaded.record.size();
    SaveKorvaChanges(path, loaded, snapshot);
    EXPECT_TRUE(SameKorvaDeck(LoadKorvaFile(path), loaded));
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* statement = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &statement, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_step(statement), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(statement, 0), 2);
    sqlite3_finalize(statement);
    sqlite3_close(db);
}

TEST(KorvaFile, KillDuringSaveLeavesOldOrNewDeck) {
    TempFolder folder;
    const std::string path = folder.Path("deck.korva");
    SaveKorvaFile(path, DeckAfter(0));
    const unsigned mostSpins = SpinsPerSave(path);
    std::mt19937 random(20240611);
    int latest = 0;
    int cut = 0;  // runs killed inside a save
    for (int run = 0; run < KilledRuns; ++run) {
        int pipeFds[2];
        ASSERT_EQ(::pipe(pipeFds), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(pipeFds[0]);
            SaveUntilKilled(path, pipeFds[1]);
        }
        ::close(pipeFds[1]);
        int started = 0;
        ASSERT_EQ(::read(pipeFds[0], &started, sizeof started), static_cast<ssize_t>(sizeof started));
        // A busy count from a fixed seed rather than a sleep: the kills
        // spread over the saves' time and no run waits longer than that.
        const unsigned spins = std::uniform_int_distribution<unsigned>(0, mostSpins)(random);
        Spin(spins);
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "child exited " << WEXITSTATUS(status);
        int finished = started - 1;
        for (int mark = 0; ::read(pipeFds[0], &mark, sizeof mark) == sizeof mark;) {
            (mark > 0 ? started : finished) = std::abs(mark);
        }
        ::close(pipeFds[0]);
        const KorvaDeck loaded = LoadKorvaFile(path);
        const int step = static_cast<int>(loaded.savedMs);
        // A save that returned is on disk; one cut short left the deck
        // before it, or after it when only its return was cut.
        ASSERT_TRUE(step == started || (finished < started && step == started - 1))
            << "run " << run << ": " << step << " of " << started;
        ASSERT_TRUE(SameKorvaDeck(loaded, DeckAfter(step))) << "run " << run;
        cut += finished < started ? 1 : 0;
        latest = step;
    }
    // Some kills fell inside a save; how many depends on the machine's load.
    EXPECT_GT(cut, 0);
    // A journal begun but not yet written is no hot journal and may stay
    // after a kill; the next save that completes leaves none.
    KorvaSnapshot snapshot;
    KorvaDeck deck = LoadKorvaFile(path, snapshot);
    Check(deck, 1, latest + 1);
    SaveKorvaChanges(path, deck, snapshot);
    EXPECT_FALSE(test::FileExists(path + "-journal"));
    EXPECT_TRUE(SameKorvaDeck(LoadKorvaFile(path), deck));
}

// A save that finds the disk full fails and leaves the old deck whole, by
// either path: a file size limit stands in for the disk.
TEST(KorvaFile, FullDiskLeavesOldDeck) {
    TempFolder folder;
    const std::string path = folder.Path("deck.korva");
    const KorvaDeck old = SampleDeck(200);
    for (const bool whole : {true, false}) {
        SCOPED_TRACE(whole ? "whole" : "changes");
        KorvaSnapshot snapshot = SaveKorvaFile(path, old);
        KorvaDeck grown = old;
        for (int r = 0; r < 20000; ++r) {
            Check(grown, 1 + static_cast<std::size_t>(r) % 200, r);
        }
        struct stat info {};
        ASSERT_EQ(::stat(path.c_str(), &info), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{static_cast<rlim_t>(info.st_size) + 8192, static_cast<rlim_t>(info.st_size) + 8192};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            try {
                if (whole) {
                    SaveKorvaFile(path, grown);
                } else {
                    SaveKorvaChanges(path, grown, snapshot);
                }
            } catch (const DeckError& error) {
                ::_exit(error.kind() == DeckErrorKind::CannotWrite || error.kind() == DeckErrorKind::CannotSave ? 0
                                                                                                                : 4);
            }
            ::_exit(1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
        EXPECT_TRUE(SameKorvaDeck(LoadKorvaFile(path), old));
        EXPECT_EQ(FolderEntries(folder.Path("")), std::vector<std::string>{"deck.korva"});
    }
}

// Permissions stop no write of root's, so the case needs another user.
TEST(KorvaFile, ReadOnlyFolderLeavesOldDeck) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "running as root, whom permissions do not stop";
    }
    TempFolder folder;
    const std::string path = folder.Path("deck.korva");
    const KorvaDeck old = SampleDeck(20);
    KorvaSnapshot snapshot = SaveKorvaFile(path, old);
    KorvaDeck changed = old;
    Check(changed, 2, 99);
    ASSERT_EQ(::chmod(folder.Path("").c_str(), 0555), 0);
    EXPECT_THROW(SaveKorvaFile(path, changed), DeckError);
    EXPECT_THROW(SaveKorvaChanges(path, changed, snapshot), DeckError);
    ::chmod(folder.Path("").c_str(), 0755);
    EXPECT_TRUE(SameKorvaDeck(LoadKorvaFile(path), old));
}
