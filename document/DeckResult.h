#pragma once

#include <QString>

#include "deck/DeckError.h"

namespace korva {

// Why a document could not read or write a file.
enum class DeckFailure {
    None,
    Cancelled,   // the user declined how a word list would be read
    OtherKind,   // neither a deck file nor a word list, by its ending
    Missing,     // no readable file at the path
    Unreadable,  // damaged, too large for a deck, or the system refused
    Unwritable,  // the system refused the write
};

// The outcome of an open, append, import or save. The window words it: path
// names the file concerned, error is the cause as the reader or writer gave it
// (for Unreadable and Unwritable).
struct DeckResult {
    DeckFailure failure = DeckFailure::None;
    QString path;
    DeckErrorDetail error;

    bool isDone() const { return failure == DeckFailure::None; }
};

}  // namespace korva
