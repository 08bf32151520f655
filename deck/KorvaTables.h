#pragma once

// The .korva file's tables, and what its reader and its writers share: the
// reader's checks of a file and the values a save keeps.

#include <cstddef>
#include <cstdint>
#include <string>

#include "deck/KorvaDeck.h"
#include "deck/KorvaFile.h"

namespace korva::sqlite {
class Database;
}

namespace korva::detail {

// The tables of schema version 2. Every value of the in-memory deck has a
// column of its own, named so that a user reading the file with the sqlite3
// shell can tell what it holds; times are UTC milliseconds since the epoch.
inline constexpr const char* SchemaSql = R"(
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

inline constexpr const char* CardColumns = "id, position, item1, item2, asked_item, check0, check1, check2";
inline constexpr const char* ReviewColumns = "time_ms, card_id, item, checked, style, judged";
inline constexpr int ReviewColumnCount = 6;
inline constexpr const char* MemoryColumns =
    "card_id, item, stability, difficulty, due_ms, last_review_ms, reviews, lapses";

// Another program reading the file (the sqlite3 shell) or another KORVA
// saving it holds its lock for a moment: waited for, up to this, before the
// load or save fails as "database is locked".
inline constexpr const char* BusySql = "PRAGMA busy_timeout = 3000";  // ms
// A load maps the file (up to this size) instead of copying its pages.
inline constexpr const char* MapSql = "PRAGMA mmap_size = 268435456";

[[noreturn]] void Damaged(std::string reason);

// The counter the file keeps: past every id in use, whatever the deck's own
// counter says, so that no id is ever given twice.
int64_t NextIdToKeep(const KorvaDeck& deck);
// The rows the kept memory accounts for; more than the record holds would
// say it knows of answers the file lacks.
std::size_t MemoryRowsToKeep(const KorvaDeck& deck);
// The settings within their ranges, as the reader requires them: a value
// out of range is the nearest one in it, an undefined retention the default.
ScheduleSettings SettingsToKeep(const KorvaDeck& deck);

// What the file written or read from deck holds, with its revision stamp.
KorvaSnapshot SnapshotOf(const KorvaDeck& deck, int64_t revision);

// Checks that the file is a .korva file this program can read; its schema
// version.
int64_t RequireKorvaFile(sqlite::Database& db);

}  // namespace korva::detail
