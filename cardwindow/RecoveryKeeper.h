#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include <QElapsedTimer>
#include <QTimer>

#include "deck/DeckError.h"
#include "document/DeckChange.h"
#include "recovery/CopyPace.h"
#include "recovery/RecoveryOrigin.h"

namespace korva {

class DeckDocument;
class RecoveryStore;

// Keeps one card window's recovery copy in step with its deck while the deck
// is edited. A change asks for a write a little later (the store's write
// delay), never inside the keypress that made it; changes that follow do not
// push that write back, so steady study still reaches the disk at that pace.
// A large deck's copy takes long to write: CopyPace spaces the copies so that
// they take at most a tenth of the time. The deck's bytes are taken here, on
// the window's thread, and the store writes them. A removal that fails is
// tried again at the next save or close. A deck that cannot be a copy at all
// is told once through the store's failure report.
//
// Kept for a document, it listens to it: any change of an edited deck, or
// the deck becoming edited, asks for a write; the flag cleared (a save)
// removes the copy.
class RecoveryKeeper : public DeckListener {
public:
    // What a copy holds: the deck record's bytes and where the deck came from.
    using Snapshot = std::function<std::pair<std::string, RecoveryOrigin>()>;

    // Without a store (none could be made) the keeper does nothing.
    RecoveryKeeper(RecoveryStore* store, Snapshot snapshot);
    RecoveryKeeper(RecoveryStore* store, DeckDocument& document);
    ~RecoveryKeeper();

    RecoveryKeeper(const RecoveryKeeper&) = delete;
    RecoveryKeeper& operator=(const RecoveryKeeper&) = delete;

    void DeckChanged(const DeckChange& change) override;

    void Changed();
    void WriteNow();
    // Stops a pending write and removes the copy.
    void Remove();
    // Returns once the copy asked for last is on disk (true) or failed.
    bool WaitUntilWritten();

    bool isWritePending() const { return Timer_.isActive() || Due_; }
    int RemainingMs() const { return Timer_.remainingTime(); }

private:
    void WriteWhenSpaced();
    void Written(int job);
    void Unwritable(const DeckErrorDetail& why);

    RecoveryStore* Store_;
    Snapshot Snapshot_;
    DeckDocument* Document_ = nullptr;
    QTimer Timer_;
    QElapsedTimer Clock_;
    int Number_ = 0;  // the copy's number in the store; 0 before the first write
    bool OnDisk_ = false;
    bool Unwritable_ = false;  // told already that the deck cannot be a copy
    CopyPace Pace_;            // on Clock_
    bool Due_ = false;         // a change waits for the copy on its way
    // Results come back from the event loop, maybe after the keeper is gone.
    std::shared_ptr<RecoveryKeeper*> Self_ = std::make_shared<RecoveryKeeper*>(this);
};

}  // namespace korva
