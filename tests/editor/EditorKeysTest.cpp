// The editor's keys, as a user presses them on the table and in a cell.
#include <functional>

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
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

// What is highlighted is what Delete and Alt+arrows act on, and it always
// holds the caret; Tab walks along the row. Each case starts on the given
// cell of six cards and names the selection, the caret and the deck after.
TEST_F(EditorKeysTest, TheSelectionFollowsTheCaretAndTabGoesAlongTheRow) {
    struct Case {
        const char* what;
        int16_t card;
        int column;
        std::function<void()> keys;
        std::vector<int16_t> selected;
        int16_t current;
        int currentColumn;
        std::vector<std::string> items1;
        std::vector<std::string> items2 = {"2", "4", "6", "8", "10", "12"};
    };
    const std::vector<CardText> six = {{"1", "2"}, {"3", "4"}, {"5", "6"}, {"7", "8"}, {"9", "10"}, {"11", "12"}};
    const std::vector<std::string> items1 = {"1", "3", "5", "7", "9", "11"};
    const auto keys = [](std::vector<std::pair<int, Qt::KeyboardModifiers>> presses) {
        return [=] {
            for (const auto& [key, modifiers] : presses) {
                Press(key, modifiers);
            }
        };
    };
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const std::vector<Case> cases = {
        {"Delete after Ctrl+End removes the card under the caret",
         1,
         Column::ColumnItem1,
         keys({{Qt::Key_End, ctrl}, {Qt::Key_Delete, none}}),
         {5},
         5,
         Column::ColumnCheck2,
         {"1", "3", "5", "7", "9"},
         {"2", "4", "6", "8", "10"}},
        {"Delete after Ctrl+Home: the next card takes the caret",
         4,
         Column::ColumnItem2,
         keys({{Qt::Key_Home, ctrl}, {Qt::Key_Delete, none}}),
         {1},
         1,
         Column::ColumnNumber,
         {"3", "5", "7", "9", "11"},
         {"4", "6", "8", "10", "12"}},
        {"Ctrl+Down selects as Down does",
         2,
         Column::ColumnItem1,
         keys({{Qt::Key_Down, ctrl}, {Qt::Key_Delete, none}}),
         {3},
         3,
         Column::ColumnItem1,
         {"1", "3", "7", "9", "11"},
         {"2", "4", "8", "10", "12"}},
        {"Ctrl+Shift+End extends to the last card",
         4,
         Column::ColumnItem1,
         keys({{Qt::Key_End, ctrl | Qt::ShiftModifier}}),
         {4, 5, 6},
         6,
         Column::ColumnCheck2,
         items1},
        {"Alt+Down moves the card Ctrl+Up went to",
         3,
         Column::ColumnItem1,
         keys({{Qt::Key_Up, ctrl}, {Qt::Key_Down, Qt::AltModifier}}),
         {3},
         3,
         Column::ColumnItem1,
         {"1", "5", "3", "7", "9", "11"},
         {"2", "6", "4", "8", "10", "12"}},
        {"Tab on a closed item goes on to the next cell",
         2,
         Column::ColumnItem2,
         keys({{Qt::Key_Tab, none}}),
         {2},
         2,
         Column::ColumnQuestion,
         items1},
        {"Tab on the last mark wraps to the next row's item 1",
         2,
         Column::ColumnCheck2,
         keys({{Qt::Key_Tab, none}}),
         {3},
         3,
         Column::ColumnItem1,
         items1},
        {"Shift+Tab on item 1 wraps to the previous row's last mark",
         2,
         Column::ColumnItem1,
         keys({{Qt::Key_Backtab, Qt::ShiftModifier}}),
         {1},
         1,
         Column::ColumnCheck2,
         items1},
        {"Tab on the table's last cell stays",
         6,
         Column::ColumnCheck2,
         keys({{Qt::Key_Tab, none}}),
         {6},
         6,
         Column::ColumnCheck2,
         items1},
        {"Tab commits an open cell, Shift+Tab too",
         2,
         Column::ColumnItem1,
         [] {
             Type(QStringLiteral("x"));
             Press(Qt::Key_Tab);
             Type(QStringLiteral("y"));
             Press(Qt::Key_Backtab, Qt::ShiftModifier);
         },
         {2},
         2,
         Column::ColumnItem1,
         {"1", "x", "5", "7", "9", "11"},
         {"2", "y", "6", "8", "10", "12"}},
        {"book Tab 本 Enter fills a new card",
         2,
         Column::ColumnItem2,
         [] {
             Press(Qt::Key_Insert);
             Type(QStringLiteral("book"));
             Press(Qt::Key_Tab);
             Type(QStringLiteral("本"));
             Press(Qt::Key_Return);
         },
         {3},
         3,
         Column::ColumnItem2,
         {"1", "3", "book", "5", "7", "9", "11"},
         {"2", "4", "本", "6", "8", "10", "12"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        frmCard& card = OpenDeck(six);
        frmEditor& editor = OpenEditor(card);
        GoTo(editor, c.card, c.column);
        c.keys();
        EXPECT_EQ(editor.SelectedCards(), c.selected);
        EXPECT_EQ(CurrentCard(editor), c.current);
        EXPECT_EQ(CurrentColumn(editor), c.currentColumn);
        EXPECT_FALSE(editor.grdCards->isEditing());
        EXPECT_EQ(QApplication::focusWidget(), editor.grdCards);
        EXPECT_EQ(Items(card, 1), c.items1);
        EXPECT_EQ(Items(card, 2), c.items2);
        card.CloseWithoutAsking();
    }
}

// A refusal's box runs an event loop: keys pressed in the same burst as the
// refused character reach the editor while the box is up. (Keys a text box
// edits with, Ctrl+V among them, stay the cell's own.)
TEST_F(EditorKeysTest, AKeyPressedWhileARefusalIsUpDoesNothingAndTheCellStays) {
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
    } cases[] = {{Qt::Key_Insert, Qt::NoModifier}, {Qt::Key_Up, Qt::AltModifier},    {Qt::Key_Down, Qt::AltModifier},
                 {Qt::Key_Y, Qt::ControlModifier}, {Qt::Key_S, Qt::ControlModifier}, {Qt::Key_Delete, Qt::NoModifier},
                 {Qt::Key_Z, Qt::ControlModifier}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        frmCard& card = OpenDeck(Words);
        frmEditor& editor = OpenEditor(card);
        GoTo(editor, 2, Column::ColumnItem1);
        Press(Qt::Key_F2);
        Type(QStringLiteral("s"));
        dialogs.whileMessageShown = [&] {
            Press(c.key, c.modifiers);
        };
        dialogs.eventLoopUntil = [] {
            return true;
        };
        Type(QStringLiteral("é"));
        dialogs.whileMessageShown = nullptr;
        dialogs.eventLoopUntil = nullptr;
        ASSERT_EQ(dialogs.messages.size(), 1U);
        ASSERT_TRUE(editor.grdCards->isEditing());
        EXPECT_EQ(card.getTotal(), 4);
        EXPECT_EQ(Items(card, 1), (std::vector<std::string>{"犬", "猫", "鳥", "魚"}));
        EXPECT_TRUE(dialogs.saveRequests.empty());
        Press(Qt::Key_Return);
        EXPECT_EQ(Items(card, 1)[1], "猫s");
        dialogs.messages.clear();
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

// The cards a search found, scattered through the deck, move as one action
// and stay selected where they went.
TEST_F(EditorKeysTest, AltDownMovesEveryFoundCardAndKeepsThemSelected) {
    frmCard& card = OpenDeck({{"a1", ""}, {"b", ""}, {"a2", ""}, {"a3", ""}, {"c", ""}, {"a4", ""}, {"d", ""}});
    frmEditor& editor = OpenEditor(card);
    Press(Qt::Key_F, Qt::ControlModifier);
    Type(QStringLiteral("a"));
    Press(Qt::Key_Return);
    editor.grdCards->selectAll();
    const auto widths = [&] {
        std::vector<int> sizes;
        for (int column = 0; column < CardTableModel::ColumnCount; ++column) {
            sizes.push_back(editor.grdCards->horizontalHeader()->sectionSize(column));
        }
        return sizes;
    };
    const std::vector<int> before = widths();
    Press(Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(widths(), before);  // the table's columns keep the widths they were given
    EXPECT_EQ(Items(card), (std::vector<std::string>{"b", "a1", "c", "a2", "a3", "d", "a4"}));
    EXPECT_EQ(editor.SelectedCards(), (std::vector<int16_t>{2, 4, 5, 7}));
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Items(card), (std::vector<std::string>{"a1", "b", "a2", "a3", "c", "a4", "d"}));
    EXPECT_EQ(editor.SelectedCards(), (std::vector<int16_t>{1, 3, 4, 6}));
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
    for (const std::string kept : {"\x82\xa0\xff\x81", "a\rb", "a\nb", "a\r\nb", "a\r\r\nb\r"}) {
        SCOPED_TRACE(kept);
        frmCard& card = OpenDeck(Words);
        card.getDocument().setItemText(2, 1, kept);
        card.getDocument().setEditedFlag(false);
        frmEditor& editor = OpenEditor(card);
        GoTo(editor, 1, Column::ColumnItem2);
        Press(Qt::Key_F2);
        Press(Qt::Key_Return);
        EXPECT_EQ(card.getItem(2, 1), kept);
        EXPECT_FALSE(card.getEditedFlag());
        EXPECT_TRUE(dialogs.messages.empty());
        card.CloseWithoutAsking();
    }
}

TEST_F(EditorKeysTest, AFullDeckRefusesAnotherCardBeforeAnythingChanges) {
    frmCard& card = OpenDeck(std::vector<CardText>(MaxCards, CardText{"a", "b"}));
    frmEditor& editor = OpenEditor(card);
    QGuiApplication::clipboard()->setText(QStringLiteral("c\td\n"));
    // On the first card and on the last, after which a card number would
    // pass int16_t.
    for (const auto at : {int16_t{1}, static_cast<int16_t>(MaxCards)}) {
        GoTo(editor, at, Column::ColumnItem1);
        for (const int key : {Qt::Key_Insert, Qt::Key_V}) {
            dialogs.messages.clear();
            Press(key, key == Qt::Key_V ? Qt::ControlModifier : Qt::NoModifier);
            ASSERT_EQ(dialogs.messages.size(), 1U) << key << " on card " << at;
            EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("32767枚を超える")));
            EXPECT_EQ(card.getTotal(), MaxCards);
            EXPECT_FALSE(card.getEditedFlag());
        }
    }
}
