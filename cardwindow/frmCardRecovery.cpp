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

// Another window on the same file, korva-deck or any program may have
// written it since; their work is not replaced unasked. A file deleted since
// is written anew without a question: there is nothing left to lose, and
// the user who saves expects the deck back on disk.
bool frmCard::MayOverwriteOriginal() {
    QString question;
    if (isOverwriteAsked()) {
        question = getFileName() + QStringLiteral("\r\n") +
                   QStringLiteral(" は復元元のコピーの後に変更されています。上書きしますか。");
    } else if (getDocument().isFileWrittenSince()) {
        question = getFileName() + QStringLiteral(" は、このウィンドウで開いた後に変更されています。上書きしますか。");
    } else {
        return true;
    }
    return Dialogs_.Message(question, platform::MessageButtons::YesNoDefaultNo) == platform::MessageResult::Yes;
}

}  // namespace korva
