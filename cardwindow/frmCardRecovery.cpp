// The card window's recovery copy: kept while the deck is edited, removed
// once it is saved or the window closes, and a window restored from one.
#include "cardwindow/CardWindowHost.h"
#include "cardwindow/RecoveryKeeper.h"
#include "cardwindow/frmCard.h"
#include "platform/Dialogs.h"
#include "recovery/EndedCopies.h"

namespace korva {

void frmCard::WriteRecoveryCopyNow() {
    if (getEditedFlag()) {
        Recovery_->WriteNow();
    }
}

void frmCard::RemoveRecoveryCopy() { Recovery_->Remove(); }

bool frmCard::WaitForRecoveryCopy() { return Recovery_->WaitUntilWritten(); }

bool frmCard::MayOverwriteOriginal() {
    if (!isOverwriteAsked()) {
        return true;
    }
    const QString question = getFileName() + QStringLiteral("\r\n") +
                             QStringLiteral(" は復元元のコピーの後に変更されています。上書きしますか。");
    return Dialogs_.Message(question, platform::MessageButtons::YesNoDefaultNo) == platform::MessageResult::Yes;
}

frmCard* frmCard::RestoreWindow(QMdiArea& area, platform::Dialogs& dialogs, CardWindowHost& host, RecoveryCopy copy) {
    auto document = std::make_shared<DeckDocument>();
    // Written since, gone, or never known: not overwritten without asking.
    document->Restore(std::move(copy.deck), copy.filePath, copy.fileName, copy.original);
    frmCard* window =
        ShowInArea(std::make_unique<frmCard>(dialogs, host, std::move(document), host.getRecoveryStore()), area);
    // Its changes are still unsaved, so closing it asks; its own copy takes
    // over from the old one at once.
    window->setEditedFlag(true);
    window->Recovery_->WriteNow();
    return window;
}

}  // namespace korva
