// The main window with real card windows on small decks: its caption and
// menus, the menu swap, opening, closing with the save questions, the two
// ways out and the environment file they leave behind.
#include <fstream>
#include <memory>
#include <stdexcept>

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include "cardwindow/frmCard.h"
#include "editor/CardTableView.h"
#include "editor/frmEditor.h"
#include "shell/Environment.h"
#include "shell/frmMain.h"
#include "shell/frmVersion.h"
#include "tests/support/FakeDialogs.h"

namespace korva {
namespace {

using platform::MessageButtons;
using platform::MessageResult;

QStringList Texts(const QList<QAction*>& actions) {
    QStringList texts;
    for (const QAction* action : actions) {
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return texts;
}

void DeleteClosedWindows() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

class frmMainTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        InitEnvironment(folder.path());
        deck = WriteFile(QStringLiteral("deck.csv"), "apple,ringo\r\ncat,neko\r\n");
        window.show();
        QApplication::setActiveWindow(&window);
    }

    void TearDown() override {
        // Whatever a test left open goes without questions.
        for (frmCard* card : window.CardWindows()) {
            card->CloseWithoutAsking();
        }
        DeleteClosedWindows();
    }

    QString WriteFile(const QString& name, const QByteArray& bytes) {
        QString path = folder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QString environmentPath() const { return folder.filePath(QStringLiteral("environment.kfg")); }

    frmCard* Open(const QString& path) {
        dialogs.openAnswers.push_back(platform::FileDialogResult{path, QFileInfo(path).fileName()});
        const qsizetype before = window.CardWindows().size();
        window.mnuFileOpen_Click();
        EXPECT_EQ(window.CardWindows().size(), before + 1);
        return window.CardWindows().isEmpty() ? nullptr : window.CardWindows().last();
    }

    frmCard* OpenEdited(const QString& path) {
        frmCard* card = Open(path);
        if (card) {
            card->getDocument().setEditedFlag(true);
        }
        return card;
    }

    QStringList barTexts() { return Texts(window.menuBar()->actions()); }
    QStringList Titles() const {
        QStringList titles;
        for (const frmCard* card : window.CardWindows()) {
            titles << card->windowTitle();
        }
        return titles;
    }

    QTemporaryDir folder;
    QString deck;
    test::FakeDialogs dialogs;
    int programEnds = 0;
    frmMain window{dialogs, nullptr, [this] {
                       ++programEnds;
                   }};
};

TEST_F(frmMainTest, CaptionSizeAndIcon) {
    EXPECT_EQ(window.windowTitle(), QStringLiteral("暗記支援ソフトウェア　KORVA!! 　  present by Team Yorimichi"));
    EXPECT_EQ(window.frameGeometry().size(), QSize(667, 533));
    EXPECT_FALSE(window.windowIcon().isNull());
    EXPECT_TRUE(window.CardWindows().isEmpty());
}

TEST_F(frmMainTest, CardWindowsPastTheWorkspaceGiveItScrollBars) {
    frmCard* card = Open(deck);
    ASSERT_NE(card, nullptr);
    QMdiArea& area = window.getArea();
    EXPECT_FALSE(area.horizontalScrollBar()->isVisible());
    EXPECT_FALSE(area.verticalScrollBar()->isVisible());

    card->parentWidget()->move(area.viewport()->width() - 100, area.viewport()->height() - 50);
    QCoreApplication::processEvents();
    EXPECT_TRUE(area.horizontalScrollBar()->isVisible());
    EXPECT_TRUE(area.verticalScrollBar()->isVisible());
    EXPECT_GT(area.horizontalScrollBar()->maximum(), 0);
}

TEST_F(frmMainTest, OwnMenusExactlyWithoutShortcuts) {
    ASSERT_EQ(barTexts(), QStringList({QStringLiteral("ファイル(&F)"), QStringLiteral("ヘルプ(&H)")}));
    const QList<QAction*> bar = window.menuBar()->actions();
    EXPECT_EQ(Texts(bar[0]->menu()->actions()),
              QStringList({QStringLiteral("新規作成(&N)"), QStringLiteral("開く...(&O)"), QStringLiteral("-"),
                           QStringLiteral("終了(&X)")}));
    EXPECT_EQ(Texts(bar[1]->menu()->actions()),
              QStringList({QStringLiteral("KORVA!!HTMLヘルプ...(&H)"), QStringLiteral("サンプルデッキを開く(&S)"),
                           QStringLiteral("-"), QStringLiteral("バージョン情報...(&V)")}));
    for (QAction* top : bar) {
        for (QAction* item : top->menu()->actions()) {
            EXPECT_TRUE(item->shortcut().isEmpty());
        }
    }
}

TEST_F(frmMainTest, OpenCancelledLeavesNoWindowAndNoMessage) {
    dialogs.openAnswers.push_back(std::nullopt);
    window.mnuFileOpen_Click();
    DeleteClosedWindows();
    EXPECT_TRUE(window.getArea().subWindowList().isEmpty());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(dialogs.openRequests.size(), 1u);
    EXPECT_EQ(barTexts().size(), 2);
}

TEST_F(frmMainTest, AFailureOfOursWhileOpeningIsNotSwallowed) {
    // No answer scripted for the open dialog: the fake throws, as a logic
    // error of the program would.
    EXPECT_THROW(window.mnuFileOpen_Click(), std::logic_error);
    EXPECT_TRUE(window.CardWindows().isEmpty());
}

TEST_F(frmMainTest, ActiveCardWindowsMenusReplaceTheMainWindowsOwn) {
    frmCard* first = Open(deck);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(barTexts(), QStringList({QStringLiteral("ファイル(&F)"), QStringLiteral("機能(&W)"),
                                       QStringLiteral("表示(&V)"), QStringLiteral("ヘルプ(&H)")}));
    const auto menusShown = [this] {
        QList<QMenu*> menus;
        for (QAction* action : window.menuBar()->actions()) {
            menus << action->menu();
        }
        return menus;
    };
    EXPECT_EQ(menusShown(), first->MenuBarMenus());

    frmCard* second = Open(deck);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(menusShown(), second->MenuBarMenus());
    window.getArea().setActiveSubWindow(qobject_cast<QMdiSubWindow*>(first->parentWidget()));
    EXPECT_EQ(menusShown(), first->MenuBarMenus());

    first->CloseWithoutAsking();
    DeleteClosedWindows();
    EXPECT_EQ(menusShown(), second->MenuBarMenus());

    // The last card window gone, the main window's own menus come back.
    second->CloseWithoutAsking();
    DeleteClosedWindows();
    EXPECT_EQ(barTexts(), QStringList({QStringLiteral("ファイル(&F)"), QStringLiteral("ヘルプ(&H)")}));
    EXPECT_TRUE(window.isVisible());
}

TEST_F(frmMainTest, TwoWindowsOnTheSameDeckAreIndependent) {
    frmCard* a = Open(deck);
    frmCard* b = Open(deck);
    ASSERT_TRUE(a && b && a != b);
    a->cmdOpen_Click();
    a->cmdCheck_Click();
    EXPECT_TRUE(a->getEditedFlag());
    EXPECT_FALSE(b->getEditedFlag());
    EXPECT_TRUE(a->isCheck(1, 1));
    EXPECT_FALSE(b->isCheck(1, 1));
    EXPECT_EQ(a->getCardCount(), 2);
    EXPECT_EQ(b->getCardCount(), 1);
}

TEST_F(frmMainTest, ClosingAsksCardWindowsInOrderAndOneCancelStopsEverything) {
    frmCard* a = OpenEdited(deck);
    frmCard* b = OpenEdited(deck);
    frmCard* c = OpenEdited(deck);
    ASSERT_TRUE(a && b && c);
    dialogs.messageAnswers = {MessageResult::No, MessageResult::Cancel};
    EXPECT_FALSE(window.close());
    DeleteClosedWindows();

    // a answered No, b Cancel; c was never asked and nothing closed.
    EXPECT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(window.CardWindows(), QList<frmCard*>({a, b, c}));
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(QFile::exists(environmentPath()));
    for (const auto& message : dialogs.messages) {
        EXPECT_EQ(message.buttons, MessageButtons::YesNoCancel);
    }
}

// Text typed into an editor's cell is committed before the main window asks,
// so the question counts it, as it would a check mark.
TEST_F(frmMainTest, ClosingCommitsAnOpenCellOfAnEditorFirst) {
    frmCard* card = Open(deck);
    ASSERT_NE(card, nullptr);
    card->mnuFunctionEdit->trigger();
    auto* editor = qobject_cast<frmEditor*>(window.getArea().activeSubWindow()->widget());
    ASSERT_NE(editor, nullptr);
    editor->grdCards->EditCurrent();
    auto* cell = qobject_cast<QPlainTextEdit*>(QApplication::focusWidget());
    ASSERT_NE(cell, nullptr);
    cell->setPlainText(QStringLiteral("pear"));
    dialogs.messageAnswers = {MessageResult::Cancel};
    EXPECT_FALSE(window.close());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(card->getItem(1, 1), "pear");
    EXPECT_TRUE(card->getEditedFlag());
}

TEST_F(frmMainTest, ClosingWithoutCancelClosesAllAndSavesTheEnvironment) {
    OpenEdited(deck);
    Open(deck);  // unedited: asks nothing
    OpenEdited(deck);
    dialogs.messageAnswers = {MessageResult::No, MessageResult::No};
    EXPECT_TRUE(window.close());
    DeleteClosedWindows();
    EXPECT_EQ(dialogs.messages.size(), 2u);  // each window asked once only
    EXPECT_TRUE(window.CardWindows().isEmpty());
    QFile file(environmentPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("\0\0", 2));
}

TEST_F(frmMainTest, YesWhoseSaveDidNotHappenStopsTheClose) {
    OpenEdited(deck);  // a CSV deck: Yes means Save as
    dialogs.messageAnswers = {MessageResult::Yes};
    dialogs.saveAnswers = {std::nullopt};
    EXPECT_FALSE(window.close());
    EXPECT_EQ(window.CardWindows().size(), 1);
    EXPECT_FALSE(QFile::exists(environmentPath()));
}

TEST_F(frmMainTest, UnloadKeepsTheEnvironmentRecordAndWhatFollowsIt) {
    const QByteArray bytes(
        "\x03\x00"
        "abc"
        "tail",
        9);
    WriteFile(QStringLiteral("environment.kfg"), bytes);
    LoadEnvironment();
    WriteFile(QStringLiteral("environment.kfg"), QByteArray("\0\0"
                                                            "xyz"
                                                            "tail",
                                                            9));
    EXPECT_TRUE(window.close());
    QFile file(environmentPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), bytes);
}

TEST_F(frmMainTest, FileExitEndsAtOnceWithoutUnload) {
    window.mnuFileExit_Click();
    EXPECT_EQ(programEnds, 1);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_FALSE(QFile::exists(environmentPath()));
}

TEST_F(frmMainTest, CardWindowsExitClosesEverythingWhenNoneCancels) {
    OpenEdited(deck);
    Open(deck);
    dialogs.messageAnswers = {MessageResult::No};
    window.CardWindows().first()->mnuFileExit_Click();
    DeleteClosedWindows();
    EXPECT_TRUE(window.CardWindows().isEmpty());
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(QFile::exists(environmentPath()));
    EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(frmMainTest, CardWindowsExitAfterCancelAsksEachWindowAgain) {
    frmCard* a = OpenEdited(deck);
    frmCard* b = OpenEdited(deck);
    frmCard* c = Open(deck);
    ASSERT_TRUE(a && b && c);
    // First round: a No, b Cancel, so nothing closes. The walk then asks a
    // again (No: it closes), b again (Cancel: it stays) and closes c.
    dialogs.messageAnswers = {MessageResult::No, MessageResult::Cancel, MessageResult::No, MessageResult::Cancel};
    b->mnuFileExit_Click();
    DeleteClosedWindows();
    EXPECT_EQ(dialogs.messages.size(), 4u);
    EXPECT_EQ(window.CardWindows(), QList<frmCard*>({b}));
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(QFile::exists(environmentPath()));
}

TEST_F(frmMainTest, CardWindowsFileOpenMakesAnotherWindow) {
    frmCard* a = Open(deck);
    ASSERT_NE(a, nullptr);
    dialogs.openAnswers.push_back(platform::FileDialogResult{deck, QStringLiteral("deck.csv")});
    a->mnuFileOpen_Click();
    ASSERT_EQ(window.CardWindows().size(), 2);
    EXPECT_EQ(window.CardWindows().last()->windowTitle(), QStringLiteral("deck.csv"));
}

// Both File menus' 新規作成 make an empty untitled window, cascaded after
// the newest; untouched, the program ends without a question.
TEST_F(frmMainTest, NewFromEitherFileMenuMakesAnUntitledWindow) {
    const QList<QAction*> items = window.menuBar()->actions().first()->menu()->actions();
    items.first()->trigger();
    ASSERT_EQ(window.CardWindows().size(), 1);
    frmCard* first = window.CardWindows().first();
    EXPECT_EQ(barTexts(), QStringList({QStringLiteral("ファイル(&F)"), QStringLiteral("編集(&E)")}));
    first->mnuFileNew->trigger();
    ASSERT_EQ(window.CardWindows().size(), 2);
    frmCard* second = window.CardWindows().last();
    EXPECT_EQ(Titles(), QStringList({QStringLiteral("無題"), QStringLiteral("無題")}));
    EXPECT_EQ(second->getTotal(), 0);
    // Each new deck's editor in front of it, under the deck's name.
    EXPECT_EQ(window.getArea().activeSubWindow()->widget()->windowTitle(), QStringLiteral("無題 - カードの編集"));
    EXPECT_EQ(window.getArea().subWindowList().size(), 4);
    const QPoint step = second->parentWidget()->pos() - first->parentWidget()->pos();
    EXPECT_GT(step.x(), 10);
    EXPECT_EQ(step.x(), step.y());
    EXPECT_TRUE(dialogs.openRequests.empty());

    second->mnuFileExit_Click();
    DeleteClosedWindows();
    EXPECT_TRUE(window.CardWindows().isEmpty());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(frmMainTest, HelpOpensThePageBesideTheProgramFromBothMenus) {
    const QString page = QCoreApplication::applicationDirPath() + QStringLiteral("/help/index.html");
    window.mnuHelpHelp_Click();
    frmCard* card = Open(deck);
    ASSERT_NE(card, nullptr);
    card->mnuHelpHelp_Click();
    EXPECT_EQ(dialogs.addresses, std::vector<QString>({page, page}));

    dialogs.openAddressSucceeds = false;
    window.mnuHelpHelp_Click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::Ok);
}

TEST_F(frmMainTest, FilesFromOutsideOpenAsFileOpenWouldWithItsMessages) {
    const QString other = WriteFile(QStringLiteral("other.csv"), "sun,taiyou\r\n");
    const QString notes = WriteFile(QStringLiteral("notes.doc"), "text");
    const QStringList cases = {deck, folder.filePath(QStringLiteral("gone.krv")), notes, folder.path(), other};
    for (const QString& path : cases) {
        dialogs.openAnswers.push_back(platform::FileDialogResult{path, QFileInfo(path).fileName()});
        window.mnuFileOpen_Click();
    }
    const auto byDialog = dialogs.messages;
    const QStringList titlesByDialog = Titles();
    for (frmCard* card : window.CardWindows()) {
        card->CloseWithoutAsking();
    }
    DeleteClosedWindows();
    dialogs.messages.clear();

    window.OpenFiles(cases);
    EXPECT_EQ(Titles(), titlesByDialog);
    EXPECT_EQ(Titles(), QStringList({QStringLiteral("deck.csv"), QStringLiteral("other.csv")}));
    ASSERT_EQ(dialogs.messages.size(), byDialog.size());
    EXPECT_EQ(dialogs.messages.size(), 3u);
    for (size_t i = 0; i < byDialog.size(); ++i) {
        EXPECT_EQ(dialogs.messages[i].text, byDialog[i].text);
    }
    EXPECT_EQ(dialogs.openRequests.size(), static_cast<size_t>(cases.size()))
        << "no dialog for files named from outside";
}

TEST_F(frmMainTest, DroppedFilesOpenEachInItsOwnWindowOnceTheDropHasReturned) {
    // A name in Latin-1 bytes comes percent-encoded, as a file manager drops it.
    const QByteArray other = QFile::encodeName(folder.path()) + "/caf\xe9.csv";
    std::ofstream(other.toStdString()) << "sun,taiyou\r\n";
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(deck), QUrl(QStringLiteral("https://example.org/x.csv")),
                  QUrl::fromEncoded("file://" + other.toPercentEncoding("/"))});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
    // Opened after the drop has returned, never inside it.
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_TRUE(Titles().isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Titles().isEmpty(); }, 5000));
    EXPECT_EQ(Titles(), QStringList({QStringLiteral("deck.csv"), QStringLiteral("caf\uFFFD.csv")}));
    EXPECT_TRUE(dialogs.messages.empty());

    QMimeData text;
    text.setText(QStringLiteral("not a file"));
    QDragEnterEvent refused(QPoint(50, 50), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    refused.setAccepted(false);
    QApplication::sendEvent(&window, &refused);
    EXPECT_FALSE(refused.isAccepted());
}

TEST_F(frmMainTest, DestroyedWithCardWindowsOpenTakesThemAlong) {
    auto other = std::make_unique<frmMain>(dialogs);
    other->show();
    dialogs.openAnswers.push_back(platform::FileDialogResult{deck, QStringLiteral("deck.csv")});
    other->mnuFileOpen_Click();
    ASSERT_EQ(other->CardWindows().size(), 1);
    const QPointer<frmCard> card = other->CardWindows().first();

    other.reset();
    EXPECT_TRUE(card.isNull());
}

TEST_F(frmMainTest, VersionWindowIsOneSharedModalInstance) {
    std::vector<frmVersion*> shown;
    const auto closeWhenShown = [&shown] {
        QTimer::singleShot(0, [&shown] {
            auto* modal = qobject_cast<frmVersion*>(QApplication::activeModalWidget());
            shown.push_back(modal);
            if (modal) {
                modal->close();
            }
        });
    };
    closeWhenShown();
    window.mnuHelpVesion_Click();
    frmCard* card = Open(deck);
    ASSERT_NE(card, nullptr);
    closeWhenShown();
    card->mnuHelpVesion_Click();

    ASSERT_EQ(shown.size(), 2u);
    EXPECT_NE(shown[0], nullptr);
    EXPECT_EQ(shown[0], shown[1]);
    EXPECT_EQ(shown[0], window.getVersionWindow());
    EXPECT_FALSE(window.getVersionWindow()->isVisible());
}

TEST_F(frmMainTest, TheCardEditorsMenusStandInTheBarWhileItIsActive) {
    frmCard* card = Open(deck);
    ASSERT_NE(card, nullptr);
    card->mnuFunctionEdit->trigger();
    QMdiSubWindow* editorSub = window.getArea().activeSubWindow();
    ASSERT_NE(editorSub, nullptr);
    auto* editor = qobject_cast<frmEditor*>(editorSub->widget());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("deck.csv - カードの編集"));
    EXPECT_EQ(barTexts(), QStringList({QStringLiteral("ファイル(&F)"), QStringLiteral("編集(&E)")}));
    EXPECT_EQ(window.menuBar()->actions().value(1)->menu(), editor->mnuEdit);

    window.getArea().setActiveSubWindow(qobject_cast<QMdiSubWindow*>(card->parentWidget()));
    EXPECT_EQ(window.menuBar()->actions().value(1)->menu(), card->mnuFunction);
    // The item again brings the one editor of the deck to the front.
    card->mnuFunctionEdit->trigger();
    EXPECT_EQ(window.getArea().activeSubWindow(), editorSub);
    EXPECT_EQ(window.getArea().subWindowList().size(), 2);

    editor->mnuFileClose->trigger();
    DeleteClosedWindows();
    EXPECT_EQ(window.getArea().subWindowList().size(), 1);
    EXPECT_EQ(window.menuBar()->actions().value(1)->menu(), card->mnuFunction);
}

}  // namespace
}  // namespace korva
