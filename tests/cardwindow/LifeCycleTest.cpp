#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>

#include "deck/DeckFile.h"
#include "deck/DeckRecord.h"
#include "platform/Twips.h"
#include "tests/cardwindow/CardWindowFixture.h"

using namespace korva;
using namespace korva::test;
using platform::MessageResult;

namespace {

const std::vector<CardText> Words = {{"犬", "dog"}, {"猫", "cat"}, {"鳥", "bird"}};
const QString SaveQuestion = QStringLiteral(" が編集されています。保存しますか。");

}  // namespace

class LifeCycleTest : public CardAreaTest {
protected:
    frmCard* Open(const QString& path) {
        ChooseForOpen(path);
        return windows.Open();
    }

    // An edited window on a deck file.
    frmCard* EditedWindow(const QString& name) {
        frmCard* card = Open(WriteDeckFile(name, Words));
        card->cmdOpen_Click();
        card->cmdCheck_Click();
        return card;
    }
};

TEST_F(LifeCycleTest, OpeningAWindowLoadsTheDeckAndShowsItsFirstCard) {
    frmCard* card = Open(WriteCsvFile(QStringLiteral("単語.csv"), Words));
    ASSERT_NE(card, nullptr);
    ASSERT_EQ(OpenWindows(), 1);
    QMdiSubWindow* sub = area.subWindowList().first();
    EXPECT_EQ(sub->widget(), card);
    EXPECT_EQ(sub->windowTitle(), QStringLiteral("単語.csv"));
    EXPECT_EQ(sub->size(), QSize(platform::TwipsToPixels(8000), platform::TwipsToPixels(6000)));
    EXPECT_FALSE(sub->windowIcon().isNull());
    EXPECT_TRUE(card->isVisible());
    EXPECT_FALSE(card->getEditedFlag());
    EXPECT_EQ(card->lblCount->text(), QStringLiteral("1 / 3"));
    EXPECT_EQ(card->txtItem[0]->toPlainText(), QStringLiteral("犬"));
    EXPECT_EQ(card->focusWidget(), card->cmdOpen);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(LifeCycleTest, TheFirstCardOfATestStyleDeckStillHasTheFocusOnShow) {
    CardData deck = MakeDeck(Words, TurnNormal, AnswerTest);
    const QString path = dir.filePath(QStringLiteral("test.krv"));
    SaveCardFile(path.toStdString(), deck);
    frmCard* card = Open(path);
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->focusWidget(), card->cmdOpen);
    card->cmdRecheck_Click();  // a later redraw puts the caret into the box
}

TEST_F(LifeCycleTest, ACancelledOrFailedOpenLeavesNoWindow) {
    CancelOpen();
    EXPECT_EQ(windows.Open(), nullptr);
    EXPECT_EQ(OpenWindows(), 0);
    EXPECT_TRUE(dialogs.messages.empty());

    EXPECT_EQ(Open(WriteBytes(QStringLiteral("broken.krv"), "KORVA")), nullptr);
    EXPECT_EQ(OpenWindows(), 0);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(QStringLiteral("broken.krv\r\n")));

    EXPECT_EQ(Open(WriteBytes(QStringLiteral("notes.doc"), "a,b\r\n")), nullptr);
    EXPECT_EQ(OpenWindows(), 0);
    EXPECT_EQ(dialogs.messages.size(), 2u);
}

TEST_F(LifeCycleTest, AnEmptyCsvFileOpensAnEmptyWindow) {
    frmCard* card = Open(WriteBytes(QStringLiteral("empty.csv"), ""));
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->lblCount->text(), QStringLiteral("0 / 0"));
    EXPECT_FALSE(card->cmdOpen->isEnabled());
    EXPECT_FALSE(card->cmdAnswer->isEnabled());
}

TEST_F(LifeCycleTest, AnUneditedWindowClosesWithoutAQuestion) {
    frmCard* card = Open(WriteDeckFile(QStringLiteral("deck.krv"), Words));
    ASSERT_NE(card, nullptr);
    EXPECT_TRUE(card->Form_QueryUnload());
    card->mnuFileClose->trigger();
    EXPECT_EQ(OpenWindows(), 0);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(LifeCycleTest, TheSaveQuestionNamesTheFileAndCancelKeepsTheWindow) {
    frmCard* card = EditedWindow(QStringLiteral("deck.krv"));
    dialogs.messageAnswers = {MessageResult::Cancel};
    area.subWindowList().first()->close();  // the close box

    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("deck.krv\r\n") + SaveQuestion);
    EXPECT_EQ(dialogs.messages[0].buttons, platform::MessageButtons::YesNoCancel);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("KORVA!!"));
    ASSERT_EQ(OpenWindows(), 1);
    EXPECT_TRUE(area.subWindowList().first()->isVisible());
    EXPECT_TRUE(card->isVisible());
    EXPECT_TRUE(card->getEditedFlag());
    EXPECT_TRUE(card->isCheck(1, 1));
}

TEST_F(LifeCycleTest, TheSaveQuestionFirstBringsItsWindowToTheFront) {
    const QString path = WriteDeckFile(QStringLiteral("same.krv"), Words);
    frmCard* first = Open(path);
    frmCard* second = Open(path);
    ASSERT_TRUE(first && second);
    for (frmCard* card : {first, second}) {
        card->cmdOpen_Click();
        card->cmdCheck_Click();
    }
    ASSERT_EQ(area.activeSubWindow()->widget(), second);

    const QWidget* activeWhileAsked = nullptr;
    dialogs.whileMessageShown = [&] {
        activeWhileAsked = area.activeSubWindow()->widget();
    };
    dialogs.messageAnswers = {MessageResult::Cancel};
    EXPECT_FALSE(first->Form_QueryUnload());
    EXPECT_EQ(activeWhileAsked, first);
}

TEST_F(LifeCycleTest, NewWindowsOpenCascadedAndStartOverAtTheTopLeft) {
    const QString path = WriteDeckFile(QStringLiteral("deck.krv"), Words);
    std::vector<frmCard*> cards{Open(path)};
    auto* sub = qobject_cast<QMdiSubWindow*>(cards[0]->parentWidget());
    ASSERT_NE(sub, nullptr);
    const int step = sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, sub);
    ASSERT_GT(step, 10);
    // Room for the window and three and a half steps below it.
    area.resize(sub->width() + 4 * step, sub->height() + 3 * step + step / 2);
    for (int i = 1; i < 6; ++i) {
        cards.push_back(Open(path));
    }

    std::vector<QPoint> positions;
    positions.reserve(cards.size());
    for (const frmCard* card : cards) {
        positions.push_back(card->parentWidget()->pos());
    }
    const std::vector<QPoint> expected = {{0, 0}, {step, step}, {2 * step, 2 * step}, {3 * step, 3 * step},
                                          {0, 0}, {step, step}};
    EXPECT_EQ(positions, expected);
}

// A new deck has no file: untouched it closes without a word; edited, the
// close question and 上書き保存 go through the save dialog, as for a word
// list's deck, and once saved it is that file's.
TEST_F(LifeCycleTest, ANewDeckIsAnEmptyUntitledWindowWhoseFirstSaveAsksForAName) {
    Open(WriteDeckFile(QStringLiteral("deck.krv"), Words));
    frmCard* card = windows.New();
    ASSERT_NE(card, nullptr);
    auto* sub = qobject_cast<QMdiSubWindow*>(card->parentWidget());
    ASSERT_NE(sub, nullptr);
    const int step = sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, sub);
    EXPECT_EQ(sub->pos(), QPoint(step, step));
    EXPECT_EQ(area.activeSubWindow(), sub);
    EXPECT_EQ(sub->windowTitle(), QStringLiteral("無題"));
    EXPECT_EQ(card->getFilePath(), QString());
    EXPECT_EQ(card->getTotal(), 0);
    EXPECT_EQ(WriteDeckRecord(card->getCardData()), WriteDeckRecord(MakeDeck({})));
    EXPECT_EQ(card->txtItem[0]->toPlainText(), QString());
    EXPECT_FALSE(card->cmdOpen->isEnabled());
    EXPECT_FALSE(card->getEditedFlag());
    EXPECT_TRUE(card->Form_QueryUnload());
    EXPECT_TRUE(dialogs.messages.empty());

    card->mnuFunctionTurnShuffle_Click();
    card->getDocument().setEditedFlag(true);
    dialogs.messageAnswers = {MessageResult::Yes};
    CancelSave();
    EXPECT_FALSE(card->Form_QueryUnload());
    EXPECT_EQ(dialogs.messages.back().text, QStringLiteral("無題\r\n") + SaveQuestion);
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].fileName, QStringLiteral("無題"));

    const QString path = dir.filePath(QStringLiteral("new.krv"));
    ChooseForSave(path);
    card->mnuFileSave->trigger();
    EXPECT_EQ(dialogs.saveRequests.size(), 2u);
    EXPECT_EQ(sub->windowTitle(), QStringLiteral("new.krv"));
    CardData saved;
    LoadCardFile(path.toStdString(), saved, false);
    EXPECT_EQ(saved.Total(), 0);
    EXPECT_EQ(saved.Modes.TurnMode, TurnShuffle);

    card->getDocument().InsertCards(1, 1);
    card->getDocument().setItemText(1, 1, "dog");
    card->getDocument().setEditedFlag(true);
    card->mnuFileSave->trigger();
    EXPECT_EQ(dialogs.saveRequests.size(), 2u);
    EXPECT_FALSE(card->getEditedFlag());
    LoadCardFile(path.toStdString(), saved, false);
    ASSERT_EQ(saved.Total(), 1);
    EXPECT_EQ(saved.Items[1][1], "dog");
}

TEST_F(LifeCycleTest, NoClosesWithoutTouchingTheFile) {
    const QString path = WriteDeckFile(QStringLiteral("deck.krv"), Words);
    const QByteArray before = ReadBytes(path);
    frmCard* card = Open(path);
    card->cmdOpen_Click();
    card->cmdCheck_Click();
    dialogs.messageAnswers = {MessageResult::No};
    card->mnuFileClose->trigger();
    EXPECT_EQ(OpenWindows(), 0);
    EXPECT_EQ(ReadBytes(path), before);
}

TEST_F(LifeCycleTest, YesSavesADeckFileInPlaceAndCloses) {
    const QString path = WriteDeckFile(QStringLiteral("deck.krv"), Words);
    frmCard* card = Open(path);
    card->cmdOpen_Click();
    card->cmdCheck_Click();
    dialogs.messageAnswers = {MessageResult::Yes};
    EXPECT_TRUE(card->Form_QueryUnload());
    EXPECT_TRUE(dialogs.saveRequests.empty());
    CardData saved;
    LoadCardFile(path.toStdString(), saved, false);
    EXPECT_EQ(saved.Checks[1][1], True16);
}

TEST_F(LifeCycleTest, YesOnACsvDeckAsksForANameAndStaysOpenWhenThatIsCancelled) {
    frmCard* card = Open(WriteCsvFile(QStringLiteral("words.csv"), Words));
    card->cmdOpen_Click();
    card->cmdCheck_Click();
    dialogs.messageAnswers = {MessageResult::Yes};
    CancelSave();
    area.subWindowList().first()->close();
    EXPECT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(OpenWindows(), 1);
    EXPECT_TRUE(card->getEditedFlag());

    dialogs.messageAnswers = {MessageResult::Yes};
    ChooseForSave(dir.filePath(QStringLiteral("words.krv")));
    area.subWindowList().first()->close();
    EXPECT_EQ(OpenWindows(), 0);
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("words.krv"))));
}

TEST_F(LifeCycleTest, YesWhoseSaveFailsKeepsTheWindowOpen) {
    frmCard* card = EditedWindow(QStringLiteral("deck.krv"));
    card->setFilePath(dir.filePath(QStringLiteral("gone/deck.krv")));
    dialogs.messageAnswers = {MessageResult::Yes};
    EXPECT_FALSE(card->Form_QueryUnload());
    EXPECT_EQ(dialogs.messages.size(), 2u) << "the question, then the failure";
    EXPECT_TRUE(card->getEditedFlag());
}

TEST_F(LifeCycleTest, CloseWithoutAskingClosesAnEditedWindowAtOnce) {
    frmCard* card = EditedWindow(QStringLiteral("deck.krv"));
    card->CloseWithoutAsking();
    EXPECT_EQ(OpenWindows(), 0);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(LifeCycleTest, ACancelledAppendChangesNothing) {
    frmCard* card = EditedWindow(QStringLiteral("deck.krv"));
    const int16_t position = card->getCardCount();
    CancelOpen();
    card->mnuFileSeries->trigger();
    EXPECT_EQ(card->getTotal(), 3);
    EXPECT_TRUE(card->getEditedFlag()) << "earlier changes are still asked about";
    EXPECT_EQ(card->getFileName(), QStringLiteral("deck.krv"));
    EXPECT_EQ(card->getFilePath(), dir.filePath(QStringLiteral("deck.krv")));
    EXPECT_EQ(card->getCardCount(), position);
}

TEST_F(LifeCycleTest, ASuccessfulAppendKeepsTheWindowsFileAndMarksTheDeckEdited) {
    const QString path = WriteDeckFile(QStringLiteral("deck.krv"), Words);
    frmCard* card = Open(path);
    const QByteArray before = ReadBytes(path);
    const QString extra = WriteCsvFile(QStringLiteral("more.csv"), {{"馬", "horse"}});
    ChooseForOpen(extra);
    card->mnuFileSeries->trigger();
    EXPECT_EQ(card->getTotal(), 4);
    EXPECT_EQ(Utf8Item(*card, 2, 4), "horse");
    EXPECT_EQ(card->getFileName(), QStringLiteral("deck.krv"));
    EXPECT_EQ(card->getFilePath(), path);
    EXPECT_EQ(area.subWindowList().first()->windowTitle(), QStringLiteral("deck.krv"));
    EXPECT_TRUE(card->getEditedFlag());
    EXPECT_EQ(card->lblCount->text(), QStringLiteral("1 / 4"));
    EXPECT_EQ(dialogs.openRequests.back().fileName, QStringLiteral("deck.krv"));

    // A plain save now writes the window's own file, never the appended one.
    const QByteArray extraBytes = ReadBytes(extra);
    card->mnuFileSave->trigger();
    EXPECT_EQ(ReadBytes(extra), extraBytes);
    EXPECT_NE(ReadBytes(path), before);
    CardData saved;
    LoadCardFile(path.toStdString(), saved, false);
    EXPECT_EQ(saved.Total(), 4);
}

TEST_F(LifeCycleTest, SaveAsAlwaysAsksAndSaveOverwritesADeckFile) {
    const QString path = WriteDeckFile(QStringLiteral("deck.krv"), Words);
    frmCard* card = Open(path);
    card->mnuFileSave->trigger();
    EXPECT_TRUE(dialogs.saveRequests.empty());

    const QString copy = dir.filePath(QStringLiteral("copy.krv"));
    ChooseForSave(copy);
    card->mnuFileSaveAs->trigger();
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].fileName, QStringLiteral("deck"));
    EXPECT_EQ(card->getFilePath(), copy);
    EXPECT_EQ(card->getFileName(), QStringLiteral("copy.krv"));
    EXPECT_EQ(ReadBytes(copy), ReadBytes(path));
}

// The caption and the close question name the file a plain save writes:
// after a save under a new name, that file; after a cancelled or failed one,
// the file before.
TEST_F(LifeCycleTest, ASaveUnderANewNameMovesCaptionAndCloseQuestionToTheNewFile) {
    frmCard* card = Open(WriteCsvFile(QStringLiteral("deck2.csv"), Words));
    QMdiSubWindow* sub = area.subWindowList().first();
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("taken.krv")));
    CancelSave();
    ChooseForSave(dir.filePath(QStringLiteral("taken.krv")));
    ChooseForSave(dir.filePath(QStringLiteral("study2.krv")));
    const char* names[] = {"deck2.csv", "deck2.csv", "study2.krv"};
    for (const char* name : names) {
        card->cmdOpen_Click();
        card->cmdCheck_Click();
        card->mnuFileSaveAs->trigger();
        EXPECT_EQ(card->getFileName(), QString::fromUtf8(name));
        EXPECT_EQ(sub->windowTitle(), QString::fromUtf8(name));
    }
    EXPECT_FALSE(card->getEditedFlag());
    card->cmdOpen_Click();
    card->cmdCheck_Click();
    dialogs.messageAnswers.push_back(MessageResult::Cancel);
    sub->close();
    EXPECT_EQ(dialogs.messages.back().text, QStringLiteral("study2.krv\r\n") + SaveQuestion);
}

TEST_F(LifeCycleTest, OpenExitAndHelpItemsGoToTheFrameWindow) {
    frmCard* card = Open(WriteDeckFile(QStringLiteral("deck.krv"), Words));
    card->mnuFileNew->trigger();
    card->mnuFileOpen->trigger();
    card->mnuFileExit->trigger();
    card->mnuHelpHelp->trigger();
    card->mnuHelpVesion->trigger();
    EXPECT_EQ(host.newCalls, 1);
    EXPECT_EQ(host.openCalls, 1);
    EXPECT_EQ(host.exitCalls, 1);
    EXPECT_EQ(host.helpCalls, 1);
    EXPECT_EQ(host.versionCalls, 1);
    EXPECT_EQ(OpenWindows(), 1);
    EXPECT_EQ(card->getTotal(), 3);
}

TEST_F(LifeCycleTest, TheFrameKnowsItsOwnWindowsAndForgetsAClosedOne) {
    auto* other = area.addSubWindow(new QLabel(QStringLiteral("not a card window")));
    other->show();
    const QString path = WriteDeckFile(QStringLiteral("deck.krv"), Words);
    frmCard* first = Open(path);
    frmCard* second = Open(path);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(windows.Windows(), QList<frmCard*>({first, second}));
    EXPECT_EQ(windows.WindowIn(other), nullptr);
    EXPECT_EQ(windows.WindowIn(qobject_cast<QMdiSubWindow*>(second->parentWidget())), second);

    // The two windows share one file, not one document.
    EXPECT_NE(&first->getDocument(), &second->getDocument());
    first->mnuFileClose->trigger();
    EXPECT_EQ(windows.Windows(), QList<frmCard*>({second}));
    EXPECT_EQ(OpenWindows(), 2);
}
