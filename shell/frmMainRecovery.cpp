// The main window's part in the recovery copies: every copy written at once
// when a signal ends the program, and the copies of programs that ended
// without a regular end offered back once the window is on screen.
#include <cstddef>
#include <exception>
#include <vector>

#include <QDateTime>
#include <QFileInfo>
#include <QMdiArea>

#include "cardwindow/frmCard.h"
#include "deck/DeckErrorText.h"
#include "deck/PathText.h"
#include "recovery/EndedCopies.h"
#include "recovery/RecoveryErrorText.h"
#include "recovery/RecoveryStore.h"
#include "shell/CardWindowManager.h"
#include "shell/frmMain.h"

namespace korva {

namespace {

const QString RestoreQuestion = QStringLiteral(
    "前回保存されずに終了したデッキがあります。復元しますか。\r\n"
    "「いいえ」を選ぶと、復元用のコピーを削除します。\r\n"
    "答えずに閉じると、コピーは残り、次の起動時にもう一度たずねます。");

// The decks a Yes brings back, so the user knows what the question is
// about: the name each window showed (無題 for a deck never saved), its
// folder, when its copy was last written and its cards. More decks than
// these would push the buttons off the screen; the rest are counted.
constexpr std::size_t MostCopiesListed = 10;

QString CopyList(const std::vector<RecoveryCopy>& copies) {
    QString text;
    for (std::size_t i = 0; i < copies.size() && i < MostCopiesListed; ++i) {
        const RecoveryCopy& copy = copies[i];
        const QString when = QDateTime::fromMSecsSinceEpoch(copy.copiedMs).toString(QStringLiteral("yyyy/MM/dd HH:mm"));
        // In one pass: a name may hold "%2" itself.
        text += QStringLiteral("\r\n・%1（%2枚、最終変更 %3）\r\n　")
                    .arg(copy.fileName, QString::number(copy.deck.Total()), when);
        text += copy.filePath.isEmpty() ? QStringLiteral("新規作成したデッキ")
                                        : DisplayPath(QFileInfo(copy.filePath).absolutePath());
    }
    if (copies.size() > MostCopiesListed) {
        text += QStringLiteral("\r\nほか %1 個のデッキ").arg(copies.size() - MostCopiesListed);
    }
    return text;
}

QString DamagedReport(const EndedCopies& ended) {
    QString text = QStringLiteral("復元できないデッキがありました。\r\n");
    bool moved = false;
    for (const DamagedCopy& copy : ended.getDamaged()) {
        text += copy.name + QStringLiteral(": ") + DescribeDamagedCopy(copy) + QStringLiteral("\r\n");
        moved = moved || copy.movedAside;
    }
    if (!moved) {
        return text;
    }
    return text + QStringLiteral("コピーは次のフォルダーに移しました。\r\n") + ended.getDamagedFolder();
}

// The reason comes as a sentence of its own; here it stands in brackets.
QString CopyFailure(QString reason) {
    while (reason.endsWith(u'。')) {
        reason.chop(1);
    }
    return QStringLiteral("復元用のコピーを保存できません（%1）。保存するまでの変更は、異常終了すると失われます。")
        .arg(reason);
}

}  // namespace

void frmMain::ReportCopyFailures() {
    if (Recovery_) {
        Recovery_->setFailureReport([this](const RecoveryErrorDetail& failure) {
            Dialogs_.Message(CopyFailure(DescribeRecoveryError(failure)), platform::MessageButtons::Ok);
        });
    }
}

void frmMain::WriteEveryRecoveryCopy() {
    // Nothing can be asked now; what the deck can hold of an open cell goes into its copy.
    Windows_->CommitOpenCells(false);
    for (frmCard* card : CardWindows()) {
        const QByteArray name = card->getFileName().toUtf8();
        try {
            card->WriteRecoveryCopyNow();
        } catch (const DeckError& error) {
            qWarning("KORVA: %s: no recovery copy: %s", name.constData(), qUtf8Printable(DeckErrorText(error)));
        } catch (const RecoveryError& error) {
            qWarning("KORVA: %s: no recovery copy: %s", name.constData(), qUtf8Printable(DescribeRecoveryError(error)));
        } catch (const std::exception& error) {
            qWarning("KORVA: %s: no recovery copy: %s", name.constData(), error.what());
        }
    }
}

// The old copies go only once the new ones are on disk.
void frmMain::RestoreCopies(EndedCopies& ended, std::vector<RecoveryCopy> copies) {
    bool written = true;
    for (RecoveryCopy& copy : copies) {
        frmCard* card = Windows_->Restore(std::move(copy));
        written = card->WaitForRecoveryCopy() && written;
    }
    ShowMenusOf(Area_->activeSubWindow());
    if (written) {
        ended.RemoveClaimedFolders();
    }
}

void frmMain::OfferRecovery() {
    if (!Recovery_) {
        return;
    }
    EndedCopies ended(Recovery_->getRoot());
    std::vector<RecoveryCopy> copies = ended.TakeCopies();
    const platform::MessageResult answer =
        copies.empty() ? platform::MessageResult::No
                       : Dialogs_.Message(RestoreQuestion + QStringLiteral("\r\n") + CopyList(copies),
                                          platform::MessageButtons::YesNoOrLater);
    if (answer == platform::MessageResult::Yes) {
        RestoreCopies(ended, std::move(copies));
    } else if (answer == platform::MessageResult::No) {
        ended.RemoveClaimedFolders();
    }
    if (!ended.getDamaged().empty()) {
        Dialogs_.Message(DamagedReport(ended), platform::MessageButtons::Ok);
    }
}

}  // namespace korva
