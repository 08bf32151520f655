#include "shell/frmMain.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QUrl>
#include <QWindow>

#include "cardwindow/frmCard.h"
#include "deck/PathText.h"
#include "document/DeckSession.h"
#include "platform/AppIcon.h"
#include "platform/Fonts.h"
#include "platform/Twips.h"
#include "record/TodayStatus.h"
#include "recovery/RecoveryStore.h"
#include "shell/CardWindowManager.h"
#include "shell/Environment.h"
#include "shell/EnvironmentErrorText.h"
#include "shell/Maker.h"
#include "shell/OpenBrowser.h"
#include "shell/ProgramLayout.h"
#include "shell/frmVersion.h"

namespace korva {

using platform::TwipsToPixels;

namespace {

const QString Caption = QStringLiteral("暗記支援ソフトウェア　KORVA!! 　  present by ") + MakerName;
const QSize LoadSize(TwipsToPixels(10000), TwipsToPixels(8000));

QStringList LocalFiles(const QMimeData* data) {
    QStringList paths;
    if (!data) {
        return paths;
    }
    for (const QUrl& url : data->urls()) {
        // The encoded path keeps the name's bytes; the decoded one would turn
        // bytes that are not UTF-8 into U+FFFD, another file's name.
        if (url.isLocalFile()) {
            paths << PathToText(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString());
        }
    }
    return paths;
}

}  // namespace

frmMain::frmMain(platform::Dialogs& dialogs, RecoveryStore* recovery, std::function<void()> endProgram)
    : Dialogs_(dialogs), EndProgram_(std::move(endProgram)), Recovery_(recovery) {
    if (!EndProgram_) {
        EndProgram_ = [] {
            QCoreApplication::exit(0);
        };
    }
    setWindowTitle(Caption);
    setWindowIcon(platform::AppIcon());
    // Its menu bar, and the menus there, in the window font like the card windows.
    setFont(platform::WindowFont());

    Area_ = new QMdiArea(this);
    Area_->setBackground(palette().brush(QPalette::Dark));  // the workspace colour
    // Card windows reaching past the workspace can be scrolled into view.
    Area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(Area_);
    Today_ = new TodayStatus(this);
    statusBar()->addWidget(Today_);
    Windows_ = std::make_unique<CardWindowManager>(*Area_, Dialogs_, *this, Recovery_);
    setAcceptDrops(true);
    connect(Area_, &QMdiArea::subWindowActivated, this, &frmMain::ShowMenusOf);

    BuildMenus();
    platform::ShareFontWithMenus(*this);
    ReportCopyFailures();
    MDIForm_Load();
}

// The card windows still open go with the area, which reports each change of
// the active window on the way; by then this is no longer a main window whose
// menus could follow.
frmMain::~frmMain() {
    disconnect(Area_, nullptr, this, nullptr);
    // The store outlives the window: no report may reach a window gone.
    if (Recovery_) {
        Recovery_->setFailureReport({});
    }
}

void frmMain::BuildMenus() {
    // Parented to the window, not the menu bar, so taking them off the bar
    // while a card window is active leaves them alive.
    mnuFile_ = new QMenu(QStringLiteral("ファイル(&F)"), this);
    mnuFile_->setObjectName(QStringLiteral("mnuFile"));
    mnuFile_->addAction(QStringLiteral("新規作成(&N)"), this, &frmMain::mnuFileNew_Click)
        ->setObjectName(QStringLiteral("mnuFileNew"));
    mnuFile_->addAction(QStringLiteral("開く...(&O)"), this, &frmMain::mnuFileOpen_Click)
        ->setObjectName(QStringLiteral("mnuFileOpen"));
    mnuFile_->addSeparator()->setObjectName(QStringLiteral("mnuFileSpace1"));
    mnuFile_->addAction(QStringLiteral("終了(&X)"), this, &frmMain::mnuFileExit_Click)
        ->setObjectName(QStringLiteral("mnuFileExit"));

    mnuHelp_ = new QMenu(QStringLiteral("ヘルプ(&H)"), this);
    mnuHelp_->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelp_->addAction(QStringLiteral("KORVA!!HTMLヘルプ...(&H)"), this, &frmMain::mnuHelpHelp_Click)
        ->setObjectName(QStringLiteral("mnuHelpHelp"));
    mnuHelp_->addAction(QStringLiteral("サンプルデッキを開く(&S)"), this, &frmMain::OpenSampleDeck)
        ->setObjectName(QStringLiteral("mnuHelpSample"));
    mnuHelp_->addSeparator()->setObjectName(QStringLiteral("mnuHelpSpace1"));
    mnuHelp_->addAction(QStringLiteral("バージョン情報...(&V)"), this, &frmMain::mnuHelpVesion_Click)
        ->setObjectName(QStringLiteral("mnuHelpVesion"));

    ShowMenusOf(nullptr);
}

void frmMain::MDIForm_Load() { resize(LoadSize); }

// The size at load is the outer size, frame included. A window manager
// frames the window only after it is mapped and says how wide the frame is
// then, so the client area shrinks by the frame once it is known. A window
// the user has resized meanwhile keeps the size the user gave it.
void frmMain::FitOuterSize() {
    if (OuterSizeFitted_ || !windowHandle()) {
        return;
    }
    const QMargins frame = windowHandle()->frameMargins();
    if (frame.isNull()) {
        return;
    }
    OuterSizeFitted_ = true;
    if (size() == LoadSize) {
        resize(LoadSize.shrunkBy(frame));
    }
}

bool frmMain::event(QEvent* event) {
    const bool handled = QMainWindow::event(event);
    switch (event->type()) {
        case QEvent::Show:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowActivate: FitOuterSize(); break;
        default: break;
    }
    return handled;
}

void frmMain::ShowMenusOf(QMdiSubWindow* active) {
    // While a modal dialog or another program has the focus the area reports
    // no active window; the last active child keeps the menu bar then, since
    // the main window's own menus show only while no card window is open.
    if (Windows_->MenusIn(active).isEmpty()) {
        active = Area_->currentSubWindow();
    }
    if (Windows_->MenusIn(active).isEmpty()) {
        const QList<QMdiSubWindow*> history = Area_->subWindowList(QMdiArea::ActivationHistoryOrder);
        for (QMdiSubWindow* sub : history) {
            if (!Windows_->MenusIn(sub).isEmpty()) {
                active = sub;
            }
        }
    }

    QMenuBar* bar = menuBar();
    for (QAction* action : bar->actions()) {
        bar->removeAction(action);
    }
    QList<QMenu*> menus = Windows_->MenusIn(active);
    if (menus.isEmpty()) {
        menus = {mnuFile_, mnuHelp_};
    }
    for (QMenu* menu : menus) {
        bar->addMenu(menu);
    }
    const std::shared_ptr<DeckSession> session = Windows_->SessionIn(active);
    Today_->Watch(session ? session->getSharedDocument() : nullptr);
}

QList<frmCard*> frmMain::CardWindows() const { return Windows_->Windows(); }

// A file that cannot be opened is reported by the card window, which then
// leaves nothing behind, so nothing is left here to ignore. Any other
// failure is a fault of the program's own and goes on to the application's
// guard, which shows it.
void frmMain::mnuFileOpen_Click() {
    Windows_->Open();
    ShowMenusOf(Area_->activeSubWindow());
}

// A new deck has no cards to study yet: its editor comes in front, ready for
// the first Insert.
void frmMain::mnuFileNew_Click() {
    if (frmCard* card = Windows_->New()) {
        Windows_->OpenEditor(*card);
    }
    ShowMenusOf(Area_->activeSubWindow());
}

void frmMain::OpenFiles(const QStringList& paths) {
    for (const QString& path : paths) {
        Windows_->OpenFile(path);
    }
    ShowMenusOf(Area_->activeSubWindow());
}

void frmMain::StartUp(const QStringList& paths) {
    OfferRecovery();
    OpenFiles(paths);
}

void frmMain::dragEnterEvent(QDragEnterEvent* event) {
    if (!LocalFiles(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void frmMain::dropEvent(QDropEvent* event) {
    const QStringList paths = LocalFiles(event->mimeData());
    if (paths.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    // After the drop has returned: the dragging program waits for it, and
    // opening may ask or report in message boxes.
    QMetaObject::invokeMethod(this, "OpenFiles", Qt::QueuedConnection, Q_ARG(QStringList, paths));
}

void frmMain::mnuFileExit_Click() {
    // Reachable only while no card window is open, so nothing can be lost:
    // no close requests, no unload, no environment save.
    EndProgram_();
}

void frmMain::mnuHelpHelp_Click() { OpenBrowser(Dialogs_, HelpAddress(getProgramLayout())); }

void frmMain::mnuHelpVesion_Click() {
    if (!Version_) {
        Version_ = new frmVersion(Dialogs_, this);
    }
    Version_->exec();
}

void frmMain::OpenCardWindow() { mnuFileOpen_Click(); }

void frmMain::NewCardWindow() { mnuFileNew_Click(); }

void frmMain::ShowHelp() { mnuHelpHelp_Click(); }

void frmMain::OpenSampleDeck() { Windows_->OpenSample(SampleDeckPath(getProgramLayout())); }

void frmMain::ShowVersion() { mnuHelpVesion_Click(); }

void frmMain::OpenRecordWindow(frmCard& card) {
    Windows_->OpenRecord(card);
    ShowMenusOf(Area_->activeSubWindow());
}

void frmMain::OpenCardEditor(frmCard& card) {
    Windows_->OpenEditor(card);
    ShowMenusOf(Area_->activeSubWindow());
}

void frmMain::ExitProgram() {
    if (close()) {
        return;
    }
    // The main window stayed open because a card window was cancelled; now
    // each card window is asked once more on its own. A window may close
    // while the walk goes on, hence the guarded list.
    QList<QPointer<frmCard>> cards;
    for (frmCard* card : CardWindows()) {
        cards.append(card);
    }
    for (const QPointer<frmCard>& card : cards) {
        if (card && card->Form_QueryUnload()) {
            card->CloseWithoutAsking();
        }
    }
}

bool frmMain::AskEveryCardWindow() {
    // Ask all first, close after: one Cancel must keep every window open.
    for (frmCard* card : CardWindows()) {
        if (!card->Form_QueryUnload()) {
            return false;
        }
    }
    return true;
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (!Windows_->CommitOpenCells(true) || !AskEveryCardWindow()) {
        event->ignore();
        return;
    }
    for (frmCard* card : CardWindows()) {
        card->CloseWithoutAsking();
    }
    MDIForm_Unload();
    event->accept();
}

void frmMain::MDIForm_Unload() {
    try {
        SaveEnvironment();
    } catch (const EnvironmentError& error) {
        Dialogs_.Message(QStringLiteral("環境ファイルに書き込めません。\r\n") + DescribeEnvironmentError(error),
                         platform::MessageButtons::Ok, platform::AppTitle);
    }
}

}  // namespace korva
