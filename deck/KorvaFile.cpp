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
#include "deck/KorvaTables.h"
#include "deck/Sqlite.h"

namespace korva {

namespace {

using namespace detail;
using sqlite::Database;
using sqlite::Statement;
using sqlite::Transaction;

// Rows per INSERT when the record is written: one statement for many rows
// costs SQLite far less per row than one for each.
constexpr std::size_t ReviewRowsPerInsert = 32;

// A database built in memory keeps its every page in the cache until it
// is written out, rather than spilling pages to its memory file halfway.
constexpr const char* CacheSql = "PRAGMA cache_size = -131072";  // KiB

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
