#include "deck/KorvaFile.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <future>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_set>
#include <utility>
#include <vector>

#include "deck/DeckError.h"
#include "deck/FileBytes.h"
#include "deck/FileCalls.h"
#include "deck/KorvaTables.h"
#include "deck/Sqlite.h"

namespace korva {

namespace {

using namespace detail;
using sqlite::Database;
using sqlite::Statement;
using sqlite::Transaction;

int64_t IntColumn(const Statement& row, int column, int64_t low, int64_t high, const char* what) {
    int64_t value = 0;
    if (!row.IntegerAt(column, value)) {
        Damaged(std::string(what) + " is not an integer");
    }
    if (value < low || value > high) {
        Damaged(std::string(what) + " out of range: " + std::to_string(value));
    }
    return value;
}

std::string_view TextColumn(const Statement& row, int column, const char* what) {
    if (row.Type(column) != SQLITE_TEXT) {
        Damaged(std::string(what) + " is not text");
    }
    return row.Text(column);
}

constexpr int64_t Int64Min = std::numeric_limits<int64_t>::min();
constexpr int64_t Int64Max = std::numeric_limits<int64_t>::max();
constexpr int64_t Int16Min = std::numeric_limits<int16_t>::min();
constexpr int64_t Int16Max = std::numeric_limits<int16_t>::max();

double RealColumn(const Statement& row, int column, double low, double high, const char* what) {
    double value = 0;
    if (!row.RealAt(column, value)) {
        Damaged(std::string(what) + " is not a real");
    }
    if (!(value >= low && value <= high)) {
        Damaged(std::string(what) + " out of range: " + std::to_string(value));
    }
    return value;
}

struct DeckRow {
    int64_t revision = 0;
    int64_t memoryRows = 0;
};

DeckRow ReadDeckRow(Database& db, KorvaDeck& deck, int64_t version) {
    Statement row(db, std::string("SELECT turn_mode, reserved_mode, view_kind, answer_mode, created_ms, saved_ms, "
                                  "saved_by, next_card_id, revision") +
                          (version >= 2 ? ", new_cards_per_day, desired_retention, memory_rows" : "") + " FROM deck");
    if (!row.Step()) {
        Damaged("no row in table deck");
    }
    StudyModes& modes = deck.cards.Modes;
    modes.TurnMode = static_cast<uint8_t>(IntColumn(row, 0, 0, 255, "deck.turn_mode"));
    modes.ReservedMode = static_cast<uint8_t>(IntColumn(row, 1, 0, 255, "deck.reserved_mode"));
    modes.ViewKind = static_cast<uint8_t>(IntColumn(row, 2, 0, 255, "deck.view_kind"));
    modes.AnswerMode = static_cast<uint8_t>(IntColumn(row, 3, 0, 255, "deck.answer_mode"));
    deck.createdMs = IntColumn(row, 4, Int64Min, Int64Max, "deck.created_ms");
    deck.savedMs = IntColumn(row, 5, Int64Min, Int64Max, "deck.saved_ms");
    deck.savedByVersion = TextColumn(row, 6, "deck.saved_by");
    deck.nextCardId = IntColumn(row, 7, 1, Int64Max, "deck.next_card_id");
    DeckRow result{IntColumn(row, 8, Int64Min, Int64Max, "deck.revision")};
    if (version >= 2) {
        deck.settings.newCardsPerDay =
            static_cast<int>(IntColumn(row, 9, MinNewCardsPerDay, MaxNewCardsPerDay, "deck.new_cards_per_day"));
        deck.settings.desiredRetention =
            RealColumn(row, 10, MinDesiredRetention, MaxDesiredRetention, "deck.desired_retention");
        result.memoryRows = IntColumn(row, 11, 0, Int64Max, "deck.memory_rows");
    }
    if (row.Step()) {
        Damaged("more than one row in table deck");
    }
    return result;
}

void ReadCards(Database& db, KorvaDeck& deck) {
    const int64_t count = db.QueryInt("SELECT count(*) FROM card");
    if (count > MaxCards) {
        throw DeckError(DeckErrorKind::TooManyCards);
    }
    const auto size = static_cast<std::size_t>(count) + 1;
    CardData& cards = deck.cards;
    cards.Items.assign(size, {});
    cards.Checks.assign(size, {});
    cards.QuestionItems.assign(size, 0);
    deck.cardIds.assign(size, 0);
    // By id, the table's own order, and each card put at its position: a
    // position missing or held twice is damage.
    Statement row(db, std::string("SELECT ") + CardColumns + " FROM card");
    while (row.Step()) {
        const int64_t id = IntColumn(row, 0, 1, Int64Max, "card.id");
        const auto card = static_cast<std::size_t>(IntColumn(row, 1, 1, count, "card.position"));
        if (deck.cardIds[card] != 0) {
            Damaged("two cards at position " + std::to_string(card));
        }
        deck.cardIds[card] = id;
        cards.Items[card][1] = TextColumn(row, 2, "card.item1");
        cards.Items[card][2] = TextColumn(row, 3, "card.item2");
        // The question item names one of the card's item slots, as in a .krv file.
        cards.QuestionItems[card] = static_cast<int16_t>(IntColumn(row, 4, 0, 2, "card.asked_item"));
        for (int item = 0; item < 3; ++item) {
            cards.Checks[card][static_cast<std::size_t>(item)] =
                static_cast<int16_t>(IntColumn(row, 5 + item, Int16Min, Int16Max, "card.check"));
        }
    }
    if (std::count(deck.cardIds.begin() + 1, deck.cardIds.end(), 0) != 0) {
        Damaged("card positions are not 1 to " + std::to_string(count));
    }
    deck.nextCardId = std::max(deck.nextCardId, NextIdToKeep(deck));
}

// Rows of the record, from the one with rowid first to the one with last.
struct RowidRange {
    int64_t first = 0;
    int64_t last = 0;
    std::size_t expectedRows = 0;
};

// The record's rows from rowid first to last, in rowid order: the order
// they were written in.
std::vector<ReviewRow> ReadRecordRows(Database& db, RowidRange range) {
    std::vector<ReviewRow> record;
    record.reserve(range.expectedRows);
    Statement row(db,
                  std::string("SELECT ") + ReviewColumns + " FROM review WHERE rowid BETWEEN ?1 AND ?2 ORDER BY rowid");
    row.Bind(1, range.first).Bind(2, range.last);
    while (row.Step()) {
        ReviewRow& r = record.emplace_back();
        r.timeMs = IntColumn(row, 0, Int64Min, Int64Max, "review.time_ms");
        r.cardId = IntColumn(row, 1, Int64Min, Int64Max, "review.card_id");
        r.item = static_cast<int16_t>(IntColumn(row, 2, Int16Min, Int16Max, "review.item"));
        r.checked = IntColumn(row, 3, 0, 1, "review.checked") != 0;
        r.style = static_cast<uint8_t>(IntColumn(row, 4, 0, 255, "review.style"));
        r.judged = static_cast<int8_t>(IntColumn(row, 5, -128, 127, "review.judged"));
    }
    return record;
}

// The kept memory, each row checked against the cards read before it: a
// state of no card, or one no review could leave, is damage.
void ReadMemory(Database& db, KorvaDeck& deck) {
    std::unordered_set<int64_t> ids(deck.cardIds.begin() + 1, deck.cardIds.end());
    Statement row(db, std::string("SELECT ") + MemoryColumns + " FROM memory");
    while (row.Step()) {
        const int64_t id = IntColumn(row, 0, 1, Int64Max, "memory.card_id");
        if (!ids.contains(id)) {
            Damaged("memory of no card: " + std::to_string(id));
        }
        const auto item = static_cast<std::size_t>(IntColumn(row, 1, 1, 2, "memory.item"));
        MemoryState state;
        state.stability = RealColumn(row, 2, 0, std::numeric_limits<double>::max(), "memory.stability");
        state.difficulty = RealColumn(row, 3, 1, 10, "memory.difficulty");
        state.due = IntColumn(row, 4, Int64Min, Int64Max, "memory.due_ms");
        state.lastReview = IntColumn(row, 5, Int64Min, Int64Max, "memory.last_review_ms");
        state.reviews =
            static_cast<int32_t>(IntColumn(row, 6, 1, std::numeric_limits<int32_t>::max(), "memory.reviews"));
        state.lapses = static_cast<int32_t>(IntColumn(row, 7, 0, state.reviews, "memory.lapses"));
        if (state.stability <= 0) {
            Damaged("memory.stability out of range: " + std::to_string(state.stability));
        }
        deck.memory[id][item - 1] = state;
    }
}

// Where a later schema version changes the tables, the rows of an older file
// are brought up to the current layout here, after they were read. A file of
// version 1 keeps no memory: its record is for the study layer to replay
// (memoryRows 0), and its settings are the defaults.
void UpgradeFromVersion(int64_t /*version*/, KorvaDeck& deck) {
    deck.memory.clear();
    deck.memoryRows = 0;
    deck.settings = {};
}

// The file's pages, copied within one read transaction of the file: every
// reader below opens the copy, so that all of them read the same deck
// whatever a writer does to the file meanwhile, and the file is closed
// while they read.
class FileImage {
public:
    // file within a read transaction that has read from it.
    explicit FileImage(Database& file) : Bytes_(sqlite3_serialize(file.get(), "main", &Size_, 0)) {
        if (Bytes_ == nullptr) {
            const int rc = sqlite3_errcode(file.get());
            if (rc != SQLITE_OK && rc != SQLITE_NOMEM) {
                file.Fail(rc);
            }
            throw DeckError(DeckErrorKind::OutOfMemory);
        }
    }
    ~FileImage() { sqlite3_free(Bytes_); }
    FileImage(const FileImage&) = delete;
    FileImage& operator=(const FileImage&) = delete;

    unsigned char* bytes() const { return Bytes_; }
    sqlite3_int64 size() const { return Size_; }

private:
    sqlite3_int64 Size_ = 0;
    unsigned char* Bytes_;
};

// One thread's connection to a file's image, which it only reads: any
// number of them read the same bytes at once.
class ImageReader {
public:
    explicit ImageReader(const FileImage& image) : Db_(":memory:", SQLITE_OPEN_READWRITE, DeckErrorKind::CannotRead) {
        const int rc = sqlite3_deserialize(Db_.get(), "main", image.bytes(), image.size(), image.size(),
                                           SQLITE_DESERIALIZE_READONLY);
        if (rc != SQLITE_OK) {
            Db_.Fail(rc);
        }
        Db_.Exec("PRAGMA cell_size_check = ON");
    }

    Database& db() { return Db_; }

private:
    Database Db_;
};

// Below this many review rows one thread reads the record: starting more
// would cost about what they save.
constexpr int64_t RowsPerExtraThread = 100'000;
constexpr unsigned MaxRecordThreads = 4;

// The record's rowids cut into ranges of about as many rows each, one for
// each thread that reads them; none for an empty record.
std::vector<RowidRange> RecordRanges(Database& db) {
    const int64_t rows = db.QueryInt("SELECT count(*) FROM review");
    if (rows == 0) {
        return {};
    }
    const int64_t first = db.QueryInt("SELECT min(rowid) FROM review");
    const int64_t last = db.QueryInt("SELECT max(rowid) FROM review");
    const unsigned threads = std::clamp<unsigned>(std::thread::hardware_concurrency(), 1, MaxRecordThreads);
    const auto count = static_cast<uint64_t>(std::clamp<int64_t>(rows / RowsPerExtraThread, 1, threads));
    // Unsigned, so that the rowids' span cannot overflow; rowids are mostly
    // 1..rows, so equal spans hold about equal rows.
    const uint64_t span = static_cast<uint64_t>(last) - static_cast<uint64_t>(first);
    std::vector<RowidRange> ranges;
    for (uint64_t i = 0; i < count; ++i) {
        const auto from = static_cast<int64_t>(static_cast<uint64_t>(first) + span / count * i);
        const auto to =
            i + 1 == count ? last : static_cast<int64_t>(static_cast<uint64_t>(first) + span / count * (i + 1) - 1);
        ranges.push_back({from, to, static_cast<std::size_t>(rows) / count + 1});
    }
    return ranges;
}

struct Reading {
    int64_t version = 0;
    DeckRow row;
};

// The deck row, the cards and the memory, after the checks of the small
// tables for damage SQLite's reads might not see (the position index); the
// record's every row is read, which finds damage to its pages, and checked
// for its types and ranges.
Reading ReadCardsAndMemory(Database& db, KorvaDeck& deck, int64_t version) {
    for (const char* table : {"deck", "card", "memory"}) {
        if (version < 2 && std::string_view(table) == "memory") {
            continue;
        }
        Statement check(db, std::string("PRAGMA quick_check(") + table + ")");
        if (check.Step() && check.Text(0) != "ok") {
            Damaged(std::string(check.Text(0)));
        }
    }
    Reading reading{version, ReadDeckRow(db, deck, version)};
    ReadCards(db, deck);
    if (version >= 2) {
        ReadMemory(db, deck);
    }
    return reading;
}

// The record, its ranges read by threads of their own while this one reads
// the cards.
Reading ReadImage(const FileImage& image, int64_t version, KorvaDeck& deck) {
    ImageReader reader(image);
    std::vector<std::future<std::vector<ReviewRow>>> ranges;
    for (const RowidRange range : RecordRanges(reader.db())) {
        ranges.push_back(std::async(std::launch::async, [&image, range] {
            ImageReader own(image);
            return ReadRecordRows(own.db(), range);
        }));
    }
    const Reading reading = ReadCardsAndMemory(reader.db(), deck, version);
    for (auto& range : ranges) {
        std::vector<ReviewRow> rows = range.get();
        if (deck.record.empty()) {
            deck.record = std::move(rows);
        } else {
            deck.record.insert(deck.record.end(), rows.begin(), rows.end());
        }
    }
    return reading;
}

KorvaDeck ReadOpenFile(Database& file, KorvaSnapshot* snapshot) {
    // The copy is read straight from the mapped file, each page once.
    file.Exec(MapSql);
    std::optional<FileImage> image;
    int64_t version = 0;
    {
        // The first read takes the shared lock, and finds a journal left by
        // a save cut short.
        Transaction read(file);
        version = RequireKorvaFile(file);
        image.emplace(file);
        read.Commit();
    }
    file.Close();
    KorvaDeck deck;
    const Reading reading = ReadImage(*image, version, deck);
    const int64_t memoryRows = reading.row.memoryRows;
    if (memoryRows > static_cast<int64_t>(deck.record.size())) {
        Damaged("deck.memory_rows past the record: " + std::to_string(memoryRows));
    }
    deck.memoryRows = static_cast<std::size_t>(memoryRows);
    if (reading.version < KorvaSchemaVersion) {
        UpgradeFromVersion(reading.version, deck);
    }
    if (snapshot != nullptr) {
        *snapshot = SnapshotOf(deck, reading.version == KorvaSchemaVersion ? reading.row.revision : 0);
    }
    return deck;
}

KorvaDeck Load(const std::string& path, KorvaSnapshot* snapshot) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        if (const std::optional<FileCause> why = WhyNotRegularFile(info.st_mode)) {
            throw detail::Failure(DeckErrorKind::CannotOpen, *why);
        }
        if (info.st_size == 0) {
            throw DeckError({.kind = DeckErrorKind::NotKorvaDeck, .systemReason = "empty file"});
        }
    }
    KorvaDeck deck;
    ReadWithinMemory([&] {
        for (int attempt = 0;; ++attempt) {
            Database db(path, SQLITE_OPEN_READONLY, DeckErrorKind::CannotRead);
            db.Exec(BusySql);
            try {
                deck = ReadOpenFile(db, snapshot);
                return;
            } catch (const sqlite::Error& error) {
                // A statement of the reader's own that SQLite cannot run
                // names a table or column the file lacks.
                if ((error.code() & 0xFF) == SQLITE_ERROR) {
                    Damaged(error.detail().systemReason);
                }
                if (attempt > 0 || error.code() != SQLITE_READONLY_ROLLBACK) {
                    throw;
                }
            }
            // A save cut short: a connection that may write plays its journal
            // back, as any writer would before touching the file.
            Database writer(path, SQLITE_OPEN_READWRITE, DeckErrorKind::CannotRead);
            writer.QueryInt("PRAGMA schema_version");
            writer.Close();
        }
    });
    return deck;
}

}  // namespace

KorvaDeck LoadKorvaFile(const std::string& path) { return Load(path, nullptr); }

KorvaDeck LoadKorvaFile(const std::string& path, KorvaSnapshot& saved) {
    KorvaSnapshot snapshot;
    KorvaDeck deck = Load(path, &snapshot);
    saved = std::move(snapshot);
    return deck;
}

}  // namespace korva
