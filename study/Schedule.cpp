#include "study/Schedule.h"

#include <QDateTime>
#include <QTime>
#include <algorithm>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace korva {

namespace {

bool IsDirection(int16_t item) { return item == 1 || item == 2; }

std::size_t Slot(int16_t item) { return static_cast<std::size_t>(item - 1); }

const CardMemories* MemoriesOf(const KorvaDeck& deck, int64_t id) {
    const auto found = deck.memory.find(id);
    return found != deck.memory.end() ? &found->second : nullptr;
}

// The memory of card's asked direction; null for a card asking no direction,
// or one never reviewed in it.
const MemoryState* AskedMemory(const KorvaDeck& deck, std::size_t card, bool& scheduled) {
    const int16_t asked = deck.cards.QuestionItems[card];
    scheduled = IsDirection(asked);
    if (!scheduled) {
        return nullptr;
    }
    const CardMemories* memories = MemoriesOf(deck, deck.cardIds[card]);
    if (memories == nullptr || !(*memories)[Slot(asked)]) {
        return nullptr;
    }
    return &*(*memories)[Slot(asked)];
}

// A pair of card id and item as one key.
int64_t DirectionKey(int64_t id, int16_t item) { return id * 2 + (item - 1); }

// The day of boundaries (starts of consecutive days) that time falls in, or
// -1 before the first, boundaries.size() - 1 from the last on.
int DayIn(const std::vector<int64_t>& boundaries, int64_t time) {
    return static_cast<int>(std::upper_bound(boundaries.begin(), boundaries.end(), time) - boundaries.begin()) - 1;
}

// Reviews a day over the days before today: [k] k days before today, count
// of them. Rows of any card, removed or not.
std::vector<int> ReviewsPerDay(const std::vector<ReviewRow>& record, const StudyDays& days, int count) {
    const std::vector<int64_t> boundaries = days.Boundaries(1 - count, count);
    std::vector<int> perDay(static_cast<std::size_t>(count));
    for (const ReviewRow& row : record) {
        const int day = DayIn(boundaries, row.timeMs);
        if (day >= 0 && day < count) {
            ++perDay[static_cast<std::size_t>(count - 1 - day)];
        }
    }
    return perDay;
}

}  // namespace

StudyDays::StudyDays(int64_t nowMs, const QTimeZone& zone) : Zone_(zone), Now_(nowMs) {
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(nowMs, Zone_);
    Today_ = local.date();
    if (local.time().hour() < DayStartHour) {
        Today_ = Today_.addDays(-1);
    }
    TodayStart_ = DayStart(0);
    TodayEnd_ = DayStart(1);
}

int64_t StudyDays::DayStart(int offset) const {
    // Where 04:00 falls in a gap of the clocks, Qt takes the time after it.
    return QDateTime(Today_.addDays(offset), QTime(DayStartHour, 0), Zone_).toMSecsSinceEpoch();
}

std::vector<int64_t> StudyDays::Boundaries(int first, int count) const {
    std::vector<int64_t> boundaries;
    boundaries.reserve(static_cast<std::size_t>(count) + 1);
    for (int day = first; day <= first + count; ++day) {
        boundaries.push_back(DayStart(day));
    }
    return boundaries;
}

int TodayCounts::NewToday() const { return std::max(0, std::min(newAvailable, newLimit - newBegun)); }

void TodayCounts::Follow(const MemoryChange& change, bool asked, const StudyDays& days) {
    if (asked) {
        if (!change.before) {
            --newAvailable;
        } else if (change.before->due < days.TodayEnd()) {
            --reviews;
        }
        if (change.after.due < days.TodayEnd()) {
            ++reviews;
        }
    }
    if (!change.before && change.after.lastReview >= days.TodayStart() && change.after.lastReview < days.TodayEnd()) {
        ++newBegun;
    }
}

namespace {

// Today's counts, and each card's asked memory handed to visit(card,
// memory, scheduled) on the way, so that one pass over the deck serves both
// the counts and the due set.
template <typename Visit>
TodayCounts CountTodayVisiting(const KorvaDeck& deck, const StudyDays& days, Visit visit) {
    TodayCounts counts;
    counts.newLimit = deck.settings.newCardsPerDay;
    // Today's rows a direction, read back from the last row memory knows.
    std::unordered_map<int64_t, int> today;
    for (std::size_t at = std::min(deck.memoryRows, deck.record.size()); at > 0; --at) {
        const ReviewRow& row = deck.record[at - 1];
        if (row.timeMs < days.TodayStart()) {
            break;
        }
        if (IsDirection(row.item) && row.timeMs < days.TodayEnd()) {
            ++today[DirectionKey(row.cardId, row.item)];
        }
    }
    for (std::size_t card = 1; card < deck.cardIds.size(); ++card) {
        const int16_t asked = deck.cards.QuestionItems[card];
        const CardMemories* memories = MemoriesOf(deck, deck.cardIds[card]);
        const MemoryState* askedMemory = nullptr;
        if (memories != nullptr) {
            for (const int16_t item : {int16_t{1}, int16_t{2}}) {
                const CardMemory& memory = (*memories)[Slot(item)];
                if (item == asked && memory) {
                    askedMemory = &*memory;
                }
                // Begun today: every one of its reviews given today.
                if (memory && memory->lastReview >= days.TodayStart() && !today.empty()) {
                    const auto found = today.find(DirectionKey(deck.cardIds[card], item));
                    counts.newBegun += found != today.end() && found->second == memory->reviews ? 1 : 0;
                }
            }
        }
        if (askedMemory != nullptr) {
            counts.reviews += askedMemory->due < days.TodayEnd() ? 1 : 0;
        } else {
            counts.newAvailable += IsDirection(asked) ? 1 : 0;
        }
        visit(card, askedMemory, IsDirection(asked));
    }
    return counts;
}

}  // namespace

TodayCounts CountToday(const KorvaDeck& deck, const StudyDays& days) {
    return CountTodayVisiting(deck, days, [](std::size_t, const MemoryState*, bool) {});
}

DueCards DueToday(const KorvaDeck& deck, const StudyDays& days) {
    DueCards due;
    std::vector<int> fresh;
    const TodayCounts counts =
        CountTodayVisiting(deck, days, [&](std::size_t card, const MemoryState* memory, bool scheduled) {
            if (memory != nullptr) {
                if (memory->due < days.TodayEnd()) {
                    due.reviews.push_back(static_cast<int>(card));
                }
            } else if (scheduled) {
                fresh.push_back(static_cast<int>(card));
            }
        });
    fresh.resize(static_cast<std::size_t>(counts.NewToday()));
    due.fresh = std::move(fresh);
    return due;
}

std::optional<int64_t> NextStudyTime(const KorvaDeck& deck, const StudyDays& days) {
    std::optional<int64_t> next;
    const auto sooner = [&next](int64_t time) {
        next = next ? std::min(*next, time) : time;
    };
    for (std::size_t card = 1; card < deck.cardIds.size(); ++card) {
        bool scheduled = false;
        const MemoryState* memory = AskedMemory(deck, card, scheduled);
        if (memory != nullptr) {
            sooner(std::max(memory->due, days.TodayEnd()));
        } else if (scheduled && deck.settings.newCardsPerDay > 0) {
            sooner(days.TodayEnd());
        }
    }
    return next;
}

ScheduleSummary SummarizeSchedule(const KorvaDeck& deck, const StudyDays& days) {
    ScheduleSummary summary;
    summary.today = CountToday(deck, days);
    const std::vector<int64_t> boundaries = days.Boundaries(0, ForecastDays);
    for (std::size_t card = 1; card < deck.cardIds.size(); ++card) {
        const CardMemories* memories = MemoriesOf(deck, deck.cardIds[card]);
        for (const int16_t item : {int16_t{1}, int16_t{2}}) {
            DirectionCounts& counts = summary.directions[Slot(item)];
            const CardMemory* memory = memories != nullptr ? &(*memories)[Slot(item)] : nullptr;
            if (memory == nullptr || !*memory) {
                ++counts.fresh;
                continue;
            }
            ++((*memory)->stability < LearntStability ? counts.learning : counts.learnt);
            if (deck.cards.QuestionItems[card] == item) {
                const int day = std::max(0, DayIn(boundaries, (*memory)->due));
                if (day < ForecastDays) {
                    ++summary.forecast[static_cast<std::size_t>(day)];
                }
            }
        }
    }
    return summary;
}

RecordSummary SummarizeRecord(const KorvaDeck& deck, const StudyDays& days) {
    RecordSummary summary;
    summary.calendar = ReviewsPerDay(deck.record, days, CalendarDays);

    // A streak as long as the calendar may go on before it: counted again
    // over twice the days, as often as it does.
    int window = CalendarDays;
    std::vector<int> perDay = summary.calendar;
    for (;;) {
        std::size_t day = perDay[0] > 0 ? 0 : 1;
        const std::size_t first = day;
        while (day < perDay.size() && perDay[day] > 0) {
            ++day;
        }
        summary.streak = static_cast<int>(day - first);
        if (day < perDay.size() || window > MaxIntervalDays * 2) {
            break;
        }
        window *= 2;
        perDay = ReviewsPerDay(deck.record, days, window);
    }

    // The directions reviewed within the window, and only their rows replayed.
    const std::vector<int64_t> boundaries = days.Boundaries(1 - RetentionDays, RetentionDays);
    const int64_t from = boundaries.front();
    const int64_t to = boundaries.back();
    const std::unordered_set<int64_t> held(deck.cardIds.begin() + 1, deck.cardIds.end());
    std::unordered_map<int64_t, CardMemory> replayed;
    for (const ReviewRow& row : deck.record) {
        if (row.timeMs >= from && row.timeMs < to && IsDirection(row.item) && held.contains(row.cardId)) {
            replayed.try_emplace(DirectionKey(row.cardId, row.item));
        }
    }
    if (replayed.empty()) {
        return summary;
    }
    const ScheduleParameters parameters = ParametersOf(deck.settings);
    int asked = 0;
    int passed = 0;
    for (const ReviewRow& row : deck.record) {
        if (!IsDirection(row.item)) {
            continue;
        }
        const auto found = replayed.find(DirectionKey(row.cardId, row.item));
        if (found == replayed.end()) {
            continue;
        }
        CardMemory& memory = found->second;
        if (row.timeMs >= from && row.timeMs < to && memory) {
            const int day = DayIn(boundaries, row.timeMs);
            if (memory->due < boundaries[static_cast<std::size_t>(day) + 1]) {
                ++asked;
                passed += row.checked ? 1 : 0;
            }
        }
        memory = Reviewed(memory, {row.timeMs, row.checked}, parameters);
    }
    if (asked > 0) {
        summary.retention = static_cast<double>(passed) / asked;
    }
    return summary;
}

}  // namespace korva
