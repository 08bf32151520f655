#pragma once

#include <functional>
#include <string_view>

#include "deck/AnkiDirectives.h"
#include "deck/WordList.h"
#include "deck/WordListText.h"

namespace korva {

// The steps of ReadWordList after its bytes are decoded, for a reader that
// keeps the decoded text and cuts it again with other options.

// Told now and then how far a long read has come, from 0 to 1. It may stop
// the read by throwing, and the read then ends with what it threw.
using ReadProgress = std::function<void(double done)>;

// Refuses a separator the reader does not know and a column below 1.
void RequireValidWordListOptions(const WordListOptions& options);

// What a decoded text says of itself, before any choice of the user's.
WordListFormat DetectedWordListFormat(const WordListText& text, const AnkiHeader& header);

// What can be told of bytes whose byte-order mark names an encoding they
// are not in: the mark, and no line end.
WordListFormat UndecodableWordListFormat(std::string_view bytes);

// The records of the decoded text read with the options (already checked),
// as ReadWordList reads them; progress, if set, hears how far it has come.
WordList ReadDecodedWordList(const WordListText& text, const AnkiHeader& header, const WordListOptions& options,
                             const ReadProgress& progress = {});

}  // namespace korva
