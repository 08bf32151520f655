#include <QMdiArea>
#include <QMdiSubWindow>

#include "cardwindow/CardWindowHost.h"
#include "cardwindow/frmCard.h"
#include "platform/Dialogs.h"

namespace korva {

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

void frmCard::mnuFileNew_Click() { Host_.NewCardWindow(); }

void frmCard::mnuFileOpen_Click() { Host_.OpenCardWindow(); }

// A cancelled or failed append changes nothing; a successful one leaves a
// deck that no longer matches its file, read anew: it deals from the start.
void frmCard::mnuFileSeries_Click() { FileOpen(true); }

void frmCard::mnuFileClose_Click() {
    if (QMdiSubWindow* sub = SubWindow()) {
        sub->close();
    } else {
        close();
    }
}

// A deck whose file was written by someone else since this window read,
// wrote or restored it goes on to the save dialog when the user keeps that
// file. A new deck has no file yet and, like a word list's, is given a name.
void frmCard::mnuFileSave_Click() {
    if (getFilePath().isEmpty() || isCSVFile() || !MayOverwriteOriginal()) {
        NewFileSave();
    } else {
        FileSave();
    }
}

void frmCard::mnuFileSaveAs_Click() { NewFileSave(); }

void frmCard::mnuFileExit_Click() { Host_.ExitProgram(); }

void frmCard::mnuHelpHelp_Click() { Host_.ShowHelp(); }

void frmCard::mnuHelpSample_Click() { Host_.OpenSampleDeck(); }

void frmCard::mnuHelpVesion_Click() { Host_.ShowVersion(); }

void frmCard::mnuFunctionEdit_Click() { Host_.OpenCardEditor(*this); }

}  // namespace korva
