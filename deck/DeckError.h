#pragma once

#include <new>
#include <stdexcept>
#include <string>

#include "deck/CardData.h"

namespace korva {

// What went wrong in the deck layer. The sentence the user reads is made from
// this and the fields beside it by DescribeDeckError, where it is shown.
enum class DeckErrorKind {
    CannotOpen,          // cause, systemReason
    CannotRead,          // cause, systemReason
    CannotWrite,         // cause, systemReason, restore
    CannotSave,          // cause, systemReason
    TooLarge,            // past MaxReadBytes
    OutOfMemory,         //
    Damaged,             // damage, array, number, value
    TooManyCards,        // a word list past MaxCards
    TooManyCsvLines,     // a CSV file past MaxCards lines
    AppendPastMaxCards,  // an append past MaxCards, from any source
    ItemTooLong,         // line, column: a read item past MaxItemBytes
    ItemTooLongToSave,   // an item past the deck file's length field
    ItemTooLongToKeep,   // an edited item past the deck file's length field
    UnevenArrays,        // the deck's arrays differ in length
    NotInCp932,          // line, text: the character
    UnclosedQuote,       // line
    BadBytes,            // line, text: the encoding's name
    MissingColumn,       // number: the column, value: the most fields of a line
    NoConverter,         // iconv cannot be opened
    UnknownFileKind,     // a name ending in none of the known endings
    BadSeparator,        // a separator not among the offered ones
    BadColumnNumber,     // a column number below 1
    // A deck written out as a word list: number is the card, column the item.
    TextStartsWithQuote,  // in a list without quoting
    TextHoldsBreak,       // text: the separator, "\r" or "\n"
    TextNotCp932,         // bytes not of code page 932, for a UTF-8 list or deck
    QuestionItemBroken,   // number: the card, value: its question item
    // The .korva deck file, an SQLite database; systemReason holds SQLite's
    // words where it gave them.
    NotKorvaDeck,     // no SQLite database, or (systemReason empty) another program's
    NewerSchema,      // value: the file's schema version, newer than this program's
    DatabaseDamaged,  // damage SQLite or the reader found
    CardIdBroken,     // number: the card, value: its id, not positive or not unique
    // A deck's texts taken to code page 932: number is the card, column the
    // item, text the character.
    CardTextNotInCp932,
};

// Why a file call failed when the system gave no reason, or which kind of
// node stood where a regular file was expected.
enum class FileCause {
    System,  // systemReason holds the system's words
    Folder,
    Pipe,
    Socket,
    Device,
    NotRegular,
    ShrankWhileRead,
    SizeMismatch,
    TooLargeToKeep,  // too large to keep a copy of before overwriting
    CannotReserve,   // no space could be reserved before overwriting
};

// Whether a failed overwrite in place put the old contents back.
enum class Restore { NotTried, Restored, NotRestored };

// What is wrong in a damaged deck file.
enum class Damage {
    Truncated,
    NotTwoDimensions,     // array
    LowerBoundNotZero,    // array
    ItemSlotsNotThree,    // array
    CardCountOutOfRange,  // array
    CountPastFileLength,
    QuestionOutOfRange,  // number: the card, value: its question item
    CardCountsDiffer,
    QuestionsNotOneDimension,
    QuestionsLowerBoundNotZero,
};

// The two grids of a deck file.
enum class DeckArray { Items, Checks };

struct DeckErrorDetail {
    DeckErrorKind kind = DeckErrorKind::CannotRead;
    FileCause cause = FileCause::System;
    std::string systemReason{};
    Restore restore = Restore::NotTried;
    Damage damage = Damage::Truncated;
    DeckArray array = DeckArray::Items;
    long long line = 0;
    long long column = 0;
    long long number = 0;
    long long value = 0;
    std::string text{};
};

// Every failure of the deck layer: a file that cannot be read or written, a
// damaged deck file, a deck that would grow past MaxCards, a text too long for
// its length field. what() names the kind for a developer's log only.
class DeckError : public std::runtime_error {
public:
    explicit DeckError(DeckErrorDetail detail);
    explicit DeckError(DeckErrorKind kind) : DeckError(DeckErrorDetail{.kind = kind}) {}

    const DeckErrorDetail& detail() const { return Detail_; }
    DeckErrorKind kind() const { return Detail_.kind; }

private:
    DeckErrorDetail Detail_;
};

// Runs a read of a file into a deck. Running out of memory in it is one more
// reason the file cannot be read, reported like the others; the read leaves
// the deck as it was either way.
template <typename Read>
void ReadWithinMemory(Read&& read) {
    try {
        read();
    } catch (const std::bad_alloc&) {
        throw DeckError(DeckErrorKind::OutOfMemory);
    }
}

}  // namespace korva
