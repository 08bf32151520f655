#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "deck/CardData.h"
#include "deck/CardMemory.h"

namespace korva {

// The .korva deck file is an SQLite database: PRAGMA application_id holds
// this ("KRVA" in ASCII), PRAGMA user_version the version of its tables.
inline constexpr int32_t KorvaApplicationId = 0x4B525641;
// The newest version this program reads and the one it writes. A file of an
// older version is read; a newer one is refused (DeckErrorKind::NewerSchema).
inline constexpr int KorvaSchemaVersion = 2;

// One answer given in study, as the record keeps it.
struct ReviewRow {
    int64_t timeMs = 0;            // UTC milliseconds since the epoch
    int64_t cardId = 0;            // the card's stable id (KorvaDeck::cardIds), which may since have been removed
    int16_t item = 1;              // the item that was asked: 1 or 2
    bool checked = false;          // whether the card was left checked after the answer
    uint8_t style = AnswerNormal;  // AnswerNormal or AnswerTest
    int8_t judged = -1;            // a typed answer's judgement: -1 none, 0 wrong, 1 right

    friend bool operator==(const ReviewRow&, const ReviewRow&) = default;
};

// An empty deck whose texts are UTF-8.
inline CardData UnicodeCards() {
    CardData cards;
    cards.encoding = ItemEncoding::Utf8;
    return cards;
}

// A deck as the .korva file holds it.
//
// cards reuses the .krv deck's layout (cards 1..Total, items 1 and 2, raw
// check values, question items, modes), but its item texts are UTF-8 text, in
// any language, line breaks as they are. The file keeps items 1 and 2, check
// marks 0..2 and the question item of cards 1..Total; card 0 and item slot 0,
// which the program never shows, are not kept and load empty. At most
// MaxCards cards.
//
// Every card has an id that stays with it through edits and moves, so that
// the record can name it and a save can find what changed: positive, unique,
// never given again once the card is removed (NewCardId).
//
// memory is what the schedule knows of each card, found by the card's id so
// that cards inserted, removed or moved need no change to it: the state the
// first memoryRows rows of the record leave, the rows of each card id and
// asked item replayed in order (memory/MemoryKeeping.h: CatchUpMemory applies the
// rest). A card missing from it has never been reviewed in either direction,
// as far as those rows go. An id of a card since removed may linger; it is
// never read and never saved. The states' due times are reckoned at
// settings.desiredRetention.
struct KorvaDeck {
    CardData cards = UnicodeCards();
    std::vector<int64_t> cardIds = std::vector<int64_t>(1);  // [card]; [0] unused, 0
    std::vector<ReviewRow> record;                           // in time order; only ever appended to
    int64_t nextCardId = 1;                                  // the id NewCardId gives next
    int64_t createdMs = 0;       // when the deck was first saved as a .korva file, ms since the epoch
    int64_t savedMs = 0;         // the time of the latest save: set by the caller before it saves
    std::string savedByVersion;  // the program version that saved it, e.g. "1.0"
    std::unordered_map<int64_t, CardMemories> memory;  // by card id
    std::size_t memoryRows = 0;                        // how many of the record's first rows memory accounts for
    ScheduleSettings settings;
};

// Whether a and b are the same deck as the .korva file keeps it: every field
// but card 0 and item slot 0, and memory only of the cards the deck holds.
bool SameKorvaDeck(const KorvaDeck& a, const KorvaDeck& b);

// A new id for a card about to be added: never one the deck has given before,
// even to a card since removed. The file keeps the counter.
int64_t NewCardId(KorvaDeck& deck);

// A .korva deck of cards whose item texts are already UTF-8 (a .krv deck's
// converted through Cp932Text.h, a word list's): ids 1..Total in card order,
// an empty record, created and saved at nowMs. Card 0 and item slot 0 are
// dropped, as the file drops them.
KorvaDeck MakeKorvaDeck(CardData cards, int64_t nowMs, std::string version);

}  // namespace korva
