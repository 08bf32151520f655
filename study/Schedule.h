#pragma once

#include <QTimeZone>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "deck/KorvaDeck.h"
#include "memory/MemoryKeeping.h"
#include "memory/MemoryState.h"

namespace korva {

// The schedule of a deck: what each card's memory is after the deck's
// record, which cards are due today, and what the record says of the days
// gone by. Everything here reads the deck's kept memory (KorvaDeck::memory)
// rather than replaying the record, except the record's own figures
// (SummarizeRecord); memory/MemoryKeeping.h keeps the memory up to the record.
//
// A card is scheduled in the direction it is asked now: the memory of its
// question item (cards.QuestionItems), item 1 or 2. A card asking item 0 (a
// deck converted from an odd .krv file) is not scheduled.

// --- The learner's days -----------------------------------------------------

// A day of study begins at 04:00 local time, as Anki's does, so that study
// past midnight still counts with the evening before it.
inline constexpr int DayStartHour = 4;

// The days around now in a time zone: today is the day of study that holds
// now, from its 04:00 to the next day's 04:00 local time (23 or 25 hours
// where the clocks change).
class StudyDays {
public:
    // zone: QTimeZone::systemTimeZone() for the learner's own.
    StudyDays(int64_t nowMs, const QTimeZone& zone);

    int64_t Now() const { return Now_; }
    // The start of the day offset days after today (0 today, -1 yesterday).
    int64_t DayStart(int offset) const;
    int64_t TodayStart() const { return TodayStart_; }
    int64_t TodayEnd() const { return TodayEnd_; }
    // The starts of days first..first + count, in order (count + 1 times).
    std::vector<int64_t> Boundaries(int first, int count) const;

private:
    QTimeZone Zone_;
    int64_t Now_ = 0;
    QDate Today_;
    int64_t TodayStart_ = 0;
    int64_t TodayEnd_ = 0;
};

// --- Today ------------------------------------------------------------------------

// The counts of a status line for today.
struct TodayCounts {
    int reviews = 0;       // cards whose asked direction is due by the end of today
    int newAvailable = 0;  // cards whose asked direction has never been reviewed
    int newBegun = 0;      // directions of the deck's cards first reviewed today
    int newLimit = 20;     // the deck's new cards a day

    // The new cards today may still begin: the limit less those begun today,
    // at most those there are.
    int NewToday() const;
    // Follows one review (ApplyNextRow's change) without counting the deck
    // again: asked tells whether the change is of its card's asked direction.
    void Follow(const MemoryChange& change, bool asked, const StudyDays& days);

    bool operator==(const TodayCounts&) const = default;
};

// Today's counts from the kept memory. newBegun counts the directions whose
// every review memory accounts for was given today: the record's rows are
// read back from the last until one before today, the record being in time
// order.
TodayCounts CountToday(const KorvaDeck& deck, const StudyDays& days);

// The cards to study today, each list in deck order: those due by the end
// of today in their asked direction (a failed card is due at the time of its
// fail, so it comes back the same day), and the new ones, the first
// NewToday() of them.
struct DueCards {
    std::vector<int> reviews;
    std::vector<int> fresh;
};
DueCards DueToday(const KorvaDeck& deck, const StudyDays& days);

// When the first card after today's is due: the earliest due of a reviewed
// direction a card asks, or tomorrow's start while new cards wait and the
// deck takes some a day; nullopt when nothing will ever be due.
std::optional<int64_t> NextStudyTime(const KorvaDeck& deck, const StudyDays& days);

// --- The schedule ahead ---------------------------------------------------------

inline constexpr int ForecastDays = 30;
// A direction whose stability reaches this many days is learnt; below it,
// learning.
inline constexpr double LearntStability = 21;

struct DirectionCounts {
    int fresh = 0;  // never reviewed
    int learning = 0;
    int learnt = 0;

    bool operator==(const DirectionCounts&) const = default;
};

struct ScheduleSummary {
    TodayCounts today;
    // Cards due on each day in their asked direction: [0] today, overdue
    // ones included (as today.reviews), [k] the day k days after today.
    std::array<int, ForecastDays> forecast{};
    // Every card of the deck in each direction, whichever it asks: [0] item 1
    // asked, [1] item 2 asked.
    std::array<DirectionCounts, 2> directions{};
};
ScheduleSummary SummarizeSchedule(const KorvaDeck& deck, const StudyDays& days);

// --- The record's figures ---------------------------------------------------------

inline constexpr int RetentionDays = 30;
inline constexpr int CalendarDays = 365;

struct RecordSummary {
    // Over the reviews of the last RetentionDays days (today and the 29
    // before it) of cards the deck holds: the share of passes among those of
    // a direction due by the end of the day of the review, that is, reviewed
    // before, and its due (from replaying the record up to that review) before
    // the next day's start; the reviews the due set asked for, a card failed
    // and asked again the same day among them. NaN when there is none.
    double retention = NAN;
    // Days of study in a row, each with a review of any card: ending today
    // when there was one today, else ending yesterday, since today is not
    // over (as Anki counts it); 0 when yesterday had none either.
    int streak = 0;
    // Reviews a day, of any card: [0] today, [k] k days before today.
    std::vector<int> calendar = std::vector<int>(CalendarDays);
};
// Reads the whole record; replays it only for the directions reviewed within
// the last RetentionDays days.
RecordSummary SummarizeRecord(const KorvaDeck& deck, const StudyDays& days);

}  // namespace korva
