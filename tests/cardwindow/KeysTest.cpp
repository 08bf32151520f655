#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "cardwindow/VirtualKey.h"
#include "tests/cardwindow/CardWindowFixture.h"

using namespace korva;
using namespace korva::test;

namespace {

const std::vector<CardText> Words = {{"犬", "dog"}, {"猫", "cat"}, {"鳥", "bird"}};

QKeyEvent NativeKey(quint32 scanCode, Qt::Key key, const QString& text) {
    return QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, scanCode, 0, 0, text);
}

}  // namespace

TEST(VirtualKey, KeysRightOfLAreToldByTheirPosition) {
    // US layout: keycode 47 gives ';', 48 gives '\''; Japanese layout: ';' and ':'.
    EXPECT_EQ(VirtualKeyCode(NativeKey(47, Qt::Key_Semicolon, ";")), 187);
    EXPECT_EQ(VirtualKeyCode(NativeKey(47, Qt::Key_Plus, "+")), 187);
    EXPECT_EQ(VirtualKeyCode(NativeKey(48, Qt::Key_Apostrophe, "'")), 186);
    EXPECT_EQ(VirtualKeyCode(NativeKey(48, Qt::Key_Colon, ":")), 186);
    // Elsewhere on the keyboard the character alone does not count.
    EXPECT_EQ(VirtualKeyCode(NativeKey(20, Qt::Key_Plus, "+")), 0);
    EXPECT_EQ(VirtualKeyCode(NativeKey(38, Qt::Key_A, "a")), 0);
}

TEST(VirtualKey, EventsWithoutScanCodeAreToldByTheirCharacter) {
    EXPECT_EQ(VirtualKeyCode(NativeKey(0, Qt::Key_Semicolon, ";")), 187);
    EXPECT_EQ(VirtualKeyCode(NativeKey(0, Qt::Key_Plus, "+")), 187);
    EXPECT_EQ(VirtualKeyCode(NativeKey(0, Qt::Key_Colon, ":")), 186);
    EXPECT_EQ(VirtualKeyCode(NativeKey(0, Qt::Key_Asterisk, "*")), 186);
    EXPECT_EQ(VirtualKeyCode(NativeKey(0, Qt::Key_Apostrophe, "'")), 0);
    EXPECT_EQ(VirtualKeyCode(NativeKey(0, Qt::Key_Return, "\r")), 0);
}

TEST(VirtualKey, OnlyKeysThatProduceACharacterCount) {
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        const char* text;
        bool produces;
    } cases[] = {
        {Qt::Key_X, Qt::ShiftModifier, "X", true},
        {Qt::Key_Space, Qt::NoModifier, " ", true},
        {0x306C, Qt::NoModifier, "ぬ", true},
        {Qt::Key_Enter, Qt::KeypadModifier, "\r", true},
        {Qt::Key_Escape, Qt::NoModifier, "\x1b", true},
        {Qt::Key_Backspace, Qt::NoModifier, "\b", true},
        {Qt::Key_C, Qt::ControlModifier, "\x03", true},
        {Qt::Key_Q, Qt::ControlModifier | Qt::AltModifier, "@", true},
        {Qt::Key_1, Qt::ControlModifier, "1", false},
        {Qt::Key_Delete, Qt::NoModifier, "\x7f", false},
        {Qt::Key_Left, Qt::NoModifier, "", false},
        {Qt::Key_F2, Qt::NoModifier, "", false},
        {Qt::Key_Tab, Qt::NoModifier, "\t", false},
        {Qt::Key_Shift, Qt::ShiftModifier, "", false},
        {Qt::Key_Zenkaku_Hankaku, Qt::NoModifier, "", false},
        {Qt::Key_Z, Qt::AltModifier, "z", false},
        {Qt::Key_A, Qt::MetaModifier, "a", false},
    };
    for (const auto& c : cases) {
        const QKeyEvent event(QEvent::KeyPress, c.key, c.modifiers, QString::fromUtf8(c.text));
        EXPECT_EQ(ProducesCharacter(event), c.produces) << std::hex << c.key << " modifiers " << c.modifiers.toInt();
    }
}

using KeysTest = CardWindowTest;

TEST_F(KeysTest, CharacterKeysOnShowRevealAndOtherKeysDoNot) {
    const std::pair<QKeyCombination, bool> cases[] = {
        {Qt::Key_X, true},       {Qt::Key_Escape, true}, {Qt::ControlModifier | Qt::Key_C, true},
        {Qt::Key_Delete, false}, {Qt::Key_Down, false},  {Qt::AltModifier | Qt::Key_Z, false},
        {Qt::Key_Tab, false},
    };
    for (const auto& [key, reveals] : cases) {
        frmCard& card = MakeWindow(Words);
        QTest::keyClick(card.cmdOpen, key.key(), key.keyboardModifiers());
        EXPECT_EQ(Answer(card), reveals ? QStringLiteral("dog") : QString()) << std::hex << key.toCombined();
    }
}

TEST_F(KeysTest, SemicolonChecksAndColonUnchecksFromEitherButton) {
    frmCard& card = MakeWindow(Words);
    card.cmdOpen_Click();
    QTest::keyClick(card.cmdRecheck, ';');
    EXPECT_TRUE(card.isCheck(1, 1));
    EXPECT_TRUE(card.getEditedFlag());
    EXPECT_EQ(Question(card), QStringLiteral("猫"));

    card.setCheck(true, 1, 2);
    card.cmdOpen_Click();
    QTest::keyClick(card.cmdCheck, ':');
    EXPECT_FALSE(card.isCheck(1, 2));
    EXPECT_EQ(Question(card), QStringLiteral("鳥"));
}

TEST_F(KeysTest, OtherKeysOnTheCheckButtonsAndTheKeysElsewhereDoNothing) {
    frmCard& card = MakeWindow(Words);
    card.cmdOpen_Click();
    QTest::keyClick(card.cmdCheck, Qt::Key_A);
    QTest::keyClick(card.txtAnswer, ';');
    EXPECT_EQ(card.getCardCount(), 1);
    EXPECT_FALSE(card.isCheck(1, 1));
    EXPECT_FALSE(card.getEditedFlag());
    EXPECT_EQ(card.txtAnswer->text(), QStringLiteral(";"));
}

TEST_F(KeysTest, ProgressKeyboardActsOnTheCodeAndIgnoresShift) {
    frmCard& card = MakeWindow(Words);
    card.cmdOpen_Click();
    int16_t code = 187, shift = 1;
    card.ProgressKeyboard(code, shift);
    EXPECT_TRUE(card.isCheck(1, 1));
    EXPECT_EQ(code, 187);
    EXPECT_EQ(shift, 1);
    code = 65;
    card.cmdOpen_Click();
    card.ProgressKeyboard(code, shift);
    EXPECT_EQ(card.getCardCount(), 2);
}

TEST_F(KeysTest, EnterOnAFocusedCheckButtonClicksThatButton) {
    frmCard& card = MakeWindow(Words);
    card.cmdOpen_Click();
    QTest::keyClick(card.cmdRecheck, Qt::Key_Return);
    EXPECT_EQ(card.getCardCount(), 2);
    EXPECT_FALSE(card.isCheck(1, 1));
    card.cmdOpen_Click();
    QTest::keyClick(card.cmdCheck, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(card.isCheck(1, 2));
}

TEST_F(KeysTest, TheAnswerButtonBecomesDefaultOnceTheAnswerBoxHasHadTheFocus) {
    frmCard& card = MakeWindow(Words);
    ShowActive(card);
    QTest::keyClick(card.txtItem[0], Qt::Key_Return);
    EXPECT_TRUE(dialogs.messages.empty()) << "no default button yet";
    EXPECT_FALSE(card.cmdAnswer->isDefault());

    card.txtAnswer->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), card.txtAnswer);
    EXPECT_TRUE(card.cmdAnswer->isDefault());

    QTest::keyClicks(card.txtAnswer, QStringLiteral("dog"));
    QTest::keyClick(card.txtAnswer, Qt::Key_Return);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("正解です。"));
    EXPECT_EQ(QApplication::focusWidget(), card.cmdCheck);

    // The default stays after the focus has left the box, for any control that is not a button.
    card.cmdRecheck_Click();
    QTest::keyClick(card.txtItem[1], Qt::Key_Return);
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].text, QStringLiteral("不正解です。"));
    EXPECT_TRUE(card.cmdAnswer->isDefault());

    // A focused button answers Enter itself.
    QTest::keyClick(card.cmdCheck, Qt::Key_Return);
    EXPECT_EQ(dialogs.messages.size(), 2u);
    EXPECT_TRUE(card.isCheck(1, 2));
}

TEST_F(KeysTest, RevealingAndCheckingWithoutTouchingTheAnswerBoxLeaveNoDefaultButton) {
    frmCard& card = MakeWindow(Words);
    ShowActive(card);
    card.FreshScreen();
    ASSERT_EQ(QApplication::focusWidget(), card.cmdOpen);

    // The show button greys under the focus, and so do the check buttons after a check.
    QTest::keyClick(card.cmdOpen, Qt::Key_X);
    EXPECT_EQ(QApplication::focusWidget(), card.cmdCheck);
    EXPECT_FALSE(card.cmdAnswer->isDefault());
    QTest::keyClick(card.cmdCheck, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), card.cmdOpen);
    EXPECT_FALSE(card.cmdAnswer->isDefault());

    QTest::keyClick(card.txtItem[0], Qt::Key_Return);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_FALSE(card.isOpenItem());
}

TEST_F(KeysTest, AccessKeysReachTheControlsOfTheActiveCardWindowOnly) {
    QMdiArea area;
    area.resize(900, 700);
    area.show();
    QApplication::setActiveWindow(&area);
    CardWindowManager windows(area, dialogs, host, nullptr);
    ChooseForOpen(WriteDeckFile(QStringLiteral("first.krv"), Words));
    frmCard* first = windows.Open();
    ChooseForOpen(WriteDeckFile(QStringLiteral("second.krv"), Words));
    frmCard* second = windows.Open();
    ASSERT_TRUE(first && second);
    ASSERT_EQ(QApplication::focusWidget(), second->cmdOpen);

    QTest::keyClick(second->cmdOpen, Qt::Key_A, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), second->txtAnswer);
    EXPECT_TRUE(second->cmdAnswer->isDefault());
    EXPECT_FALSE(first->cmdAnswer->isDefault());
    EXPECT_FALSE(second->isOpenItem()) << "Alt+A is no character for the show button";

    // The button is pressed now and clicks when its press animation ends.
    QTest::keyClick(second->txtAnswer, Qt::Key_S, Qt::AltModifier);
    EXPECT_TRUE(second->cmdAnswer->isDown());
    EXPECT_FALSE(first->cmdAnswer->isDown());
}
