#pragma once

#include <functional>
#include <string>
#include <utility>

#include <QTimer>

#include "recovery/RecoveryOrigin.h"

namespace korva {

class RecoveryStore;

// Keeps one card window's recovery copy in step with its deck while the deck
// is edited. A change asks for a write a little later, never inside the
// keypress that made it; changes that follow do not push that write back, so
// steady study still reaches the disk every WriteDelayMs. The deck's bytes
// are taken here, on the window's thread, and the store writes them.
class RecoveryKeeper {
public:
    // Short enough that a write, with a slow disk's sync, is on disk about 2
    // seconds after the change.
    static constexpr int WriteDelayMs = 1500;

    // What a copy holds: the deck record's bytes and where the deck came from.
    using Snapshot = std::function<std::pair<std::string, RecoveryOrigin>()>;

    // Without a store (none could be made) the keeper does nothing.
    RecoveryKeeper(RecoveryStore* store, Snapshot snapshot);

    void Changed();
    void WriteNow();
    // Stops a pending write and removes the copy.
    void Remove();

    bool isWritePending() const { return Timer_.isActive(); }
    int RemainingMs() const { return Timer_.remainingTime(); }

private:
    RecoveryStore* Store_;
    Snapshot Snapshot_;
    QTimer Timer_;
    int Number_ = 0;  // the copy's number in the store; 0 before the first write
    bool OnDisk_ = false;
};

}  // namespace korva
