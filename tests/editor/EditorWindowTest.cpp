// The editor as a window: opened from the card window's menu, one per deck,
// closed with its card window; its menus; saving through the card window;
// and the card window following each edit at once.
#include <deque>

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>

#include "deck/Cp932Text.h"
#include "deck/DeckFile.h"
#include "deck/FileBytes.h"
#include "deck/KorvaFile.h"
#include "recovery/EndedCopies.h"
#include "tests/editor/EditorFixture.h"

using namespace korva;
using namespace korva::test;

namespace {

const std::vector<CardText> Words = {{"犬", "dog"}, {"猫", "cat"}, {"鳥", "bird"}};
using Column = CardTableModel::Column;

QStringList Captions(const QMenu* menu) {
    QStringList captions;
    for (const QAction* action : menu->actions()) {
        captions << (action->isSeparator()
                         ? QStringLiteral("-")
                         : action->text() + QLatin1Char('|') + action->shortcut().toString(QKeySequence::PortableText));
    }
    return captions;
}

}  // namespace

class EditorWindowTest : public EditorTest {};

TEST_F(EditorWindowTest, TheFunctionMenuEndsWithTheEditorItemWhichAsksTheFrame) {
    frmCard& card = MakeWindow(Words);
    const QList<QAction*> items = card.mnuFunction->actions();
    ASSERT_GE(items.size(), 2);
    EXPECT_TRUE(items[items.size() - 2]->isSeparator());
    EXPECT_EQ(items.last(), card.mnuFunctionEdit);
    EXPECT_EQ(card.mnuFunctionEdit->text(), QStringLiteral("カードの編集...(&E)"));
    EXPECT_TRUE(card.mnuFunctionEdit->shortcut().isEmpty());
    card.mnuFunctionEdit->trigger();
    EXPECT_EQ(host.editorCalls, 1);
}

TEST_F(EditorWindowTest, OneEditorPerDeckTitledByItAndClosedWithItsCardWindow) {
    frmCard& card = OpenDeck(Words);
    frmEditor& editor = OpenEditor(card);
    EXPECT_EQ(editor.windowTitle(), QStringLiteral("words.krv - カードの編集"));
    EXPECT_EQ(windows.OpenEditor(card), &editor);
    EXPECT_EQ(OpenWindows(), 2);

    // Closing the editor leaves the card window; the deck's history stays.
    Press(Qt::Key_Delete);
    editor.mnuFileClose->trigger();
    EXPECT_EQ(OpenWindows(), 1);
    EXPECT_EQ(windows.EditorOf(card), nullptr);
    frmEditor& again = OpenEditor(card);
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(card.getTotal(), 3);
    EXPECT_EQ(CurrentCard(again), 1);

    // A save under another name renames the editor with the card window.
    ChooseForSave(dir.filePath(QStringLiteral("renamed.krv")));
    again.mnuFileSaveAs->trigger();
    EXPECT_EQ(again.windowTitle(), QStringLiteral("renamed.krv - カードの編集"));

    card.CloseWithoutAsking();
    EXPECT_EQ(OpenWindows(), 0);
}

TEST_F(EditorWindowTest, ADeckWithoutANameIsUntitled) {
    frmCard* card = windows.Restore(RecoveryCopy{MakeDeck(Words), QString(), QString()});
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(OpenEditor(*card).windowTitle(), QStringLiteral("無題 - カードの編集"));
    card->CloseWithoutAsking();
}

// A screen reader names each control the user can reach, the search box by
// its label as well.
TEST_F(EditorWindowTest, EveryControlHasAnAccessibleName) {
    frmEditor& editor = OpenEditor(OpenDeck(Words));
    EXPECT_EQ(editor.grdCards->accessibleName(), QStringLiteral("カード"));
    EXPECT_EQ(editor.txtSearch->accessibleName(), QStringLiteral("検索"));
    const auto labels = editor.findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels.front()->buddy(), static_cast<QWidget*>(editor.txtSearch));
}

TEST_F(EditorWindowTest, MenusShowTheirItemsAndKeys) {
    frmEditor& editor = OpenEditor(OpenDeck(Words));
    ASSERT_EQ(editor.MenuBarMenus(), (QList<QMenu*>{editor.mnuFile, editor.mnuEdit}));
    EXPECT_EQ(editor.mnuFile->title(), QStringLiteral("ファイル(&F)"));
    EXPECT_EQ(Captions(editor.mnuFile),
              QStringList({"新規作成(&N)|", "上書き保存(&S)|Ctrl+S", "名前を付けて保存...(&A)|", "-", "閉じる(&C)|"}));
    EXPECT_EQ(editor.mnuEdit->title(), QStringLiteral("編集(&E)"));
    EXPECT_EQ(Captions(editor.mnuEdit),
              QStringList({"元に戻す(&U)|Ctrl+Z", "やり直し(&R)|Ctrl+Y", "-", "コピー(&C)|Ctrl+C",
                           "貼り付け(&P)|Ctrl+V", "-", "カードの追加(&I)|Ins", "カードの削除(&D)|Del",
                           "上へ移動|Alt+Up", "下へ移動|Alt+Down", "-", "検索(&F)|Ctrl+F"}));
    editor.mnuFileNew->trigger();
    EXPECT_EQ(host.newCalls, 1);
}

TEST_F(EditorWindowTest, CtrlSSavesAsTheCardWindowsOwnSave) {
    frmCard& card = OpenDeck(Words);
    OpenEditor(card);
    Type(QStringLiteral("狼"));
    Press(Qt::Key_S, Qt::ControlModifier);  // the edit is committed first
    EXPECT_FALSE(card.getEditedFlag());
    EXPECT_TRUE(dialogs.saveRequests.empty());
    CardData saved;
    LoadCardFile(card.getFilePath().toStdString(), saved, false);
    EXPECT_EQ(Cp932ToUtf8(saved.Items[1][1]), "狼");

    // A deck from a word list asks for a name, as the card window does.
    frmCard* list = windows.OpenFile(WriteCsvFile(QStringLiteral("words.csv"), Words));
    ASSERT_NE(list, nullptr);
    OpenEditor(*list);
    Press(Qt::Key_Delete);
    CancelSave();
    Press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dialogs.saveRequests.size(), 1U);
    EXPECT_TRUE(list->getEditedFlag());
}

TEST_F(EditorWindowTest, TheStudyWindowFollowsEveryEditAtOnce) {
    frmCard& card = OpenDeck(Words);
    card.cmdRecheck_Click();
    ASSERT_EQ(card.getShowCardIndex(), 2);
    ASSERT_EQ(Question(card), QStringLiteral("猫"));
    frmEditor& editor = OpenEditor(card);

    Type(QStringLiteral("虎"));
    Press(Qt::Key_Return);
    EXPECT_EQ(Question(card), QStringLiteral("虎"));

    Press(Qt::Key_Insert);
    Press(Qt::Key_Escape);
    EXPECT_EQ(card.lblCount->text(), QStringLiteral("2 / 4"));

    // The card on show removed: another takes its place and the count follows.
    GoTo(editor, 2, Column::ColumnItem1);
    Press(Qt::Key_Delete);
    EXPECT_NE(card.getShowCardIndex(), 0);
    EXPECT_NE(Question(card), QStringLiteral("虎"));
    EXPECT_TRUE(card.lblCount->text().endsWith(QStringLiteral("/ 3")));
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(card.lblCount->text().endsWith(QStringLiteral("/ 4")));
}

// Text typed into a cell and not yet committed is an edit like any other:
// every close takes it into the deck first, so the question asks about it.
TEST_F(EditorWindowTest, AnOpenCellIsCommittedBeforeAnyCloseAsks) {
    using platform::MessageResult;
    const QString tooLong(static_cast<qsizetype>(MaxItemBytes) + 1, QLatin1Char('a'));
    const struct {
        const char* what;
        QString typed;
        bool closeEditor;  // else the card window
        std::deque<MessageResult> answers;
        std::vector<QString> asked;  // what each message begins with
        bool editorOpen;
        std::string item1;
    } cases[] = {
        {"the card window asks, the text in its deck",
         QStringLiteral("狼"),
         false,
         {MessageResult::Cancel},
         {QStringLiteral("words.krv")},
         true,
         "狼"},
        {"the editor closes, the text in the deck", QStringLiteral("狼"), true, {}, {}, false, "狼"},
        {"a text the deck cannot hold: kept open",
         tooLong,
         false,
         {MessageResult::No},
         {QStringLiteral("項目の文字列")},
         true,
         "犬"},
        {"a text the deck cannot hold: dropped, nothing to save",
         tooLong,
         true,
         {MessageResult::Yes},
         {QStringLiteral("項目の文字列")},
         false,
         "犬"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        dialogs.messages.clear();
        frmCard& card = OpenDeck(Words);
        frmEditor& editor = OpenEditor(card);
        Press(Qt::Key_F2);
        ASSERT_NE(OpenCell(), nullptr);
        OpenCell()->setPlainText(c.typed);
        dialogs.messageAnswers = c.answers;
        if (c.closeEditor) {
            editor.mnuFileClose->trigger();
        } else {
            card.mnuFileClose_Click();
        }
        ASSERT_EQ(dialogs.messages.size(), c.asked.size());
        for (std::size_t i = 0; i < c.asked.size(); ++i) {
            EXPECT_TRUE(dialogs.messages[i].text.startsWith(c.asked[i])) << dialogs.messages[i].text.toStdString();
        }
        EXPECT_EQ(windows.EditorOf(card) != nullptr, c.editorOpen);
        EXPECT_EQ(Items(card, 1)[0], c.item1);
        EXPECT_EQ(card.getEditedFlag(), c.item1 != "犬");
        if (frmEditor* open = windows.EditorOf(card)) {
            open->grdCards->DropEdit();
        }
        card.CloseWithoutAsking();
    }
}

// Undo back to the deck as it was opened leaves nothing to save: the close
// asks nothing. 元に戻す and やり直し are grey while there is nothing to walk.
TEST_F(EditorWindowTest, UndoBackToTheOpenedDeckLeavesNothingToAsk) {
    frmCard& card = OpenDeck(Words);
    frmEditor& editor = OpenEditor(card);
    const auto history = [&] {
        return std::pair{editor.mnuEditUndo->isEnabled(), editor.mnuEditRedo->isEnabled()};
    };
    EXPECT_EQ(history(), std::pair(false, false));
    Type(QStringLiteral("狼"));
    Press(Qt::Key_Return);
    EXPECT_TRUE(card.getEditedFlag());
    EXPECT_EQ(history(), std::pair(true, false));
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(card.getEditedFlag());
    EXPECT_EQ(history(), std::pair(false, true));
    Press(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(card.getEditedFlag());
    Press(Qt::Key_Z, Qt::ControlModifier);
    card.mnuFileClose_Click();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(OpenWindows(), 0);
}

// The card window deals only once the table holds the deck as it now is:
// its "no card" message, an event loop of its own, never paints rows gone.
TEST_F(EditorWindowTest, ARemovalReachesTheTableBeforeTheCardWindowDeals) {
    const struct {
        const char* what;
        std::vector<int16_t> checked;
        std::function<void(frmCard&)> remove;
    } cases[] = {
        {"one card, from the editor",
         {1},
         [](frmCard&) {
             Press(Qt::Key_Delete);
         }},
        {"two runs of one action",
         {1, 3},
         [](frmCard& card) {
             const DeckGroup action(card.getDocument());
             card.getDocument().RemoveCards(3, 1);
             card.getDocument().RemoveCards(1, 1);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        frmCard& card = OpenDeck(Words);
        for (const int16_t checked : c.checked) {
            card.setCheck(true, 1, checked);
        }
        card.mnuViewCardCheck_Click();
        ASSERT_EQ(card.getShowCardIndex(), 1);
        frmEditor& editor = OpenEditor(card);
        GoTo(editor, 1, Column::ColumnItem1);
        std::vector<QString> shown;
        dialogs.whileMessageShown = [&] {
            const QAbstractItemModel& table = *editor.grdCards->model();
            for (int row = 0; row < table.rowCount(); ++row) {
                shown.push_back(table.index(row, Column::ColumnItem1).data().toString());
            }
        };
        dialogs.messageAnswers = {platform::MessageResult::Ok};
        c.remove(card);
        dialogs.whileMessageShown = nullptr;
        ASSERT_EQ(dialogs.messages.size(), 1U);
        EXPECT_EQ(shown, (c.checked.size() == 1 ? std::vector<QString>{QStringLiteral("猫"), QStringLiteral("鳥")}
                                                : std::vector<QString>{QStringLiteral("猫")}));
        dialogs.messages.clear();
        card.CloseWithoutAsking();
    }
}

// A .korva deck holds any language: Hangul typed and pasted in the editor,
// an answer judged in its composed form, each verdict recorded, and all of
// it back from the file as saved.
TEST_F(EditorWindowTest, ADeckInAnyLanguageTakesEveryCharacterAndKeepsItsRecord) {
    CardData cards;
    cards.Items = {{"", "", ""}, {"", "사과", "pomme"}, {"", "咖啡", "caf\u00e9"}};
    cards.Checks = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
    cards.QuestionItems = {1, 1, 1};
    cards.Modes = {TurnNormal, 1, ViewAll, AnswerNormal};
    const QString path = dir.filePath(QStringLiteral("단어.korva"));
    SaveKorvaFile(path.toStdString(), MakeKorvaDeck(cards, 0, "1.0"));
    frmCard* opened = windows.OpenFile(path);
    ASSERT_NE(opened, nullptr);
    frmCard& card = *opened;
    EXPECT_EQ(card.txtItem[0]->toPlainText(), QStringLiteral("사과"));

    frmEditor& editor = OpenEditor(card);
    GoTo(editor, 1, Column::ColumnItem2);
    Type(QStringLiteral("사과나무"));
    Press(Qt::Key_Return);
    QGuiApplication::clipboard()->setText(QStringLiteral("배\tpoire\n"));
    Press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(dialogs.messages.empty()) << "no character refused or replaced";
    EXPECT_EQ(Items(card, 2)[0], "사과나무");
    ASSERT_EQ(card.getTotal(), 3);

    // 「café」 typed with a combining accent is the answer the deck holds
    // with a composed one.
    card.mnuFunctionAnswerTest_Click();
    for (int dealt = 0; dealt < 6 && card.txtItem[0]->toPlainText() != QStringLiteral("咖啡"); ++dealt) {
        card.cmdOpen_Click();
        card.cmdRecheck_Click();
    }
    ASSERT_EQ(card.txtItem[0]->toPlainText(), QStringLiteral("咖啡"));
    card.txtAnswer->setText(QStringLiteral("cafe\u0301"));
    dialogs.messageAnswers = {platform::MessageResult::Ok};
    card.cmdAnswer_Click();
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_EQ(dialogs.messages.back().text, QStringLiteral("正解です。"));
    card.cmdCheck_Click();

    ASSERT_TRUE(card.FileSave());
    const KorvaDeck saved = LoadKorvaFile(path.toStdString());
    EXPECT_EQ(saved.cards.Items[1][2], "사과나무");
    ASSERT_FALSE(saved.record.empty());
    const ReviewRow& last = saved.record.back();
    EXPECT_TRUE(last.checked);
    EXPECT_EQ(last.style, AnswerTest);
    EXPECT_EQ(last.judged, 1);
    EXPECT_EQ(last.cardId,
              saved.cardIds[static_cast<std::size_t>(std::find(saved.cards.Items.begin(), saved.cards.Items.end(),
                                                               CardData::ItemTexts{"", "咖啡", "caf\u00e9"}) -
                                                     saved.cards.Items.begin())]);
    card.CloseWithoutAsking();
}

// The sample deck is the user's own once opened: untitled, so a save asks for
// a name and the installed file stays as it was.
TEST_F(EditorWindowTest, TheSampleDeckOpensUntitledAndASaveAsksForAName) {
    const QString path = dir.filePath(QStringLiteral("sample.korva"));
    SaveKorvaFile(path.toStdString(), MakeKorvaDeck(MakeDeck(Words), 0, "1.0"));
    const std::string before = ReadFileBytes(path.toStdString());
    frmCard* card = windows.OpenSample(path);
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->getFileName(), QStringLiteral("無題"));
    EXPECT_TRUE(card->getFilePath().isEmpty());
    EXPECT_EQ(card->getTotal(), 3);
    card->cmdOpen_Click();
    card->cmdCheck_Click();
    CancelSave();
    card->mnuFileSave_Click();
    EXPECT_EQ(dialogs.saveRequests.size(), 1U);
    EXPECT_EQ(dialogs.saveRequests.back().defaultExt, QStringLiteral(".korva"));
    EXPECT_EQ(ReadFileBytes(path.toStdString()), before);
    card->CloseWithoutAsking();
}
