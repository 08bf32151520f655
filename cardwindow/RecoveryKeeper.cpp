#include "cardwindow/RecoveryKeeper.h"

#include "deck/DeckError.h"
#include "deck/DeckErrorText.h"
#include "deck/DeckRecord.h"
#include "document/DeckDocument.h"
#include "recovery/RecoveryStore.h"

namespace korva {

RecoveryKeeper::RecoveryKeeper(RecoveryStore* store, Snapshot snapshot)
    : Store_(store), Snapshot_(std::move(snapshot)) {
    Timer_.setSingleShot(true);
    Clock_.start();
    QObject::connect(&Timer_, &QTimer::timeout, &Timer_, [this] { WriteWhenSpaced(); });
}

RecoveryKeeper::RecoveryKeeper(RecoveryStore* store, DeckDocument& document)
    : RecoveryKeeper(store, [&document] {
          return std::make_pair(WriteDeckRecord(document.getCardData()),
                                RecoveryOrigin{document.getFilePath(), document.getFileName(), document.getOriginal(),
                                               document.getCardData().encoding, document.UnsavedAnswers()});
      }) {
    Document_ = &document;
    document.AddListener(*this);
}

RecoveryKeeper::~RecoveryKeeper() {
    if (Document_) {
        Document_->RemoveListener(*this);
    }
}

void RecoveryKeeper::DeckChanged(const DeckChange& change) {
    if (change.kind == DeckChangeKind::EditedFlag && !change.edited) {
        Remove();
    } else if (change.edited) {
        Changed();
    }
}

void RecoveryKeeper::Changed() {
    if (Store_ && !Timer_.isActive() && !Due_) {
        Timer_.start(Store_->getWriteDelayMs());
    }
}

void RecoveryKeeper::WriteWhenSpaced() {
    if (Pace_.isWriting()) {
        Due_ = true;  // the result of that copy starts this one
        return;
    }
    const qint64 waitMs = Pace_.WaitMs(Clock_.elapsed());
    if (waitMs > 0) {
        Timer_.start(static_cast<int>(waitMs));
        return;
    }
    WriteNow();
}

// An end by a signal writes at once, however near the last write was.
void RecoveryKeeper::WriteNow() {
    Timer_.stop();
    Due_ = false;
    if (!Store_) {
        return;
    }
    if (Number_ == 0) {
        Number_ = Store_->NewCopyNumber();
    }
    // The time from the snapshot to the result counts whole: the window's
    // part, the wait behind other windows' copies and the disk's.
    try {
        const qint64 startedMs = Clock_.elapsed();
        auto [record, origin] = Snapshot_();
        Unwritable_ = false;
        const int job = Pace_.Started(startedMs);
        Store_->SubmitCopy(Number_, std::move(record), origin,
                           [self = std::weak_ptr<RecoveryKeeper*>(Self_), job](const RecoveryJobResult& result) {
                               const auto keeper = self.lock();
                               if (keeper && result.outcome != RecoveryJobResult::Outcome::Replaced) {
                                   (*keeper)->Written(job);
                               }
                           });
        OnDisk_ = true;
    } catch (const DeckError& error) {
        Unwritable(error.detail());
    }
}

void RecoveryKeeper::Written(int job) {
    Pace_.Written(job, Clock_.elapsed());
    if (Due_ && !Pace_.isWriting()) {
        Due_ = false;
        Timer_.start(static_cast<int>(Pace_.WaitMs(Clock_.elapsed())));
    }
}

// A deck that cannot be a record (an item too long for the format) cannot be
// saved either, and stays so: the user hears of it once, as of a copy that
// cannot be written, while the close question still guards the deck. The copy
// on disk, if any, is the last good one.
void RecoveryKeeper::Unwritable(const DeckErrorDetail& why) {
    qWarning("KORVA: %s", qUtf8Printable(DeckErrorText(why)));
    if (!Unwritable_) {
        Unwritable_ = true;
        Store_->ReportFailure({.kind = RecoveryErrorKind::DeckFailure, .deck = why});
    }
}

void RecoveryKeeper::Remove() {
    Timer_.stop();
    Due_ = false;
    if (!Store_ || !OnDisk_) {
        return;
    }
    OnDisk_ = false;
    Store_->SubmitRemoval(Number_, [self = std::weak_ptr<RecoveryKeeper*>(Self_)](const RecoveryJobResult& result) {
        const auto keeper = self.lock();
        if (keeper && result.outcome == RecoveryJobResult::Outcome::Failed) {
            (*keeper)->OnDisk_ = true;
        }
    });
}

bool RecoveryKeeper::WaitUntilWritten() { return Store_ && Number_ != 0 && Store_->WaitFor(Number_); }

}  // namespace korva
