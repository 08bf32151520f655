#include "memory/MemoryKeeping.h"

#include <algorithm>
#include <cmath>

namespace korva {

namespace {

bool IsDirection(int16_t item) { return item == 1 || item == 2; }

std::size_t Slot(int16_t item) { return static_cast<std::size_t>(item - 1); }

}  // namespace

ScheduleParameters ParametersOf(const ScheduleSettings& settings) {
    ScheduleParameters parameters;
    parameters.desiredRetention = settings.desiredRetention;
    return parameters;
}

std::optional<MemoryChange> ApplyNextRow(KorvaDeck& deck) {
    if (deck.memoryRows >= deck.record.size()) {
        return std::nullopt;
    }
    const ReviewRow& row = deck.record[deck.memoryRows++];
    if (!IsDirection(row.item)) {
        return std::nullopt;
    }
    CardMemory& memory = deck.memory[row.cardId][Slot(row.item)];
    MemoryChange change{row.cardId, row.item, memory, {}};
    change.after = Reviewed(memory, {row.timeMs, row.checked}, ParametersOf(deck.settings));
    memory = change.after;
    return change;
}

std::size_t CatchUpMemory(KorvaDeck& deck) {
    if (deck.memoryRows > deck.record.size()) {
        deck.memory.clear();
        deck.memoryRows = 0;
    }
    const std::size_t from = deck.memoryRows;
    const ScheduleParameters parameters = ParametersOf(deck.settings);
    for (; deck.memoryRows < deck.record.size(); ++deck.memoryRows) {
        const ReviewRow& row = deck.record[deck.memoryRows];
        if (IsDirection(row.item)) {
            CardMemory& memory = deck.memory[row.cardId][Slot(row.item)];
            memory = Reviewed(memory, {row.timeMs, row.checked}, parameters);
        }
    }
    return deck.memoryRows - from;
}

void SetScheduleSettings(KorvaDeck& deck, ScheduleSettings settings) {
    settings.newCardsPerDay = std::clamp(settings.newCardsPerDay, MinNewCardsPerDay, MaxNewCardsPerDay);
    settings.desiredRetention = std::isnan(settings.desiredRetention)
                                    ? ScheduleSettings{}.desiredRetention
                                    : std::clamp(settings.desiredRetention, MinDesiredRetention, MaxDesiredRetention);
    const bool redue = settings.desiredRetention != deck.settings.desiredRetention;
    deck.settings = settings;
    if (!redue) {
        return;
    }
    const ScheduleParameters parameters = ParametersOf(settings);
    for (auto& [id, memories] : deck.memory) {
        for (CardMemory& memory : memories) {
            // Only a pass puts a card off; a fail leaves it due at its time.
            if (memory && memory->due > memory->lastReview) {
                memory->due = memory->lastReview + ScheduledDays(memory->stability, parameters) * MillisecondsPerDay;
            }
        }
    }
}

}  // namespace korva
