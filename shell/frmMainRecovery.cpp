// The main window's part in the recovery copies: every copy written at once
// when a signal ends the program, and the copies of programs that ended
// without a regular end offered back once the window is on screen.
#include <QMdiArea>

#include "cardwindow/frmCard.h"
#include "recovery/EndedCopies.h"
#include "recovery/RecoveryStore.h"
#include "shell/frmMain.h"

namespace korva {

namespace {

const QString RestoreQuestion = QStringLiteral("前回保存されずに終了したデッキがあります。復元しますか。");

QString DamagedReport(const EndedCopies& ended) {
    QString text = QStringLiteral("復元できないデッキがありました。\r\n");
    bool moved = false;
    for (const DamagedCopy& copy : ended.getDamaged()) {
        text += copy.name + QStringLiteral(": ") + copy.reason + QStringLiteral("\r\n");
        moved = moved || copy.movedAside;
    }
    if (!moved) {
        return text;
    }
    return text + QStringLiteral("コピーは次のフォルダーに移しました。\r\n") + ended.getDamagedFolder();
}

}  // namespace

void frmMain::WriteEveryRecoveryCopy() {
    for (frmCard* card : CardWindows()) {
        card->WriteRecoveryCopyNow();
    }
}

void frmMain::OfferRecovery() {
    if (!Recovery_) {
        return;
    }
    EndedCopies ended(Recovery_->getRoot());
    std::vector<RecoveryCopy> copies = ended.TakeCopies();
    bool restored = true;
    if (!copies.empty() &&
        Dialogs_.Message(RestoreQuestion, platform::MessageButtons::YesNo) == platform::MessageResult::Yes) {
        for (RecoveryCopy& copy : copies) {
            frmCard::RestoreWindow(*Area_, Dialogs_, *this, std::move(copy));
        }
        ShowMenusOf(Area_->activeSubWindow());
        // The old copies go only once the new ones are on disk.
        restored = Recovery_->WaitForWriter();
    }
    if (restored) {
        ended.RemoveClaimedFolders();
    }
    if (!ended.getDamaged().empty()) {
        Dialogs_.Message(DamagedReport(ended), platform::MessageButtons::Ok);
    }
}

}  // namespace korva
