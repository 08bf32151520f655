#include "cardwindow/RecoveryKeeper.h"

#include "deck/DeckError.h"
#include "deck/DeckRecord.h"
#include "document/DeckDocument.h"
#include "recovery/RecoveryStore.h"

namespace korva {

RecoveryKeeper::RecoveryKeeper(RecoveryStore* store, Snapshot snapshot)
    : Store_(store), Snapshot_(std::move(snapshot)) {
    Timer_.setSingleShot(true);
    if (Store_) {
        Timer_.setInterval(Store_->getWriteDelayMs());
    }
    QObject::connect(&Timer_, &QTimer::timeout, &Timer_, [this] { WriteNow(); });
}

RecoveryKeeper::RecoveryKeeper(RecoveryStore* store, DeckDocument& document)
    : RecoveryKeeper(store, [&document] {
          return std::make_pair(WriteDeckRecord(document.getCardData()),
                                RecoveryOrigin{document.getFilePath(), document.getFileName(), document.getOriginal()});
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
    if (Store_ && !Timer_.isActive()) {
        Timer_.start();
    }
}

void RecoveryKeeper::WriteNow() {
    Timer_.stop();
    if (!Store_) {
        return;
    }
    if (Number_ == 0) {
        Number_ = Store_->NewCopyNumber();
    }
    try {
        auto [record, origin] = Snapshot_();
        Store_->SubmitCopy(Number_, std::move(record), origin);
        OnDisk_ = true;
    } catch (const DeckError& error) {
        // A deck that cannot be a record cannot be saved either; the save
        // reports that. The copy on disk, if any, is the last good one.
        qWarning("KORVA: %s", error.what());
    }
}

void RecoveryKeeper::Remove() {
    Timer_.stop();
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
