// The card window's recovery copy: kept while the deck is edited, removed
// once it is saved or the window closes, and a window restored from one.
#include <QDateTime>
#include <QFileInfo>

#include "cardwindow/CardWindowHost.h"
#include "cardwindow/RecoveryKeeper.h"
#include "cardwindow/frmCard.h"
#include "deck/DeckRecord.h"
#include "platform/Dialogs.h"
#include "recovery/EndedCopies.h"

namespace korva {

std::unique_ptr<RecoveryKeeper> frmCard::MakeRecoveryKeeper() {
    return std::make_unique<RecoveryKeeper>(Host_.getRecoveryStore(), [this] {
        return std::make_pair(WriteDeckRecord(getCardData()), RecoveryOrigin{getFilePath(), getFileName(), Original_});
    });
}

void frmCard::setEditedFlag(bool Value) {
    EditedFlag_ = Value;
    if (Value) {
        Recovery_->Changed();
    } else {
        Recovery_->Remove();
    }
}

// Every command ends in FreshScreen, so a change of the deck reaches here:
// marks and asked items, and for a deck already edited also modes, which are
// saved with it.
void frmCard::NoteDeckChange() {
    if (getEditedFlag()) {
        Recovery_->Changed();
    }
}

void frmCard::WriteRecoveryCopyNow() {
    if (getEditedFlag()) {
        Recovery_->WriteNow();
    }
}

void frmCard::RemoveRecoveryCopy() { Recovery_->Remove(); }

bool frmCard::WaitForRecoveryCopy() { return Recovery_->WaitUntilWritten(); }

// Only a file as this window last saw it is overwritten without a word.
void frmCard::NoteFileWritten() {
    Original_ = FingerprintOf(getFilePath());
    OriginalSeenMs_ = QDateTime::currentMSecsSinceEpoch();
    AskBeforeOverwrite_ = false;
}

// Another window on the same file, korva-deck or any program may have
// written it since; their work is not replaced unasked. A file deleted since
// is written anew without a question: there is nothing left to lose, and
// the user who saves expects the deck back on disk.
bool frmCard::MayOverwriteOriginal() {
    QString question;
    if (AskBeforeOverwrite_) {
        question = getFileName() + QStringLiteral("\r\n") +
                   QStringLiteral(" は復元元のコピーの後に変更されています。上書きしますか。");
    } else if (Original_ && QFileInfo::exists(getFilePath()) &&
               !isFileAsSeen(getFilePath(), *Original_, OriginalSeenMs_)) {
        question = getFileName() + QStringLiteral(" は、このウィンドウで開いた後に変更されています。上書きしますか。");
    } else {
        return true;
    }
    return Dialogs_.Message(question, platform::MessageButtons::YesNoDefaultNo) == platform::MessageResult::Yes;
}

frmCard* frmCard::RestoreWindow(QMdiArea& area, platform::Dialogs& dialogs, CardWindowHost& host, RecoveryCopy copy) {
    auto card = std::make_unique<frmCard>(dialogs, host);
    card->getCardData() = std::move(copy.deck);
    card->setFilePath(copy.filePath);
    card->setFileName(copy.fileName);
    // Written since, gone, or never known: not overwritten without asking.
    card->Original_ = copy.original;
    card->AskBeforeOverwrite_ = !copy.original || FingerprintOf(copy.filePath) != copy.original;
    frmCard* window = ShowInArea(std::move(card), area);
    // Its changes are still unsaved, so closing it asks; its own copy takes
    // over from the old one at once.
    window->setEditedFlag(true);
    window->Recovery_->WriteNow();
    return window;
}

}  // namespace korva
