// The editor's keys, as a user presses them on the table and in a cell.
#include <functional>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "tests/editor/EditorFixture.h"

using namespace korva;
using namespace korva::test;

namespace {

const std::vector<CardText> Words = {{"犬", "dog"}, {"猫", "cat"}, {"鳥", "bird"}, {"魚", "fish"}};
using Column = CardTableModel::Column;

}  // namespace

class EditorKeysTest : public EditorTest {};

TEST_F(EditorKeysTest, OpensOnTheCardOnShowInItsFirstItemWithTheTableFocused) {
    frmCard& card = OpenDeck(Words);
    card.cmdRecheck_Click();
    card.cmdRecheck_Click();
    ASSERT_EQ(card.getShowCardIndex(), 3);
    frmEditor& editor = OpenEditor(card);
    EXPECT_EQ(CurrentCard(editor), 3);
    EXPECT_EQ(CurrentColumn(editor), Column::ColumnItem1);
    EXPECT_EQ(QApplication::focusWidget(), editor.grdCards);
    EXPECT_FALSE(editor.grdCards->isEditing());
}

// Each case starts on card 2 in the given column of a fresh deck, presses
// its keys, and names the deck's items and marks afterwards.
TEST_F(EditorKeysTest, KeysChangeTheDeckAsASpreadsheetWould) {
    struct Case {
        const char* what;
        int column;
        std::function<void()> keys;
        std::vector<std::string> items1;
        std::vector<std::string> items2;
        int16_t current;  // the current card afterwards
        bool editing = false;
    };
    const auto press = [](int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        return [=] {
            Press(key, modifiers);
        };
    };
    const std::vector<std::string> items1 = {"犬", "猫", "鳥", "魚"};
    const std::vector<std::string> items2 = {"dog", "cat", "bird", "fish"};
    const std::vector<Case> cases = {
        {"F2 keeps the text, Enter commits",
         Column::ColumnItem1,
         [] {
             Press(Qt::Key_F2);
             Type(QStringLiteral("ちゃん"));
             Press(Qt::Key_Return);
         },
         {"犬", "猫ちゃん", "鳥", "魚"},
         items2,
         2},
        {"Enter starts an edit",
         Column::ColumnItem2,
         [] {
             Press(Qt::Key_Return);
             Type(QStringLiteral("s"));
             Press(Qt::Key_Return);
         },
         items1,
         {"dog", "cats", "bird", "fish"},
         2},
        {"typing replaces the text",
         Column::ColumnItem2,
         [] {
             Type(QStringLiteral("kitty"));
             Press(Qt::Key_Enter, Qt::KeypadModifier);
         },
         items1,
         {"dog", "kitty", "bird", "fish"},
         2},
        {"Space on an item is typed like any character",
         Column::ColumnItem2,
         [] {
             Press(Qt::Key_Space);
             Type(QStringLiteral("x"));
             Press(Qt::Key_Return);
         },
         items1,
         {"dog", " x", "bird", "fish"},
         2},
        {"Escape cancels", Column::ColumnItem1,
         [] {
             Type(QStringLiteral("x"));
             Press(Qt::Key_Escape);
         },
         items1, items2, 2},
        {"Shift+Enter breaks the line",
         Column::ColumnItem2,
         [] {
             Press(Qt::Key_F2);
             Press(Qt::Key_Return, Qt::ShiftModifier);
             Type(QStringLiteral("ネコ"));
             Press(Qt::Key_Return);
         },
         items1,
         {"dog", "cat\r\nネコ", "bird", "fish"},
         2},
        {"Ctrl+Enter breaks the line",
         Column::ColumnItem1,
         [] {
             Type(QStringLiteral("a"));
             Press(Qt::Key_Return, Qt::ControlModifier);
             Type(QStringLiteral("b"));
             Press(Qt::Key_Return);
         },
         {"犬", "a\r\nb", "鳥", "魚"},
         items2,
         2},
        {"a line break is still open", Column::ColumnItem1,
         [] {
             Press(Qt::Key_F2);
             Press(Qt::Key_Return, Qt::ShiftModifier);
         },
         items1, items2, 2, true},
        {"Insert adds a card after the current one and edits it",
         Column::ColumnItem2,
         [] {
             Press(Qt::Key_Insert);
             Type(QStringLiteral("兎"));
             Press(Qt::Key_Return);
         },
         {"犬", "猫", "兎", "鳥", "魚"},
         {"dog", "cat", "", "bird", "fish"},
         3},
        {"Delete removes the card",
         Column::ColumnItem1,
         press(Qt::Key_Delete),
         {"犬", "鳥", "魚"},
         {"dog", "bird", "fish"},
         2},
        {"Delete removes every selected card",
         Column::ColumnItem1,
         [] {
             Press(Qt::Key_Down, Qt::ShiftModifier);
             Press(Qt::Key_Delete);
         },
         {"犬", "魚"},
         {"dog", "fish"},
         2},
        {"Alt+Up moves the card up",
         Column::ColumnItem2,
         press(Qt::Key_Up, Qt::AltModifier),
         {"猫", "犬", "鳥", "魚"},
         {"cat", "dog", "bird", "fish"},
         1},
        {"Alt+Down moves the selected cards down",
         Column::ColumnItem1,
         [] {
             Press(Qt::Key_Down, Qt::ShiftModifier);
             Press(Qt::Key_Down, Qt::AltModifier);
         },
         {"犬", "魚", "猫", "鳥"},
         {"dog", "fish", "cat", "bird"},
         3},
        {"Ctrl+Z takes the edit back and goes to its card", Column::ColumnItem1,
         [] {
             Type(QStringLiteral("x"));
             Press(Qt::Key_Return);
             Press(Qt::Key_End, Qt::ControlModifier);
             Press(Qt::Key_Z, Qt::ControlModifier);
         },
         items1, items2, 2},
        {"Ctrl+Y makes it again",
         Column::ColumnItem1,
         [] {
             Press(Qt::Key_Delete);
             Press(Qt::Key_Z, Qt::ControlModifier);
             Press(Qt::Key_Y, Qt::ControlModifier);
         },
         {"犬", "鳥", "魚"},
         {"dog", "bird", "fish"},
         2},
        {"Ctrl+Shift+Z makes it again",
         Column::ColumnItem1,
         [] {
             Press(Qt::Key_Up, Qt::AltModifier);
             Press(Qt::Key_Z, Qt::ControlModifier);
             Press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
         },
         {"猫", "犬", "鳥", "魚"},
         {"cat", "dog", "bird", "fish"},
         1},
        {"arrows move, Ctrl+End to the last card", Column::ColumnItem1,
         [] {
             Press(Qt::Key_End, Qt::ControlModifier);
             Press(Qt::Key_Up);
         },
         items1, items2, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        frmCard& card = OpenDeck(Words);
        frmEditor& editor = OpenEditor(card);
        GoTo(editor, 2, c.column);
        c.keys();
        EXPECT_EQ(Items(card, 1), c.items1);
        EXPECT_EQ(Items(card, 2), c.items2);
        EXPECT_EQ(CurrentCard(editor), c.current);
        EXPECT_EQ(editor.grdCards->isEditing(), c.editing);
        if (c.items1 != items1 || c.items2 != items2) {
            EXPECT_TRUE(card.getEditedFlag());
        }
        EXPECT_TRUE(editor.isAncestorOf(QApplication::focusWidget()));
        EXPECT_TRUE(dialogs.messages.empty());
        card.CloseWithoutAsking();
    }
}

TEST_F(EditorKeysTest, SpaceTurnsAMarkOrTheAskedItem) {
    const struct {
        int column;
        int16_t check1;
        int16_t check2;
        int16_t question;
    } cases[] = {
        {Column::ColumnCheck1, True16, False16, 1},
        {Column::ColumnCheck2, False16, True16, 1},
        {Column::ColumnQuestion, False16, False16, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.column);
        frmCard& card = OpenDeck(Words);
        frmEditor& editor = OpenEditor(card);
        GoTo(editor, 3, c.column);
        Press(Qt::Key_Space);
        EXPECT_EQ(card.getCardData().Checks[3][1], c.check1);
        EXPECT_EQ(card.getCardData().Checks[3][2], c.check2);
        EXPECT_EQ(card.getCardData().QuestionItems[3], c.question);
        EXPECT_FALSE(editor.grdCards->isEditing());
        Press(Qt::Key_Space);
        EXPECT_EQ(card.getCardData().Checks[3][1], False16);
        EXPECT_EQ(card.getCardData().QuestionItems[3], 1);
        card.CloseWithoutAsking();
    }
}

TEST_F(EditorKeysTest, ACharacterCodePage932CannotHoldIsRefusedAndTheCellStaysInEdit) {
    frmCard& card = OpenDeck(Words);
    frmEditor& editor = OpenEditor(card);
    GoTo(editor, 1, Column::ColumnItem2);
    Press(Qt::Key_F2);
    Type(QStringLiteral("s😀!"));
    ASSERT_EQ(dialogs.messages.size(), 1U);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("「😀」")));
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("U+1F600")));
    ASSERT_TRUE(editor.grdCards->isEditing());
    ASSERT_NE(OpenCell(), nullptr);
    EXPECT_EQ(OpenCell()->toPlainText(), QStringLiteral("dogs!"));
    Press(Qt::Key_Return);
    EXPECT_EQ(Items(card, 2)[0], "dogs!");
}

TEST_F(EditorKeysTest, AnItemPastTheDecksLimitIsRefusedBeforeAnythingChanges) {
    frmCard& card = OpenDeck(Words);
    frmEditor& editor = OpenEditor(card);
    Press(Qt::Key_F2);
    ASSERT_NE(OpenCell(), nullptr);
    OpenCell()->setPlainText(QString(static_cast<qsizetype>(MaxItemBytes) + 1, QLatin1Char('a')));
    Press(Qt::Key_Return);
    ASSERT_EQ(dialogs.messages.size(), 1U);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("65535")));
    EXPECT_TRUE(editor.grdCards->isEditing());
    EXPECT_EQ(Items(card, 1)[0], "犬");
    EXPECT_FALSE(card.getEditedFlag());
    Press(Qt::Key_Escape);
    EXPECT_FALSE(editor.grdCards->isEditing());
}

TEST_F(EditorKeysTest, CtrlFShowsOnlyTheCardsHoldingTheTextAndEscapeClearsIt) {
    frmCard& card = OpenDeck({{"Ｃａｔ", "ねこ"}, {"dog", "いぬ"}, {"cattle", "うし"}, {"鳥", "ｶﾞﾁｮｳ"}});
    frmEditor& editor = OpenEditor(card);
    const struct {
        const char* search;
        int rows;
    } cases[] = {{"CAT", 2}, {"ガチョウ", 1}, {"ぬ", 1}, {"horse", 0}};
    for (const auto& c : cases) {
        Press(Qt::Key_F, Qt::ControlModifier);
        ASSERT_EQ(QApplication::focusWidget(), editor.txtSearch);
        Type(QString::fromUtf8(c.search));
        EXPECT_EQ(editor.grdCards->model()->rowCount(), c.rows) << c.search;
        Press(Qt::Key_Escape);
        EXPECT_TRUE(editor.txtSearch->text().isEmpty());
        EXPECT_EQ(editor.grdCards->model()->rowCount(), 4);
        EXPECT_EQ(QApplication::focusWidget(), editor.grdCards);
    }
    // An edit in the filtered table reaches the card it shows.
    Press(Qt::Key_F, Qt::ControlModifier);
    Type(QStringLiteral("cattle"));
    Press(Qt::Key_Return);
    EXPECT_EQ(CurrentCard(editor), 3);
    Press(Qt::Key_Right);
    Type(QStringLiteral("牛"));
    Press(Qt::Key_Return);
    EXPECT_EQ(Items(card, 2)[2], "牛");
}

TEST_F(EditorKeysTest, CtrlCCopiesTheSelectedCardsAsTabSeparatedLines) {
    frmCard& card = OpenDeck({{"a\tb", "say \"hi\""}, {"two\r\nlines", "plain"}, {"x", "y"}});
    frmEditor& editor = OpenEditor(card);
    GoTo(editor, 1, Column::ColumnItem1);
    Press(Qt::Key_Down, Qt::ShiftModifier);
    Press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QStringLiteral("\"a\tb\"\t\"say \"\"hi\"\"\"\n\"two\nlines\"\tplain\n"));
}

TEST_F(EditorKeysTest, CtrlVPastesLinesAsCardsAfterTheCurrentOneInOneStep) {
    frmCard& card = OpenDeck(Words);
    frmEditor& editor = OpenEditor(card);
    GoTo(editor, 1, Column::ColumnItem2);
    QGuiApplication::clipboard()->setText(QStringLiteral("馬\thorse\r\n\"羊\n山羊\"\t\"sheep, \"\"goat\"\"\"\n"));
    Press(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Items(card, 1), (std::vector<std::string>{"犬", "馬", "羊\n山羊", "猫", "鳥", "魚"}));
    EXPECT_EQ(Items(card, 2)[2], "sheep, \"goat\"");
    EXPECT_EQ(CurrentCard(editor), 2);
    EXPECT_TRUE(dialogs.messages.empty());
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Items(card, 1), (std::vector<std::string>{"犬", "猫", "鳥", "魚"}));

    // What code page 932 cannot hold is replaced, and the user told.
    QGuiApplication::clipboard()->setText(QStringLiteral("ħ\tok\n"));
    Press(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(dialogs.messages.size(), 1U);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("「ħ」")));
    EXPECT_EQ(card.getTotal(), 5);
    EXPECT_NE(Items(card, 1)[1], "ħ");
}

TEST_F(EditorKeysTest, AnItemLeftAsItWasKeepsItsBytesEvenWhereTheyDoNotDecode) {
    frmCard& card = OpenDeck(Words);
    const std::string undecodable = "\x82\xa0\xff\x81";
    card.getDocument().setItemText(2, 1, undecodable);
    card.setEditedFlag(false);
    frmEditor& editor = OpenEditor(card);
    GoTo(editor, 1, Column::ColumnItem2);
    Press(Qt::Key_F2);
    Press(Qt::Key_Return);
    EXPECT_EQ(card.getItem(2, 1), undecodable);
    EXPECT_FALSE(card.getEditedFlag());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(EditorKeysTest, AFullDeckRefusesAnotherCardBeforeAnythingChanges) {
    frmCard& card = OpenDeck(std::vector<CardText>(MaxCards, CardText{"a", "b"}));
    OpenEditor(card);
    QGuiApplication::clipboard()->setText(QStringLiteral("c\td\n"));
    for (const int key : {Qt::Key_Insert, Qt::Key_V}) {
        dialogs.messages.clear();
        Press(key, key == Qt::Key_V ? Qt::ControlModifier : Qt::NoModifier);
        ASSERT_EQ(dialogs.messages.size(), 1U) << key;
        EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("32767枚を超える")));
        EXPECT_EQ(card.getTotal(), MaxCards);
        EXPECT_FALSE(card.getEditedFlag());
    }
}
