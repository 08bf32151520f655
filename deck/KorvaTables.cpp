#include "deck/KorvaTables.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "deck/DeckError.h"
#include "deck/Sqlite.h"

namespace korva::detail {

void Damaged(std::string reason) {
    throw DeckError({.kind = DeckErrorKind::DatabaseDamaged, .systemReason = std::move(reason)});
}

// The counter the file keeps: past every id in use, whatever the deck's own
// counter says, so that no id is ever given twice.
int64_t NextIdToKeep(const KorvaDeck& deck) {
    int64_t next = std::max<int64_t>(deck.nextCardId, 1);
    for (std::size_t card = 1; card < deck.cardIds.size(); ++card) {
        next = std::max(next, deck.cardIds[card] + 1);
    }
    return next;
}

// The rows the kept memory accounts for; more than the record holds would
// say it knows of answers the file lacks.
std::size_t MemoryRowsToKeep(const KorvaDeck& deck) { return std::min(deck.memoryRows, deck.record.size()); }

// The settings within their ranges, as the reader requires them: a value
// out of range is the nearest one in it, an undefined retention the default.
ScheduleSettings SettingsToKeep(const KorvaDeck& deck) {
    ScheduleSettings kept;
    kept.newCardsPerDay = std::clamp(deck.settings.newCardsPerDay, MinNewCardsPerDay, MaxNewCardsPerDay);
    if (!std::isnan(deck.settings.desiredRetention)) {
        kept.desiredRetention = std::clamp(deck.settings.desiredRetention, MinDesiredRetention, MaxDesiredRetention);
    }
    return kept;
}

KorvaSnapshot SnapshotOf(const KorvaDeck& deck, int64_t revision) {
    // memoryRows and the retention describe the file only when it is of this
    // version: an older one is saved whole next time anyway.
    KorvaSnapshot snapshot;
    snapshot.cards.reserve(deck.cardIds.size() - 1);
    for (std::size_t card = 1; card < deck.cardIds.size(); ++card) {
        snapshot.cards.push_back({deck.cardIds[card], KorvaCardHash(deck.cards, static_cast<int>(card))});
    }
    snapshot.recordRows = deck.record.size();
    snapshot.memoryRows = MemoryRowsToKeep(deck);
    snapshot.memoryRetention = SettingsToKeep(deck).desiredRetention;
    snapshot.revision = revision;
    return snapshot;
}

// Checks that the file is a .korva file this program can read; its schema
// version.
int64_t RequireKorvaFile(sqlite::Database& db) {
    if (db.QueryInt("PRAGMA application_id") != KorvaApplicationId) {
        throw DeckError(DeckErrorKind::NotKorvaDeck);
    }
    const int64_t version = db.QueryInt("PRAGMA user_version");
    if (version > KorvaSchemaVersion) {
        throw DeckError({.kind = DeckErrorKind::NewerSchema, .value = static_cast<long long>(version)});
    }
    if (version < 1) {
        Damaged("user_version " + std::to_string(version));
    }
    return version;
}

}  // namespace korva::detail
