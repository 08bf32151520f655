// The card window's recovery copy: kept while the deck is edited, removed
// once it is saved or the window closes.
#include "cardwindow/RecoveryKeeper.h"
#include "cardwindow/frmCard.h"
#include "platform/Dialogs.h"

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

}  // namespace korva
