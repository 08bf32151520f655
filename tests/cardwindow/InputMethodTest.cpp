// Answers typed through an input method: the preedit is only a proposal,
// the committed text is the answer, and Enter judges only committed text.
#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>

#include "tests/cardwindow/CardWindowFixture.h"

using namespace korva;
using namespace korva::test;

namespace {

const std::vector<CardText> Words = {{"dog", "犬"}, {"Japan", "日本"}};

void Compose(QLineEdit* box, const QString& preedit) {
    QInputMethodEvent event(preedit, {});
    QApplication::sendEvent(box, &event);
}

void Commit(QLineEdit* box, const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(box, &event);
}

using InputMethodTest = CardWindowTest;

}  // namespace

TEST_F(InputMethodTest, EnterJudgesOnlyCommittedText) {
    frmCard& card = MakeWindow(Words, TurnNormal, AnswerTest);
    ShowActive(card);
    card.txtAnswer->setFocus();
    ASSERT_TRUE(card.txtAnswer->inputMethodQuery(Qt::ImEnabled).toBool());

    Compose(card.txtAnswer, QStringLiteral("いぬ"));
    EXPECT_EQ(card.txtAnswer->text(), QString());
    QTest::keyClick(card.txtAnswer, Qt::Key_Return);
    EXPECT_TRUE(dialogs.messages.empty()) << "Enter while composing belongs to the input method";

    Commit(card.txtAnswer, QStringLiteral("犬"));
    EXPECT_EQ(card.txtAnswer->text(), QStringLiteral("犬"));
    QTest::keyClick(card.txtAnswer, Qt::Key_Return);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("正解です。"));
}

TEST_F(InputMethodTest, CommitsAddUpAndAnAbandonedPreeditLeavesNothing) {
    frmCard& card = MakeWindow({{"Japan", "日本語"}}, TurnNormal, AnswerTest);
    ShowActive(card);
    card.txtAnswer->setFocus();

    Commit(card.txtAnswer, QStringLiteral("日本"));
    Compose(card.txtAnswer, QStringLiteral("ご"));
    Compose(card.txtAnswer, QString());  // the user dropped the proposal
    EXPECT_EQ(card.txtAnswer->text(), QStringLiteral("日本"));
    Commit(card.txtAnswer, QStringLiteral("語"));
    EXPECT_EQ(card.txtAnswer->text(), QStringLiteral("日本語"));
    QTest::keyClick(card.txtAnswer, Qt::Key_Return);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("正解です。"));
}
