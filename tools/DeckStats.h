#pragma once

#include <string>

#include "deck/CardData.h"

namespace korva {

// Study progress as one line of JSON in UTF-8:
// {"total":N,"asking":{"item1":a,"item2":b},"checked":{"item1":c,"item2":d},"learnt":e}
// asking counts the cards by their question item, checked the marks per item,
// learnt the cards the "checked only" filter shows. Throws DeckError naming
// the card when a damaged question item leaves its mark unreadable.
std::string DeckStatsToJson(const CardData& data);

}  // namespace korva
