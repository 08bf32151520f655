#include "deck/KorvaFile.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "deck/DeckError.h"
#include "deck/FileBytes.h"
#include "deck/FileCalls.h"
#include "deck/Sqlite.h"

namespace korva {

namespace {

using sqlite::Database;
using sqlite::Statement;
using sqlite::Transaction;

// The tables of schema version 2. Every value of the in-memory deck has a
// column of its own, named so that a user reading the file with the sqlite3
// shell can tell what it holds; times are UTC milliseconds since the epoch.
constexpr const char* SchemaSql = R"(
CREATE TABLE deck (
  id INTEGER PRIMARY KEY CHECK (id = 1),
  turn_mode INTEGER NOT NULL,
  reserved_mode INTEGER NOT NULL,
  view_kind INTEGER NOT NULL,
  answer_mode INTEGER NOT NULL,
  created_ms INTEGER NOT NULL,
  saved_ms INTEGER NOT NULL,
  saved_by TEXT NOT NULL,
  next_card_id INTEGER NOT NULL,
  revision INTEGER NOT NULL,
  new_cards_per_day INTEGER NOT NULL,
  desired_retention REAL NOT NULL,
  memory_rows INTEGER NOT NULL
);
CREATE TABLE card (
  id INTEGER PRIMARY KEY,
  position INTEGER NOT NULL UNIQUE,
  item1 TEXT NOT NULL,
  item2 TEXT NOT NULL,
  asked_item INTEGER NOT NULL,
  check0 INTEGER NOT NULL,
  check1 INTEGER NOT NULL,
  check2 INTEGER NOT NULL
);
CREATE TABLE review (
  time_ms INTEGER NOT NULL,
  card_id INTEGER NOT NULL,
  item INTEGER NOT NULL,
  checked INTEGER NOT NULL,
  style INTEGER NOT NULL,
  judged INTEGER NOT NULL
);
CREATE TABLE memory (
  card_id INTEGER NOT NULL,
  item INTEGER NOT NULL,
  stability REAL NOT NULL,
  difficulty REAL NOT NULL,
  due_ms INTEGER NOT NULL,
  last_review_ms INTEGER NOT NULL,
  reviews INTEGER NOT NULL,
  lapses INTEGER NOT NULL,
  PRIMARY KEY (card_id, item)
) WITHOUT ROWID;
)";

constexpr const char* CardColumns = "id, position, item1, item2, asked_item, check0, check1, check2";
constexpr const char* ReviewColumns = "time_ms, card_id, item, checked, style, judged";
constexpr int ReviewColumnCount = 6;
constexpr const char* MemoryColumns = "card_id, item, stability, difficulty, due_ms, last_review_ms, reviews, lapses";

// Rows per INSERT when the record is written: one statement for many rows
// costs SQLite far less per row than one for each.
constexpr std::size_t ReviewRowsPerInsert = 32;

// A database built in memory keeps its every page in the cache until it
// is written out, rather than spilling pages to its memory file halfway.
constexpr const char* CacheSql = "PRAGMA cache_size = -131072";  // KiB
// Another program reading the file (the sqlite3 shell) or another KORVA
// saving it holds its lock for a moment: waited for, up to this, before the
// load or save fails as "database is locked".
constexpr const char* BusySql = "PRAGMA busy_timeout = 3000";  // ms
// A load maps the file (up to this size) instead of copying its pages.
constexpr const char* MapSql = "PRAGMA mmap_size = 268435456";

[[noreturn]] void Damaged(std::string reason) {
    throw DeckError({.kind = DeckErrorKind::DatabaseDamaged, .systemReason = std::move(reason)});
}

// --- Hashing ---------------------------------------------------------------

constexpr uint64_t HashMultiplier = 0x9E3779B97F4A7C15ULL;

void HashWord(uint64_t& h, uint64_t word) {
    h = (h ^ word) * HashMultiplier;
    h ^= h >> 29;
}

void HashText(uint64_t& h, std::string_view text) {
    HashWord(h, text.size());
    std::size_t at = 0;
    for (; at + 8 <= text.size(); at += 8) {
        uint64_t word = 0;
        std::memcpy(&word, text.data() + at, 8);
        HashWord(h, word);
    }
    if (at < text.size()) {
        uint64_t word = 0;
        std::memcpy(&word, text.data() + at, text.size() - at);
        HashWord(h, word);
    }
}

// --- Checks on a deck before it is written ----------------------------------

void RequireEvenArrays(const KorvaDeck& deck) {
    const std::size_t cards = deck.cards.Items.size();
    if (cards < 1 || cards > static_cast<std::size_t>(MaxCards) + 1 || deck.cards.Checks.size() != cards ||
        deck.cards.QuestionItems.size() != cards || deck.cardIds.size() != cards) {
        throw DeckError(DeckErrorKind::UnevenArrays);
    }
}

[[noreturn]] void BrokenId(std::size_t card, int64_t id) {
    throw DeckError({.kind = DeckErrorKind::CardIdBroken,
                     .number = static_cast<long long>(card),
                     .value = static_cast<long long>(id)});
}

void RequireUniqueIds(const KorvaDeck& deck) {
    std::vector<std::pair<int64_t, std::size_t>> ids;
    ids.reserve(deck.cardIds.size());
    for (std::size_t card = 1; card < deck.cardIds.size(); ++card) {
        if (deck.cardIds[card] <= 0) {
            BrokenId(card, deck.cardIds[card]);
        }
        ids.emplace_back(deck.cardIds[card], card);
    }
    std::sort(ids.begin(), ids.end());
    for (std::size_t i = 1; i < ids.size(); ++i) {
        if (ids[i].first == ids[i - 1].first) {
            BrokenId(std::max(ids[i].second, ids[i - 1].second), ids[i].first);
        }
    }
}

// The counter the file keeps: past every id in use, whatever the deck's own
// counter says, so that no id is ever given twice.
int64_t NextIdToKeep(const KorvaDeck& deck) {
    int64_t next = std::max<int64_t>(deck.nextCardId, 1);
    for (std::size_t card = 1; card < deck.cardIds.size(); ++card) {
        next = std::max(next, deck.cardIds[card] + 1);
    }
    return next;
}

// The rows the kept memory accounts for; more than the record holds would
// say it knows of answers the file lacks.
std::size_t MemoryRowsToKeep(const KorvaDeck& deck) { return std::min(deck.memoryRows, deck.record.size()); }

// The settings within their ranges, as the reader requires them: a value
// out of range is the nearest one in it, an undefined retention the default.
ScheduleSettings SettingsToKeep(const KorvaDeck& deck) {
    ScheduleSettings kept;
    kept.newCardsPerDay = std::clamp(deck.settings.newCardsPerDay, MinNewCardsPerDay, MaxNewCardsPerDay);
    if (!std::isnan(deck.settings.desiredRetention)) {
        kept.desiredRetention = std::clamp(deck.settings.desiredRetention, MinDesiredRetention, MaxDesiredRetention);
    }
    return kept;
}

// A stamp that changes with every save, so that a save through a snapshot
// knows the file is still the one the snapshot describes.
// Drawn from the system each time rather than from a generator seeded once,
// which a forked process would share with its parent.
int64_t NewRevision() {
    std::random_device random;
    uint64_t revision = 0;
    while (revision == 0) {
        revision = ((uint64_t{random()} << 32) ^ random()) >> 1;
    }
    return static_cast<int64_t>(revision);
}

// --- Writing rows -------------------------------------------------------------

void BindCard(Statement& statement, const CardData& cards, std::size_t card, int first) {
    const auto& checks = cards.Checks[card];
    statement.Bind(first, std::string_view(cards.Items[card][1]))
        .Bind(first + 1, std::string_view(cards.Items[card][2]))
        .Bind(first + 2, int64_t{cards.QuestionItems[card]})
        .Bind(first + 3, int64_t{checks[0]})
        .Bind(first + 4, int64_t{checks[1]})
        .Bind(first + 5, int64_t{checks[2]});
}

void BindReview(Statement& statement, const ReviewRow& row, int first) {
    statement.Bind(first, row.timeMs)
        .Bind(first + 1, row.cardId)
        .Bind(first + 2, int64_t{row.item})
        .Bind(first + 3, int64_t{row.checked ? 1 : 0})
        .Bind(first + 4, int64_t{row.style})
        .Bind(first + 5, int64_t{row.judged});
}

std::string ReviewInsertSql(std::size_t rows) {
    std::string sql = std::string("INSERT INTO review (") + ReviewColumns + ") VALUES (?,?,?,?,?,?)";
    for (std::size_t i = 1; i < rows; ++i) {
        sql += ",(?,?,?,?,?,?)";
    }
    return sql;
}

void InsertReviews(Database& db, const std::vector<ReviewRow>& record, std::size_t from) {
    std::size_t at = from;
    if (record.size() - at >= ReviewRowsPerInsert) {
        Statement many(db, ReviewInsertSql(ReviewRowsPerInsert));
        for (; record.size() - at >= ReviewRowsPerInsert; at += ReviewRowsPerInsert) {
            for (std::size_t i = 0; i < ReviewRowsPerInsert; ++i) {
                BindReview(many, record[at + i], static_cast<int>(i) * ReviewColumnCount + 1);
            }
            many.Run();
        }
    }
    if (at < record.size()) {
        Statement one(db, ReviewInsertSql(1));
        for (; at < record.size(); ++at) {
            BindReview(one, record[at], 1);
            one.Run();
        }
    }
}

void WriteDeckRow(Database& db, const KorvaDeck& deck, int64_t revision, bool insert) {
    Statement statement(db, insert
                                ? "INSERT INTO deck (turn_mode, reserved_mode, view_kind, answer_mode, created_ms, "
                                  "saved_ms, saved_by, next_card_id, revision, new_cards_per_day, desired_retention, "
                                  "memory_rows, id) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,1)"
                                : "UPDATE deck SET turn_mode = ?, reserved_mode = ?, view_kind = ?, answer_mode = ?, "
                                  "created_ms = ?, saved_ms = ?, saved_by = ?, next_card_id = ?, revision = ?, "
                                  "new_cards_per_day = ?, desired_retention = ?, memory_rows = ? WHERE id = 1");
    const StudyModes& modes = deck.cards.Modes;
    statement.Bind(1, int64_t{modes.TurnMode})
        .Bind(2, int64_t{modes.ReservedMode})
        .Bind(3, int64_t{modes.ViewKind})
        .Bind(4, int64_t{modes.AnswerMode})
        .Bind(5, deck.createdMs)
        .Bind(6, deck.savedMs)
        .Bind(7, std::string_view(deck.savedByVersion))
        .Bind(8, NextIdToKeep(deck))
        .Bind(9, revision)
        .Bind(10, int64_t{SettingsToKeep(deck).newCardsPerDay})
        .BindReal(11, SettingsToKeep(deck).desiredRetention)
        .Bind(12, static_cast<int64_t>(MemoryRowsToKeep(deck)));
    statement.Run();
}

// The memory of every direction of the card with id that has been reviewed:
// written anew, or removed where it has none.
void WriteMemoryOf(Statement& insert, Statement& remove, const KorvaDeck& deck, int64_t id) {
    const auto found = deck.memory.find(id);
    for (int16_t item = 1; item <= 2; ++item) {
        const CardMemory* memory = found != deck.memory.end() ? &found->second[item - 1] : nullptr;
        if (memory == nullptr || !*memory) {
            remove.Bind(1, id).Bind(2, int64_t{item}).Run();
            continue;
        }
        insert.Bind(1, id)
            .Bind(2, int64_t{item})
            .BindReal(3, (*memory)->stability)
            .BindReal(4, (*memory)->difficulty)
            .Bind(5, (*memory)->due)
            .Bind(6, (*memory)->lastReview)
            .Bind(7, int64_t{(*memory)->reviews})
            .Bind(8, int64_t{(*memory)->lapses})
            .Run();
    }
}

struct MemoryStatements {
    explicit MemoryStatements(Database& db)
        : insert(db, std::string("INSERT OR REPLACE INTO memory (") + MemoryColumns + ") VALUES (?,?,?,?,?,?,?,?)"),
          remove(db, "DELETE FROM memory WHERE card_id = ? AND item = ?") {}
    Statement insert;
    Statement remove;
};

// The memory of every card the deck holds, into a table without any.
void InsertAllMemory(Database& db, const KorvaDeck& deck) {
    if (deck.memory.empty()) {
        return;
    }
    MemoryStatements statements(db);
    for (std::size_t card = 1; card < deck.cardIds.size(); ++card) {
        if (deck.memory.contains(deck.cardIds[card])) {
            WriteMemoryOf(statements.insert, statements.remove, deck, deck.cardIds[card]);
        }
    }
}

KorvaSnapshot SnapshotOf(const KorvaDeck& deck, int64_t revision) {
    // memoryRows and the retention describe the file only when it is of this
    // version: an older one is saved whole next time anyway.
    KorvaSnapshot snapshot;
    snapshot.cards.reserve(deck.cardIds.size() - 1);
    for (std::size_t card = 1; card < deck.cardIds.size(); ++card) {
        snapshot.cards.push_back({deck.cardIds[card], KorvaCardHash(deck.cards, static_cast<int>(card))});
    }
    snapshot.recordRows = deck.record.size();
    snapshot.memoryRows = MemoryRowsToKeep(deck);
    snapshot.memoryRetention = SettingsToKeep(deck).desiredRetention;
    snapshot.revision = revision;
    return snapshot;
}

// --- Whole files --------------------------------------------------------------

// The whole database's bytes, built in memory: nothing touches the disk
// until every row is in, and the file is then written in one piece.
class MemoryDatabase {
public:
    MemoryDatabase()
        : Db_("file:korva-save?vfs=memdb", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI,
              DeckErrorKind::CannotSave) {}
    ~MemoryDatabase() { sqlite3_free(Copy_); }
    MemoryDatabase(const MemoryDatabase&) = delete;
    MemoryDatabase& operator=(const MemoryDatabase&) = delete;

    Database& db() { return Db_; }

    std::string_view Bytes() {
        sqlite3_int64 size = 0;
        const unsigned char* bytes = sqlite3_serialize(Db_.get(), "main", &size, SQLITE_SERIALIZE_NOCOPY);
        if (bytes == nullptr) {
            // Only a database of the memdb VFS lends its pages; any other is copied.
            Copy_ = sqlite3_serialize(Db_.get(), "main", &size, 0);
            bytes = Copy_;
        }
        if (bytes == nullptr) {
            throw DeckError(DeckErrorKind::OutOfMemory);
        }
        return {reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(size)};
    }

private:
    Database Db_;
    unsigned char* Copy_ = nullptr;
};

void BuildDatabase(Database& db, const KorvaDeck& deck, int64_t revision) {
    // Journal and syncs are for the file on disk; this one is only memory.
    db.Exec("PRAGMA page_size = 4096; PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF");
    db.Exec(CacheSql);
    db.Exec(("PRAGMA application_id = " + std::to_string(KorvaApplicationId) +
             "; PRAGMA user_version = " + std::to_string(KorvaSchemaVersion))
                .c_str());
    Transaction transaction(db);
    db.Exec(SchemaSql);
    WriteDeckRow(db, deck, revision, true);
    {
        Statement insert(db, std::string("INSERT INTO card (") + CardColumns + ") VALUES (?,?,?,?,?,?,?,?)");
        for (std::size_t card = 1; card < deck.cardIds.size(); ++card) {
            insert.Bind(1, deck.cardIds[card]).Bind(2, static_cast<int64_t>(card));
            BindCard(insert, deck.cards, card, 3);
            insert.Run();
        }
    }
    InsertReviews(db, deck.record, 0);
    InsertAllMemory(db, deck);
    transaction.Commit();
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// A save that was cut short leaves its rollback journal beside the file, to
// be played back by the next connection that writes. A file renamed over
// the old one must not find that journal: it would be played back into the
// new file. So the old file is rolled back first, and a journal that is no
// longer needed (or belongs to no database) is removed.
void SettleJournal(const std::string& target) {
    const std::string journal = target + "-journal";
    if (!Exists(journal)) {
        return;
    }
    try {
        Database db(target, SQLITE_OPEN_READWRITE, DeckErrorKind::CannotSave);
        db.QueryInt("PRAGMA schema_version");
        db.Close();
    } catch (const DeckError& error) {
        if (error.kind() != DeckErrorKind::NotKorvaDeck && error.kind() != DeckErrorKind::DatabaseDamaged) {
            throw;
        }
    }
    if (::unlink(journal.c_str()) != 0 && errno != ENOENT) {
        throw detail::SystemFailure(DeckErrorKind::CannotSave, errno);
    }
}

// --- Reading --------------------------------------------------------------------

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

// Checks that the file is a .korva file this program can read; its schema
// version.
int64_t RequireKorvaFile(Database& db) {
    if (db.QueryInt("PRAGMA application_id") != KorvaApplicationId) {
        throw DeckError(DeckErrorKind::NotKorvaDeck);
    }
    const int64_t version = db.QueryInt("PRAGMA user_version");
    if (version > KorvaSchemaVersion) {
        throw DeckError({.kind = DeckErrorKind::NewerSchema, .value = static_cast<long long>(version)});
    }
    if (version < 1) {
        Damaged("user_version " + std::to_string(version));
    }
    return version;
}

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

void ReadRecord(Database& db, KorvaDeck& deck) {
    deck.record.clear();
    deck.record.reserve(static_cast<std::size_t>(db.QueryInt("SELECT count(*) FROM review")));
    // rowid order, the order the rows were written in.
    Statement row(db, std::string("SELECT ") + ReviewColumns + " FROM review");
    while (row.Step()) {
        ReviewRow& r = deck.record.emplace_back();
        r.timeMs = IntColumn(row, 0, Int64Min, Int64Max, "review.time_ms");
        r.cardId = IntColumn(row, 1, Int64Min, Int64Max, "review.card_id");
        r.item = static_cast<int16_t>(IntColumn(row, 2, Int16Min, Int16Max, "review.item"));
        r.checked = IntColumn(row, 3, 0, 1, "review.checked") != 0;
        r.style = static_cast<uint8_t>(IntColumn(row, 4, 0, 255, "review.style"));
        r.judged = static_cast<int8_t>(IntColumn(row, 5, -128, 127, "review.judged"));
    }
}

// The kept memory, each row checked against the cards read before it: a
// state of no card, or one no review could leave, is damage.
void ReadMemory(Database& db, KorvaDeck& deck, int64_t memoryRows) {
    if (memoryRows > static_cast<int64_t>(deck.record.size())) {
        Damaged("deck.memory_rows past the record: " + std::to_string(memoryRows));
    }
    deck.memoryRows = static_cast<std::size_t>(memoryRows);
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

KorvaDeck ReadOpenFile(Database& db, KorvaSnapshot* snapshot) {
    // Pages are read straight from the mapped file rather than copied into
    // a cache: a load reads each of them once. The file is never truncated
    // under the mapping, since no writer commits while this read holds
    // its shared lock.
    db.Exec("PRAGMA cell_size_check = ON");
    db.Exec(MapSql);
    KorvaDeck deck;
    Transaction read(db);
    const int64_t version = RequireKorvaFile(db);
    // The small tables are checked for damage SQLite's reads might not see
    // (the position index); the record's every row is read, which finds
    // damage to its pages, and checked for its types and ranges.
    for (const char* table : {"deck", "card", "memory"}) {
        if (version < 2 && std::string_view(table) == "memory") {
            continue;
        }
        Statement check(db, std::string("PRAGMA quick_check(") + table + ")");
        if (check.Step() && check.Text(0) != "ok") {
            Damaged(std::string(check.Text(0)));
        }
    }
    const DeckRow row = ReadDeckRow(db, deck, version);
    ReadCards(db, deck);
    ReadRecord(db, deck);
    if (version >= 2) {
        ReadMemory(db, deck, row.memoryRows);
    }
    read.Commit();
    if (version < KorvaSchemaVersion) {
        UpgradeFromVersion(version, deck);
    }
    if (snapshot != nullptr) {
        *snapshot = SnapshotOf(deck, version == KorvaSchemaVersion ? row.revision : 0);
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
                db.Close();
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

// --- Saving changes ---------------------------------------------------------

// What a save through a snapshot writes, found by card id.
struct CardChanges {
    std::vector<int64_t> removed;       // ids
    std::vector<std::size_t> inserted;  // cards
    std::vector<std::size_t> edited;    // cards whose content changed (moved or not)
    std::vector<std::size_t> moved;     // cards at another position, content unchanged
    std::vector<uint64_t> hashes;       // [card - 1]
};

CardChanges FindChanges(const KorvaDeck& now, const KorvaSnapshot& saved) {
    CardChanges changes;
    const std::size_t total = now.cardIds.size() - 1;
    changes.hashes.resize(total);
    std::vector<std::size_t> matched(saved.cards.size(), 0);  // [saved index] -> card now, 0 for none
    std::optional<std::unordered_map<int64_t, std::size_t>> savedIndex;
    std::unordered_set<int64_t> newIds;
    for (std::size_t card = 1; card <= total; ++card) {
        const int64_t id = now.cardIds[card];
        if (id <= 0) {
            BrokenId(card, id);
        }
        // Most saves change a card or two in place: the card at the same
        // position is the one to compare; only other cards are looked up.
        std::optional<std::size_t> at;
        if (card - 1 < saved.cards.size() && saved.cards[card - 1].id == id) {
            at = card - 1;
        } else {
            if (!savedIndex) {
                savedIndex.emplace();
                savedIndex->reserve(saved.cards.size());
                for (std::size_t i = 0; i < saved.cards.size(); ++i) {
                    savedIndex->emplace(saved.cards[i].id, i);
                }
            }
            if (const auto found = savedIndex->find(id); found != savedIndex->end()) {
                at = found->second;
            }
        }
        const uint64_t hash = KorvaCardHash(now.cards, static_cast<int>(card));
        changes.hashes[card - 1] = hash;
        if (!at) {
            if (!newIds.insert(id).second) {
                BrokenId(card, id);
            }
            changes.inserted.push_back(card);
            continue;
        }
        if (matched[*at] != 0) {
            BrokenId(card, id);
        }
        matched[*at] = card;
        if (saved.cards[*at].hash != hash) {
            changes.edited.push_back(card);
        } else if (*at != card - 1) {
            changes.moved.push_back(card);
        }
    }
    for (std::size_t i = 0; i < saved.cards.size(); ++i) {
        if (matched[i] == 0) {
            changes.removed.push_back(saved.cards[i].id);
        }
    }
    return changes;
}

// Positions are unique: a card moves first to the negative of its new
// position, where it meets no other, and every card then comes back at once.
void WriteCardChanges(Database& db, const KorvaDeck& now, const CardChanges& changes) {
    if (!changes.removed.empty()) {
        Statement remove(db, "DELETE FROM card WHERE id = ?");
        for (const int64_t id : changes.removed) {
            remove.Bind(1, id).Run();
        }
    }
    bool negated = false;
    if (!changes.edited.empty()) {
        Statement edit(db,
                       "UPDATE card SET position = ?2, item1 = ?3, item2 = ?4, asked_item = ?5, check0 = ?6, "
                       "check1 = ?7, check2 = ?8 WHERE id = ?1");
        for (const std::size_t card : changes.edited) {
            edit.Bind(1, now.cardIds[card]).Bind(2, -static_cast<int64_t>(card));
            BindCard(edit, now.cards, card, 3);
            edit.Run();
        }
        negated = true;
    }
    if (!changes.moved.empty()) {
        Statement move(db, "UPDATE card SET position = ?2 WHERE id = ?1");
        for (const std::size_t card : changes.moved) {
            move.Bind(1, now.cardIds[card]).Bind(2, -static_cast<int64_t>(card)).Run();
        }
        negated = true;
    }
    if (!changes.inserted.empty()) {
        Statement insert(db, std::string("INSERT INTO card (") + CardColumns + ") VALUES (?,?,?,?,?,?,?,?)");
        for (const std::size_t card : changes.inserted) {
            insert.Bind(1, now.cardIds[card]).Bind(2, -static_cast<int64_t>(card));
            BindCard(insert, now.cards, card, 3);
            insert.Run();
        }
        negated = true;
    }
    if (negated) {
        db.Exec("UPDATE card SET position = -position WHERE position < 0");
    }
}

// The memory changes only where the rows it accounts for grew: the cards
// those rows name are written again. Memory that accounts for fewer rows
// than the file's, or due times reckoned at another retention, is written
// whole.
void WriteMemoryChanges(Database& db, const KorvaDeck& now, const KorvaSnapshot& saved, const CardChanges& changes,
                        bool recordRewritten) {
    if (!changes.removed.empty()) {
        Statement remove(db, "DELETE FROM memory WHERE card_id = ?");
        for (const int64_t id : changes.removed) {
            remove.Bind(1, id).Run();
        }
    }
    const std::size_t rows = MemoryRowsToKeep(now);
    if (recordRewritten || rows < saved.memoryRows || SettingsToKeep(now).desiredRetention != saved.memoryRetention) {
        db.Exec("DELETE FROM memory");
        InsertAllMemory(db, now);
        return;
    }
    if (rows == saved.memoryRows) {
        return;
    }
    std::unordered_set<int64_t> held(now.cardIds.begin() + 1, now.cardIds.end());
    std::unordered_set<int64_t> written;
    MemoryStatements statements(db);
    for (std::size_t at = saved.memoryRows; at < rows; ++at) {
        const int64_t id = now.record[at].cardId;
        if (held.contains(id) && written.insert(id).second) {
            WriteMemoryOf(statements.insert, statements.remove, now, id);
        }
    }
}

// Why a save through a snapshot cannot go on: the whole file is written instead.
struct NotTheSavedFile {};

void WriteChanges(const std::string& path, const KorvaDeck& now, KorvaSnapshot& saved) {
    Database db(path, SQLITE_OPEN_READWRITE, DeckErrorKind::CannotSave);
    db.Exec(BusySql);
    db.Exec("PRAGMA journal_mode = DELETE; PRAGMA synchronous = FULL");
    // IMMEDIATE takes the write lock at once; a journal left by a save cut
    // short is played back here first.
    Transaction transaction(db, "BEGIN IMMEDIATE");
    if (RequireKorvaFile(db) != KorvaSchemaVersion ||
        db.QueryInt("SELECT revision FROM deck WHERE id = 1") != saved.revision) {
        throw NotTheSavedFile{};
    }
    CardChanges changes = FindChanges(now, saved);
    WriteCardChanges(db, now, changes);
    const bool recordRewritten = now.record.size() < saved.recordRows;
    if (recordRewritten) {
        db.Exec("DELETE FROM review");
        InsertReviews(db, now.record, 0);
    } else {
        InsertReviews(db, now.record, saved.recordRows);
    }
    WriteMemoryChanges(db, now, saved, changes, recordRewritten);
    const int64_t revision = NewRevision();
    WriteDeckRow(db, now, revision, false);
    transaction.Commit();
    db.Close();

    KorvaSnapshot next;
    next.cards.reserve(changes.hashes.size());
    for (std::size_t card = 1; card < now.cardIds.size(); ++card) {
        next.cards.push_back({now.cardIds[card], changes.hashes[card - 1]});
    }
    next.recordRows = now.record.size();
    next.memoryRows = MemoryRowsToKeep(now);
    next.memoryRetention = SettingsToKeep(now).desiredRetention;
    next.revision = revision;
    saved = std::move(next);
}

}  // namespace

uint64_t KorvaCardHash(const CardData& cards, int card) {
    const auto at = static_cast<std::size_t>(card);
    uint64_t h = 0x2545F4914F6CDD1DULL;
    HashText(h, cards.Items[at][1]);
    HashText(h, cards.Items[at][2]);
    const auto& checks = cards.Checks[at];
    HashWord(h, static_cast<uint16_t>(cards.QuestionItems[at]) | (uint64_t{static_cast<uint16_t>(checks[0])} << 16) |
                    (uint64_t{static_cast<uint16_t>(checks[1])} << 32) |
                    (uint64_t{static_cast<uint16_t>(checks[2])} << 48));
    // A last mix, so that every input bit reaches every bit of the hash.
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDULL;
    h ^= h >> 33;
    return h;
}

KorvaDeck LoadKorvaFile(const std::string& path) { return Load(path, nullptr); }

KorvaDeck LoadKorvaFile(const std::string& path, KorvaSnapshot& saved) {
    KorvaSnapshot snapshot;
    KorvaDeck deck = Load(path, &snapshot);
    saved = std::move(snapshot);
    return deck;
}

KorvaSnapshot SaveKorvaFile(const std::string& path, const KorvaDeck& deck) {
    return SaveKorvaFile(path, deck, NewRevision());
}

KorvaSnapshot SaveKorvaFile(const std::string& path, const KorvaDeck& deck, int64_t revision) {
    RequireEvenArrays(deck);
    RequireUniqueIds(deck);
    MemoryDatabase memory;
    BuildDatabase(memory.db(), deck, revision);
    SettleJournal(detail::FollowLinks(path));
    ReplaceFileWhole(path, memory.Bytes());
    return SnapshotOf(deck, revision);
}

void SaveKorvaChanges(const std::string& path, const KorvaDeck& now, KorvaSnapshot& lastSaved) {
    RequireEvenArrays(now);
    struct stat info {};
    if (lastSaved.revision != 0 && ::stat(path.c_str(), &info) == 0) {
        if (const std::optional<FileCause> why = WhyNotRegularFile(info.st_mode)) {
            throw detail::Failure(DeckErrorKind::CannotWrite, *why);
        }
        // Another file at path, or one too damaged to change, is replaced
        // whole, below; a damaged file's transaction has been rolled back.
        try {
            WriteChanges(path, now, lastSaved);
            return;
        } catch (const NotTheSavedFile&) {
        } catch (const DeckError& error) {
            if (error.kind() != DeckErrorKind::NotKorvaDeck && error.kind() != DeckErrorKind::NewerSchema &&
                error.kind() != DeckErrorKind::DatabaseDamaged) {
                throw;
            }
        }
    }
    lastSaved = SaveKorvaFile(path, now);
}

}  // namespace korva
