#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "deck/DeckText.h"

namespace korva {

// Card indexes, the total and positions are 16-bit in the deck file; a deck
// never holds more cards than this.
inline constexpr int MaxCards = 32767;

// An item's length is 16-bit in the deck file: no item holds more bytes.
inline constexpr std::size_t MaxItemBytes = 65535;

// A 16-bit boolean as the deck file stores it.
inline constexpr int16_t True16 = -1;
inline constexpr int16_t False16 = 0;

// The deck keeps each study mode as the raw byte of its file, since a damaged
// deck may hold any value there and must load and save unchanged; these are
// the values the program itself gives them.
struct StudyModes {
    uint8_t TurnMode = 0;      // TurnNormal or TurnShuffle
    uint8_t ReservedMode = 0;  // carried through load and save untouched
    uint8_t ViewKind = 0;      // ViewChecked, ViewUnchecked, ViewAll or ViewDue
    uint8_t AnswerMode = 0;    // AnswerNormal or AnswerTest
};

inline constexpr uint8_t TurnNormal = 1;   // cards in deck order
inline constexpr uint8_t TurnShuffle = 2;  // a fresh random order every cycle

inline constexpr uint8_t ViewChecked = 1;    // checked cards only
inline constexpr uint8_t ViewUnchecked = 2;  // unchecked cards only
inline constexpr uint8_t ViewAll = 4;        // every card (there is no 3)
// The cards the schedule asks for today; only a UTF-8 deck, which keeps a
// record to schedule by, is dealt so. Any other deck deals all cards.
inline constexpr uint8_t ViewDue = 8;

inline constexpr uint8_t AnswerNormal = 1;  // the answer is revealed
inline constexpr uint8_t AnswerTest = 2;    // the answer is typed and judged

// The modes a deck starts with when it is read from a CSV file.
inline constexpr StudyModes ImportedModes{TurnNormal, 1, ViewAll, AnswerNormal};

// The deck. Every array is indexed by card 0..total (card 0 is never shown);
// each card holds item slots 0..2 (item 0 is never shown).
//
// Item texts are kept in the deck's Encoding: the code page 932 bytes of a
// .krv file, so a load and a save give back the very bytes that were read,
// or a .korva file's UTF-8; convert them with DeckText.h only to show or
// compare them.
//
// Check marks keep the raw 16-bit value of the file (True16 / False16 when
// the program writes them); any non-zero value counts as checked.
struct CardData {
    using ItemTexts = std::array<std::string, 3>;
    using ItemChecks = std::array<int16_t, 3>;

    std::vector<ItemTexts> Items = std::vector<ItemTexts>(1);      // [card][item]
    std::vector<ItemChecks> Checks = std::vector<ItemChecks>(1);   // [card][question item]
    std::vector<int16_t> QuestionItems = std::vector<int16_t>(1);  // [card]
    StudyModes Modes;
    // The .krv file's code page 932 unless the deck was read from (or made
    // for) a .korva file.
    ItemEncoding encoding = ItemEncoding::Cp932;

    // The upper bound of the card dimension of Items.
    int16_t Total() const { return static_cast<int16_t>(Items.size() - 1); }
};

}  // namespace korva
