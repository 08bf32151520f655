#include <memory>
#include <optional>

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QStyle>

#include "cardwindow/CardWindowHost.h"
#include "cardwindow/Cascade.h"
#include "cardwindow/frmCard.h"
#include "platform/AppIcon.h"
#include "platform/Dialogs.h"
#include "platform/Fonts.h"
#include "platform/Twips.h"

namespace korva {

namespace {

// The position of the card window opened last of those still open.
std::optional<QPoint> NewestWindowPosition(const QMdiArea& area) {
    std::optional<QPoint> newest;
    for (const QMdiSubWindow* window : area.subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isHidden()) {
            newest = window->pos();
        }
    }
    return newest;
}

}  // namespace

frmCard* frmCard::OpenWindow(QMdiArea& area, platform::Dialogs& dialogs, CardWindowHost& host) {
    auto card = std::make_unique<frmCard>(dialogs, host, nullptr, host.getRecoveryStore());
    // Without a deck there is no window: nothing is added to the frame
    // before the file has been read.
    if (!card->FileOpen(false)) {
        return nullptr;
    }
    return ShowInArea(std::move(card), area);
}

frmCard* frmCard::OpenWindowFor(QMdiArea& area, platform::Dialogs& dialogs, CardWindowHost& host, const QString& Path) {
    auto card = std::make_unique<frmCard>(dialogs, host, nullptr, host.getRecoveryStore());
    if (!card->FileOpenFrom(Path)) {
        return nullptr;
    }
    return ShowInArea(std::move(card), area);
}

frmCard* frmCard::ShowInArea(std::unique_ptr<frmCard> card, QMdiArea& area) {
    card->setWindowTitle(card->getFileName());
    card->Start();
    card->setEditedFlag(false);

    const std::optional<QPoint> previous = NewestWindowPosition(area);
    QMdiSubWindow* sub = area.addSubWindow(card.get());
    frmCard* window = card.release();
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(platform::AppIcon());
    // Its title bar and window menu in the window's font as well.
    sub->setFont(platform::WindowFont());
    platform::ShareFontWithMenus(*sub);
    sub->resize(platform::TwipsToPixels(8000), platform::TwipsToPixels(6000));
    sub->move(CascadePosition(previous, sub->size(), area.viewport()->size(),
                              sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, sub)));
    sub->show();
    window->FocusFirstControl();
    return window;
}

void frmCard::FocusFirstControl() {
    for (QWidget* w = nextInFocusChain(); w != this; w = w->nextInFocusChain()) {
        if (isAncestorOf(w) && w->isEnabled() && w->isVisibleTo(this) && (w->focusPolicy() & Qt::TabFocus)) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

bool frmCard::Form_QueryUnload() {
    if (!getEditedFlag()) {
        return true;
    }
    // With several windows on one file the name alone does not say which
    // deck is meant; the one asked about comes to the front first.
    if (QMdiSubWindow* sub = SubWindow(); sub && sub->mdiArea()) {
        sub->mdiArea()->setActiveSubWindow(sub);
    }
    const auto answer =
        Dialogs_.Message(getFileName() + QStringLiteral("\r\n") + QStringLiteral(" が編集されています。保存しますか。"),
                         platform::MessageButtons::YesNoCancel);
    switch (answer) {
        case platform::MessageResult::Yes:
            mnuFileSave_Click();
            // Every save that happened cleared the flag; keep the window when
            // the save was cancelled or failed, so the changes are not lost.
            return !getEditedFlag();
        case platform::MessageResult::No: return true;
        default: return false;
    }
}

void frmCard::CloseWithoutAsking() {
    ClosingWithoutAsking_ = true;
    if (QMdiSubWindow* sub = SubWindow()) {
        sub->close();
    } else {
        close();
    }
    ClosingWithoutAsking_ = false;
}

void frmCard::mnuFileOpen_Click() { Host_.OpenCardWindow(); }

// A cancelled or failed append changes nothing; a successful one leaves a
// deck that no longer matches its file.
void frmCard::mnuFileSeries_Click() {
    if (!FileOpen(true)) {
        return;
    }
    setEditedFlag(true);
    Start();
}

void frmCard::mnuFileClose_Click() {
    if (QMdiSubWindow* sub = SubWindow()) {
        sub->close();
    } else {
        close();
    }
}

// A deck whose file was written by someone else since it was restored goes
// on to the save dialog when the user keeps that file.
void frmCard::mnuFileSave_Click() {
    if (isCSVFile() || !MayOverwriteOriginal()) {
        NewFileSave();
    } else {
        FileSave();
    }
}

void frmCard::mnuFileSaveAs_Click() { NewFileSave(); }

void frmCard::mnuFileExit_Click() { Host_.ExitProgram(); }

void frmCard::mnuHelpHelp_Click() { Host_.ShowHelp(); }

void frmCard::mnuHelpVesion_Click() { Host_.ShowVersion(); }

}  // namespace korva
