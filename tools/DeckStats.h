#pragma once

#include <string>

#include "deck/CardData.h"
#include "deck/KorvaDeck.h"
#include "study/Schedule.h"

namespace korva {

// Study progress as one line of JSON in UTF-8:
// {"total":N,"asking":{"item1":a,"item2":b},"checked":{"item1":c,"item2":d},"learnt":e}
// asking counts the cards by their question item, checked the marks per item,
// learnt the cards the "checked only" filter shows. Throws DeckError naming
// the card when a damaged question item leaves its mark unreadable.
std::string DeckStatsToJson(const CardData& data);

// The same object with the deck's schedule at days added:
// "schedule":{"due":N,"new":M,"forecast":[n0,…,n29],"retention30":R,"streak":S}:
// reviews due today, new cards today, cards due on each of the next 30 days
// (0 today, overdue ones included), the share of passes among the reviews
// that were due over the last 30 days (null for none) and the days of study
// in a row (study/Schedule.h). The deck's memory must account for its record.
std::string DeckStatsToJson(const KorvaDeck& deck, const StudyDays& days);

}  // namespace korva
