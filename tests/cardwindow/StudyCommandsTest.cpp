#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <functional>

#include "deck/Cp932Text.h"
#include "deck/CsvRows.h"
#include "tests/cardwindow/CardWindowFixture.h"

using namespace korva;
using namespace korva::test;

namespace {

const std::vector<CardText> Words = {{"犬", "dog"}, {"猫", "cat"}, {"鳥", "bird"}, {"魚", "fish"}};

}  // namespace

using StudyCommandsTest = CardWindowTest;

TEST_F(StudyCommandsTest, ShowRevealsTheAnswerSwitchesToNormalStyleAndFocusesCheck) {
    frmCard& card = MakeWindow(Words, TurnNormal, AnswerTest);
    ShowActive(card);
    QTest::mouseClick(card.cmdOpen, Qt::LeftButton);
    EXPECT_TRUE(card.isOpenItem());
    EXPECT_EQ(Answer(card), QStringLiteral("dog"));
    EXPECT_EQ(card.getAnswerMode(), AnswerNormal);
    EXPECT_TRUE(card.mnuFunctionAnswerNormal->isChecked());
    EXPECT_FALSE(card.mnuFunctionAnswerTest->isChecked());
    EXPECT_EQ(card.focusWidget(), card.cmdCheck);
    EXPECT_FALSE(card.getEditedFlag());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(StudyCommandsTest, AnswerJudgesTheTypedTextExactlyBeforeShowingTheAnswer) {
    struct Case {
        QString typed;
        const char* verdict;
    };
    const Case cases[] = {
        {QStringLiteral("dog"), "正解です。"},
        {QStringLiteral("Dog"), "不正解です。"},
        {QStringLiteral("dog "), "不正解です。"},
        {QStringLiteral("ｄｏｇ"), "不正解です。"},
        {QString(), "不正解です。"},
    };
    // The verdict must come while the answer is still hidden.
    struct Watch : FakeDialogs {
        const frmCard* card = nullptr;
        QString answerWhileAsked = QStringLiteral("not asked");
        platform::MessageResult Message(const QString& text, platform::MessageButtons buttons,
                                        const QString& title) override {
            answerWhileAsked = card->txtItem[1]->toPlainText();
            return FakeDialogs::Message(text, buttons, title);
        }
    };
    for (const Case& c : cases) {
        Watch watch;
        frmCard judged(watch, host);
        watch.card = &judged;
        judged.getDocument().Replace(MakeDeck(Words));
        judged.Start();
        judged.txtAnswer->setText(c.typed);
        QTest::mouseClick(judged.cmdAnswer, Qt::LeftButton);

        ASSERT_EQ(watch.messages.size(), 1u);
        EXPECT_EQ(watch.messages[0].text, QString::fromUtf8(c.verdict)) << c.typed.toStdString();
        EXPECT_EQ(watch.messages[0].buttons, platform::MessageButtons::Ok);
        EXPECT_EQ(watch.messages[0].title, QStringLiteral("KORVA!!"));
        EXPECT_EQ(watch.answerWhileAsked, QString());
        EXPECT_EQ(Answer(judged), QStringLiteral("dog"));
        EXPECT_EQ(judged.txtAnswer->text(), QString());
        EXPECT_EQ(judged.getAnswerMode(), AnswerTest);
        EXPECT_TRUE(judged.mnuFunctionAnswerTest->isChecked());
    }
}

TEST_F(StudyCommandsTest, AnswerIsJudgedInTheDecksCodePage) {
    // Item as stored, what the user typed, whether it is right.
    const struct {
        const char* item;
        const char* typed;
        bool right;
    } cases[] = {
        {"～", "〜", true},
        {"〜", "～", true},
        {"－", "−", true},
        {"∥", "‖", true},
        {"￠", "¢", true},
        {"￡", "£", true},
        {"￢", "¬", true},
        {"―", "—", true},
        {"ａ", "a", false},
        {"犬", "犬 ", false},
        {"x", "\xF0\x9F\x90\x95", false},
        {"\x81", "\xEF\xBF\xBD", false},
    };
    for (const auto& c : cases) {
        frmCard& card = MakeWindow({{"問", "仮"}});
        // Set as bytes, so a text without a Unicode form can stand there too.
        const std::optional<std::string> item = Utf8ToCp932(c.item);
        card.getDocument().setItemText(2, 1, item ? *item : std::string(c.item));
        card.txtAnswer->setText(QString::fromUtf8(c.typed));
        card.cmdAnswer_Click();
        ASSERT_FALSE(dialogs.messages.empty());
        EXPECT_EQ(dialogs.messages.back().text, c.right ? QStringLiteral("正解です。") : QStringLiteral("不正解です。"))
            << c.item << " / " << c.typed;
    }
}

TEST_F(StudyCommandsTest, AnEmptyAnswerIsRightOnlyForAnEmptyItem) {
    frmCard& card = MakeWindow({{"空", ""}});
    card.cmdAnswer_Click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("正解です。"));
}

TEST_F(StudyCommandsTest, AnsweringARevealedCardJudgesTheBoxAndKeepsTheAnswerShown) {
    frmCard& card = MakeWindow(Words);
    card.cmdOpen_Click();
    card.cmdAnswer_Click();
    EXPECT_EQ(dialogs.messages.back().text, QStringLiteral("不正解です。"));
    EXPECT_EQ(Answer(card), QStringLiteral("dog"));
    EXPECT_EQ(card.getCardCount(), 1);
}

TEST_F(StudyCommandsTest, CheckAndUncheckMarkTheCurrentDirectionDealAndMarkTheDeckEdited) {
    frmCard& card = MakeWindow(Words);
    card.cmdOpen_Click();
    QTest::mouseClick(card.cmdCheck, Qt::LeftButton);
    EXPECT_TRUE(card.isCheck(1, 1));
    EXPECT_FALSE(card.isCheck(2, 1));
    EXPECT_TRUE(card.getEditedFlag());
    EXPECT_EQ(Question(card), QStringLiteral("猫"));
    EXPECT_EQ(Answer(card), QString());
    EXPECT_EQ(card.lblCount->text(), QStringLiteral("2 / 4"));

    // Swapped card: the mark goes to the other direction.
    card.mnuFunctionReversalPersonal_Click();
    card.cmdOpen_Click();
    card.cmdCheck_Click();
    EXPECT_TRUE(card.isCheck(2, 2));
    EXPECT_FALSE(card.isCheck(1, 2));

    card.getDocument().setEditedFlag(false);
    card.cmdOpen_Click();
    QTest::mouseClick(card.cmdRecheck, Qt::LeftButton);
    EXPECT_FALSE(card.isCheck(1, 3));
    EXPECT_TRUE(card.getEditedFlag()) << "an unchanged mark still counts as an edit";
}

TEST_F(StudyCommandsTest, TheEndOfACycleStartsANewOne) {
    frmCard& card = MakeWindow({{"a", "1"}, {"b", "2"}});
    card.cmdOpen_Click();
    card.cmdCheck_Click();
    card.cmdOpen_Click();
    card.cmdCheck_Click();
    EXPECT_EQ(card.lblCount->text(), QStringLiteral("1 / 2"));
    EXPECT_EQ(Question(card), QStringLiteral("a"));
    EXPECT_TRUE(card.lblCheck->isVisibleTo(&card));
}

TEST_F(StudyCommandsTest, MenuCommandsChangeTheDeck) {
    frmCard& card = MakeWindow(Words);
    card.mnuFunctionTurnShuffle->trigger();
    EXPECT_EQ(card.getTurnMode(), TurnShuffle);
    EXPECT_TRUE(card.mnuFunctionTurnShuffle->isChecked());
    EXPECT_FALSE(card.mnuFunctionTurnNormal->isChecked());
    card.mnuFunctionTurnNormal->trigger();
    EXPECT_EQ(card.getTurnMode(), TurnNormal);

    card.mnuFunctionAnswerTest->trigger();
    EXPECT_EQ(card.getAnswerMode(), AnswerTest);
    card.mnuFunctionReversalAll->trigger();
    EXPECT_EQ(Question(card), QStringLiteral("dog"));
    for (int16_t c = 1; c <= 4; ++c) {
        EXPECT_EQ(card.getQuestionItemIndex(c), 2);
    }

    card.mnuFunctionLumpCheck->trigger();
    for (int16_t c = 1; c <= 4; ++c) {
        EXPECT_TRUE(card.isCheck(2, c));
        EXPECT_FALSE(card.isCheck(1, c));
    }
    EXPECT_TRUE(card.lblCheck->isVisibleTo(&card));
    card.mnuFunctionLumpNatural->trigger();
    for (int16_t c = 1; c <= 4; ++c) {
        EXPECT_FALSE(card.isCheck(2, c));
    }
}

// Marks and asked items are saved work: a command that changes one leaves
// the deck edited, so that closing the window asks; one that changes none,
// and the modes, which are the deck's settings, leave it as it was.
TEST_F(StudyCommandsTest, CommandsThatChangeMarksOrAskedItemsMarkTheDeckEdited) {
    using Command = std::function<void(frmCard&)>;
    const Command lumpCheck = [](frmCard& c) {
        c.mnuFunctionLumpCheck->trigger();
    };
    const Command lumpUncheck = [](frmCard& c) {
        c.mnuFunctionLumpNatural->trigger();
    };
    const Command reverseShown = [](frmCard& c) {
        c.mnuFunctionReversalPersonal->trigger();
    };
    const Command reverseAll = [](frmCard& c) {
        c.mnuFunctionReversalAll->trigger();
    };
    const Command checkAll = [](frmCard& c) {
        c.setCheckLump(true, 1);
    };
    const Command checkOne = [](frmCard& c) {
        c.setCheck(true, 1, 3);
    };
    const struct {
        const char* what;
        std::vector<CardText> cards;
        Command before;  // then the deck is saved, unedited
        Command command;
        bool edited;
    } cases[] = {
        {"lump check", Words, {}, lumpCheck, true},
        {"lump check, one card unchecked", Words,
         [](frmCard& c) {
             c.setCheckLump(true, 1);
             c.setCheck(false, 1, 4);
         },
         lumpCheck, true},
        {"lump check, every card checked", Words, checkAll, lumpCheck, false},
        {"lump uncheck, one card checked", Words, checkOne, lumpUncheck, true},
        {"lump uncheck, no card checked", Words, {}, lumpUncheck, false},
        {"lump check, no card on show", {}, {}, lumpCheck, false},
        {"reverse all", Words, {}, reverseAll, true},
        {"reverse all, no card but card 0", {}, {}, reverseAll, false},
        {"reverse the card on show", Words, {}, reverseShown, true},
        {"reverse the card on show, none on show", {}, {}, reverseShown, false},
        {"card order", Words, {}, [](frmCard& c) { c.mnuFunctionTurnShuffle->trigger(); }, false},
        {"answer style", Words, {}, [](frmCard& c) { c.mnuFunctionAnswerTest->trigger(); }, false},
        {"card filter", Words, checkOne, [](frmCard& c) { c.mnuViewCardCheck->trigger(); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        frmCard& card = MakeWindow(c.cards);
        if (c.before) {
            c.before(card);
            card.getDocument().setEditedFlag(false);
        }
        ASSERT_FALSE(card.getEditedFlag());
        c.command(card);
        EXPECT_EQ(card.getEditedFlag(), c.edited);

        dialogs.messages.clear();
        dialogs.messageAnswers = {platform::MessageResult::No};
        EXPECT_TRUE(card.Form_QueryUnload());
        EXPECT_EQ(dialogs.messages.size(), c.edited ? 1U : 0U);
    }
}

TEST_F(StudyCommandsTest, SwappingARevealedCardShowsItsFormerQuestionAsTheAnswer) {
    frmCard& card = MakeWindow(Words);
    card.cmdOpen_Click();
    card.mnuFunctionReversalPersonal->trigger();
    EXPECT_EQ(Question(card), QStringLiteral("dog"));
    EXPECT_EQ(Answer(card), QStringLiteral("犬"));
    EXPECT_EQ(card.getQuestionItemIndex(2), 1) << "only the card on show is swapped";
}

TEST_F(StudyCommandsTest, ChoosingShuffleAgainStartsAFreshCycle) {
    std::vector<CardText> cards;
    cards.reserve(30);
    for (int i = 0; i < 30; ++i) {
        cards.push_back({std::to_string(i), "x"});
    }
    frmCard& card = MakeWindow(cards, TurnShuffle);
    for (int i = 0; i < 5; ++i) {
        card.cmdOpen_Click();
        card.cmdRecheck_Click();
    }
    ASSERT_EQ(card.getCardCount(), 6);
    std::vector<int16_t> before;
    for (int16_t p = 1; p <= 30; ++p) {
        before.push_back(card.getCardTurn(p));
    }
    card.mnuFunctionTurnShuffle->trigger();
    EXPECT_EQ(card.getCardCount(), 1);
    std::vector<int16_t> after;
    for (int16_t p = 1; p <= 30; ++p) {
        after.push_back(card.getCardTurn(p));
    }
    EXPECT_NE(before, after);
}

TEST_F(StudyCommandsTest, AFilterThatTheCardPassesKeepsItOnShowWithItsAnswerHidden) {
    frmCard& card = MakeWindow(Words);
    card.cmdOpen_Click();
    card.cmdRecheck_Click();  // card 1 unchecked, card 2 on show
    card.cmdOpen_Click();
    card.mnuViewCardNatural->trigger();
    EXPECT_EQ(Question(card), QStringLiteral("猫"));
    EXPECT_EQ(Answer(card), QString());
    EXPECT_EQ(card.lblCount->text(), QStringLiteral("2 / 4"));
    EXPECT_TRUE(card.mnuViewCardNatural->isChecked());
    EXPECT_FALSE(card.mnuViewCardAll->isChecked());
}

TEST_F(StudyCommandsTest, AFilterNoCardPassesFallsBackToAllCardsWithAMessage) {
    frmCard& card = MakeWindow(Words);
    card.mnuViewCardCheck->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QString::fromStdString(StudyEngine::NoCardMessage));
    EXPECT_EQ(dialogs.messages[0].buttons, platform::MessageButtons::Ok);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("KORVA!!"));
    EXPECT_EQ(card.getViewKind(), ViewAll);
    EXPECT_TRUE(card.mnuViewCardAll->isChecked());
    EXPECT_FALSE(card.mnuViewCardCheck->isChecked());
}

TEST_F(StudyCommandsTest, AFilterTheCardFailsMovesOnToTheNextThatPasses) {
    frmCard& card = MakeWindow(Words);
    card.setCheck(true, 1, 3);
    card.mnuViewCardCheck->trigger();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(Question(card), QStringLiteral("鳥"));
    EXPECT_EQ(card.lblCount->text(), QStringLiteral("3 / 4"));
    EXPECT_TRUE(card.lblCheck->isVisibleTo(&card));
}
