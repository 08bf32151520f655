#include "tools/DeckStats.h"

#include <array>
#include <stdexcept>

#include "deck/DeckError.h"
#include "study/CountingMark.h"
#include "tools/DeckJson.h"

namespace korva {

namespace {

struct DeckStats {
    // Indexed by item; slot 0 stays unused.
    std::array<int, 3> asking{};
    std::array<int, 3> checked{};
    int learnt = 0;
};

// What the card window's filter decides for the card; the study engine's own
// rule, so the count always matches what "checked only" shows.
bool IsLearnt(const CardData& data, std::size_t card) {
    try {
        return CountingMark(data, static_cast<int>(card));
    } catch (const std::out_of_range&) {
        throw DeckError({.kind = DeckErrorKind::QuestionItemBroken,
                         .number = static_cast<long long>(card),
                         .value = data.QuestionItems[card]});
    }
}

DeckStats CountDeckStats(const CardData& data) {
    DeckStats stats;
    for (std::size_t card = 1; card < data.Items.size(); ++card) {
        const int16_t question = data.QuestionItems[card];
        if (question == 1 || question == 2) {
            ++stats.asking[static_cast<std::size_t>(question)];
        }
        for (const std::size_t item : {1u, 2u}) {
            stats.checked[item] += data.Checks[card][item] != 0 ? 1 : 0;
        }
        stats.learnt += IsLearnt(data, card) ? 1 : 0;
    }
    return stats;
}

std::string ItemCounts(const std::array<int, 3>& counts) {
    return "{\"item1\":" + std::to_string(counts[1]) + ",\"item2\":" + std::to_string(counts[2]) + "}";
}

}  // namespace

std::string DeckStatsToJson(const CardData& data) {
    const DeckStats stats = CountDeckStats(data);
    return "{\"total\":" + std::to_string(data.Total()) + ",\"asking\":" + ItemCounts(stats.asking) +
           ",\"checked\":" + ItemCounts(stats.checked) + ",\"learnt\":" + std::to_string(stats.learnt) + "}";
}

}  // namespace korva

namespace korva {

std::string DeckStatsToJson(const KorvaDeck& deck, const StudyDays& days) {
    std::string out = DeckStatsToJson(deck.cards);
    out.pop_back();
    const ScheduleSummary schedule = SummarizeSchedule(deck, days);
    const RecordSummary record = SummarizeRecord(deck, days);
    out += ",\"schedule\":{\"due\":" + std::to_string(schedule.today.reviews) +
           ",\"new\":" + std::to_string(schedule.today.NewToday()) + ",\"forecast\":[";
    for (std::size_t day = 0; day < schedule.forecast.size(); ++day) {
        out += (day > 0 ? "," : "") + std::to_string(schedule.forecast[day]);
    }
    out += "],\"retention30\":" + JsonNumber(record.retention) + ",\"streak\":" + std::to_string(record.streak) + "}}";
    return out;
}

}  // namespace korva
