#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "deck/KorvaDeck.h"
#include "study/Schedule.h"

namespace korva {

// Whether the deck is dealt as the schedule asks: the view ViewDue on a deck
// that keeps a record. A code page 932 deck keeps none, so there the view
// deals all cards, as any view kind the program does not know.
inline bool isDueView(const CardData& deck) {
    return deck.Modes.ViewKind == ViewDue && deck.encoding == ItemEncoding::Utf8;
}

// The cards the due view deals today, by card index: those due by the end of
// today in their asked direction and the new ones the day still takes.
struct DuePasses {
    std::vector<char> passes;  // [card], slot 0 never passes
    int lastPassing = -1;      // the largest card index that passes

    bool Passes(int card) const { return card > 0 && card <= lastPassing && passes[static_cast<std::size_t>(card)]; }
};
DuePasses ReadDuePasses(const KorvaDeck& deck, const StudyDays& days);

// What the due view says once the day's cards are all studied: that none is
// left, and from when the next can be, in local time (UTF-8).
std::string NothingDueMessage(const KorvaDeck& deck, const StudyDays& days, const QTimeZone& zone);

}  // namespace korva
