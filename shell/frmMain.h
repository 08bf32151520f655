#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QList>
#include <QMainWindow>
#include <QPointer>

#include "cardwindow/CardWindowHost.h"
#include "platform/Dialogs.h"
#include "shell/frmVersion.h"

class QDragEnterEvent;
class QDropEvent;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace korva {

class CardWindowManager;
class EndedCopies;
class frmCard;
class RecoveryStore;
class TodayStatus;
struct RecoveryCopy;

// The frame window: every card window lives inside its MDI area, opened and
// placed by the frame's window manager with their card editors, and the
// active child's menus stand in its menu bar.
class frmMain : public QMainWindow, public CardWindowHost {
    Q_OBJECT
public:
    // The recovery store outlives the window and the store's failures to
    // write a copy are told to the user; without one the card windows keep
    // no copies. endProgram ends the process at once for File > Exit; tests
    // pass their own to watch it.
    explicit frmMain(platform::Dialogs& dialogs, RecoveryStore* recovery = nullptr,
                     std::function<void()> endProgram = {});
    ~frmMain() override;

    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    void mnuFileExit_Click();
    void mnuHelpHelp_Click();
    void mnuHelpVesion_Click();
    // Each file in a card window of its own, as File > Open would open it
    // had the user chosen it there; the command line and drops come here.
    Q_INVOKABLE void OpenFiles(const QStringList& paths);
    // The start, once the window is on screen: the recovery question first,
    // so that nothing opens behind it, then the files named on the command line.
    Q_INVOKABLE void StartUp(const QStringList& paths);

    // Recovery copies. Offers the decks that programs left unsaved when they ended; once the
    // window is on screen.
    Q_INVOKABLE void OfferRecovery();
    // Every edited card window's copy at once, before a signal ends the
    // program; a window whose copy fails in any way does not stop the others.
    void WriteEveryRecoveryCopy();

    // CardWindowHost
    void OpenCardWindow() override;
    void NewCardWindow() override;
    void ExitProgram() override;
    void ShowHelp() override;
    void OpenSampleDeck() override;
    void ShowVersion() override;
    void OpenCardEditor(frmCard& card) override;
    void OpenRecordWindow(frmCard& card) override;

    QMdiArea& getArea() const { return *Area_; }
    // The open card windows, in the order they were opened.
    QList<frmCard*> CardWindows() const;
    // Null until the version window is first shown.
    frmVersion* getVersionWindow() const { return Version_; }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void MDIForm_Load();
    void MDIForm_Unload();
    void FitOuterSize();
    void BuildMenus();
    void ShowMenusOf(QMdiSubWindow* active);
    bool AskEveryCardWindow();
    void ReportCopyFailures();
    void RestoreCopies(EndedCopies& ended, std::vector<RecoveryCopy> copies);

    platform::Dialogs& Dialogs_;
    std::function<void()> EndProgram_;
    QMdiArea* Area_ = nullptr;
    QMenu* mnuFile_ = nullptr;
    QMenu* mnuHelp_ = nullptr;
    QPointer<frmVersion> Version_;
    TodayStatus* Today_ = nullptr;
    bool OuterSizeFitted_ = false;
    RecoveryStore* Recovery_;
    std::unique_ptr<CardWindowManager> Windows_;
};

}  // namespace korva
