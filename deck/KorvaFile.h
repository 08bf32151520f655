#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "deck/KorvaDeck.h"

namespace korva {

// What a .korva file held after its last load or save, kept beside the deck
// in memory so that the next save writes only what changed since. Compact: a
// card's id and a hash of its content, not a second copy of the deck.
// Default-constructed it describes no file, and a save through it writes the
// whole file.
struct KorvaSnapshot {
    struct Card {
        int64_t id = 0;
        uint64_t hash = 0;  // KorvaCardHash of the card as saved
    };
    std::vector<Card> cards;     // in card order: [0] is card 1
    std::size_t recordRows = 0;  // how many review rows the file holds
    std::size_t memoryRows = 0;  // how many of them its kept memory accounts for
    double memoryRetention = 0;  // the retention its memory's due times are reckoned at
    int64_t revision = 0;        // the file's revision stamp; 0 for none
};

// The hash of card's content that a snapshot keeps: its two item texts, its
// question item and its check marks.
uint64_t KorvaCardHash(const CardData& cards, int card);

// Reads the .korva deck file at path (UTF-8), opened read-only, in one read
// transaction, and closes it. DeckError, and no deck, when it cannot be read:
// NotKorvaDeck for a file that is no SQLite database or another program's,
// NewerSchema for one saved by a newer KORVA, DatabaseDamaged when SQLite or
// the reader finds it damaged (a missing table or column, a value out of its
// range, two cards at one position, memory of no card), CannotOpen /
// CannotRead otherwise. A file of version 1 loads with no memory and
// memoryRows 0, for the study layer to replay its record. A
// save interrupted by a kill or power cut is rolled back first, as SQLite
// does on its next write; that needs write access to the file's folder.
KorvaDeck LoadKorvaFile(const std::string& path);
// The same, with the snapshot of what was read for the next SaveKorvaChanges.
KorvaDeck LoadKorvaFile(const std::string& path, KorvaSnapshot& saved);

// Writes deck as a whole new .korva file at path: built in memory, written to
// a temporary file beside path, synced, then renamed over path, so that after
// a failure, a kill or a power cut path holds the old file or the new one.
// The folder must allow a new file. deck.savedMs and savedByVersion are
// written as they are; the settings within their ranges (the nearest value
// in range), memory only of the cards the deck holds, memoryRows at most
// the record's size. DeckError on failure: UnevenArrays (cardIds not as
// long as the cards, more than MaxCards cards), CardIdBroken, CannotWrite,
// CannotSave. Returns the snapshot of what was written.
KorvaSnapshot SaveKorvaFile(const std::string& path, const KorvaDeck& deck);
// The same with the revision stamp given (not 0), for a file made at build
// time that every build of the same sources must make byte for byte.
KorvaSnapshot SaveKorvaFile(const std::string& path, const KorvaDeck& deck, int64_t revision);

// Brings the .korva file at path, which lastSaved describes, up to now in one
// SQLite transaction that writes only what changed: cards edited, added,
// removed or moved (found by id), the review rows past lastSaved.recordRows,
// the memory of the cards named by the record rows it now accounts for
// beyond lastSaved.memoryRows, and the deck's modes, settings and save time.
// lastSaved then describes the file.
//
// The record is taken to grow only at its end; a record shorter than the
// file's is written whole. Where path holds no file, a file of another
// revision than lastSaved's (saved elsewhere since), a damaged one or no
// .korva file at all, the whole deck is written as SaveKorvaFile does.
//
// SQLite's rollback journal (path + "-journal") keeps the transaction atomic
// across a kill or power cut and is gone once the save returns. DeckError on
// failure, the file and lastSaved then as they were.
void SaveKorvaChanges(const std::string& path, const KorvaDeck& now, KorvaSnapshot& lastSaved);

}  // namespace korva
