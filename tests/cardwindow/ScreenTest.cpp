#include <cstdlib>

#include <QAction>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

#include "cardwindow/CaptionFrame.h"
#include "platform/Twips.h"
#include "tests/cardwindow/CardWindowFixture.h"

using namespace korva;
using namespace korva::test;

namespace {

const std::vector<CardText> ThreeCards = {{"犬", "dog"}, {"猫", "cat"}, {"鳥", "bird"}};

std::vector<CardText> ManyCards(int n) {
    std::vector<CardText> cards;
    for (int i = 1; i <= n; ++i) {
        cards.push_back({"問" + std::to_string(i), "答" + std::to_string(i)});
    }
    return cards;
}

QStringList Captions(const QMenu* menu) {
    QStringList captions;
    for (const QAction* action : menu->actions()) {
        captions << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return captions;
}

QStringList CheckedItems(const frmCard& card) {
    QStringList checked;
    for (const QMenu* menu : {card.mnuFunctionTurn, card.mnuFunctionAnswer, card.mnuViewCard}) {
        for (const QAction* action : menu->actions()) {
            if (action->isChecked()) {
                checked << action->text();
            }
        }
    }
    return checked;
}

// Pixels of `area` that differ clearly from `background`.
int MarkedPixels(const QImage& image, const QRect& area, QColor background) {
    const QRect inside = area.intersected(image.rect());
    int marked = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            const int difference = std::abs(pixel.red() - background.red()) +
                                   std::abs(pixel.green() - background.green()) +
                                   std::abs(pixel.blue() - background.blue());
            if (difference > 60) {
                ++marked;
            }
        }
    }
    return marked;
}

struct Enabled {
    bool open, check, recheck, answer;
};

void ExpectButtons(const frmCard& card, Enabled expected) {
    EXPECT_EQ(card.cmdOpen->isEnabled(), expected.open);
    EXPECT_EQ(card.cmdCheck->isEnabled(), expected.check);
    EXPECT_EQ(card.cmdRecheck->isEnabled(), expected.recheck);
    EXPECT_EQ(card.cmdAnswer->isEnabled(), expected.answer);
}

}  // namespace

using ScreenTest = CardWindowTest;

TEST_F(ScreenTest, ControlsCarryTheirCaptionsAndStandWhereTheyArePlaced) {
    frmCard& card = MakeWindow(ThreeCards);
    EXPECT_EQ(card.Frame1[0]->title(), QStringLiteral("問題"));
    EXPECT_EQ(card.Frame1[1]->title(), QStringLiteral("答え"));
    EXPECT_EQ(card.lblCheck->text(), QStringLiteral("チェック中"));
    EXPECT_EQ(card.Label3->text(), QStringLiteral("↓どのボタンでもOK"));
    EXPECT_EQ(card.cmdOpen->text(), QStringLiteral("表示"));
    EXPECT_EQ(card.cmdCheck->text(), QStringLiteral("チェック && 次へ"));
    EXPECT_EQ(card.cmdRecheck->text(), QStringLiteral("チェック解除 && 次へ"));
    EXPECT_EQ(card.Label1->text(), QStringLiteral("↑　；　キーでも可"));
    EXPECT_EQ(card.Label2->text(), QStringLiteral("↑　：　キーでも可"));
    EXPECT_EQ(card.frmTestMode->title(), QStringLiteral("TESTモード"));
    EXPECT_EQ(card.lblUserAnswer->text(), QStringLiteral("解答入力(&A)"));
    EXPECT_EQ(card.lblUserAnswer->buddy(), card.txtAnswer);
    EXPECT_EQ(card.cmdAnswer->text(), QStringLiteral("答える(&S)"));

    using platform::TwipsToPixels;
    EXPECT_EQ(card.cmdOpen->geometry(),
              QRect(TwipsToPixels(3060), TwipsToPixels(2580), TwipsToPixels(1695), TwipsToPixels(435)));
    EXPECT_EQ(card.Frame1[1]->geometry().topLeft(), QPoint(TwipsToPixels(4800), TwipsToPixels(180)));
    EXPECT_EQ(card.txtItem[1]->parentWidget(), card.Frame1[1]);
    EXPECT_EQ(card.cmdAnswer->parentWidget(), card.frmTestMode);
    EXPECT_EQ(card.cmdAnswer->geometry().topLeft(), QPoint(TwipsToPixels(5040), TwipsToPixels(540)));
    EXPECT_FALSE(card.cmdOpen->isDefault());
    EXPECT_FALSE(card.cmdAnswer->isDefault());

    const QFont font = card.lblCheck->font();
    EXPECT_TRUE(font.bold());
    EXPECT_EQ(font.pointSize(), 18);
    EXPECT_EQ(card.lblCheck->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(card.lblCheck->palette().color(QPalette::Window), QColor(255, 192, 192));
    EXPECT_TRUE(card.lblCheck->autoFillBackground());
}

TEST_F(ScreenTest, FrameCaptionsAreWholeAboveTheControlsTheFramesHold) {
    frmCard& card = MakeWindow(ThreeCards);
    for (QGroupBox* frame : {card.Frame1[0], card.Frame1[1], card.frmTestMode}) {
        SCOPED_TRACE(frame->title().toStdString());
        const QRect caption = static_cast<const CaptionFrame*>(frame)->CaptionRect();
        ASSERT_FALSE(caption.isEmpty());
        EXPECT_TRUE(frame->rect().contains(caption));
        for (const QWidget* control : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            EXPECT_LT(caption.bottom(), control->geometry().top());
        }

        // The frame alone: its letters stand in the caption's place, and
        // nothing else is drawn over that strip of the frame.
        QImage image(frame->size(), QImage::Format_RGB32);
        image.fill(frame->palette().color(QPalette::Window));
        frame->render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground);
        const QColor background = frame->palette().color(QPalette::Window);
        const QRect strip(caption.left() - 2, 0, caption.width() + 4, caption.bottom() + 3);
        const QRect ink = caption.adjusted(-1, -1, 1, 1);
        EXPECT_GT(MarkedPixels(image, caption, background), 10);
        EXPECT_EQ(MarkedPixels(image, strip, background), MarkedPixels(image, ink, background));
    }
    using platform::TwipsToPixels;
    EXPECT_EQ(card.txtItem[0]->geometry(),
              QRect(TwipsToPixels(180), TwipsToPixels(180), TwipsToPixels(2415), TwipsToPixels(2655)));
}

TEST_F(ScreenTest, OnlyTheChosenRadioItemsShowAMark) {
    frmCard& card = MakeWindow(ThreeCards, TurnShuffle, AnswerNormal, ViewChecked);
    for (QMenu* menu : {card.mnuFunctionTurn, card.mnuFunctionAnswer, card.mnuViewCard}) {
        menu->resize(menu->sizeHint());
        const QImage image = menu->grab().toImage();
        // An unchosen item shows its caption and nothing left of it: the
        // first mark in its row is where the captions begin.
        int captionStart = image.width();
        QAction* chosen = nullptr;
        for (QAction* item : menu->actions()) {
            if (item->isChecked()) {
                chosen = item;
                continue;
            }
            // Inside the menu's own border, which the first and last rows touch.
            const QRect row = menu->actionGeometry(item).adjusted(2, 2, -2, -2);
            const QColor background = image.pixelColor(row.topLeft());
            for (int x = row.left(); x < captionStart; ++x) {
                if (MarkedPixels(image, QRect(x, row.top(), 1, row.height()), background) > 0) {
                    captionStart = x;
                }
            }
        }
        ASSERT_NE(chosen, nullptr);
        const QRect row = menu->actionGeometry(chosen).adjusted(2, 2, -2, -2);
        const QColor background = image.pixelColor(row.topLeft());
        const QRect markColumn(row.left(), row.top(), captionStart - 2 - row.left(), row.height());
        EXPECT_GT(markColumn.width(), 8) << chosen->text().toStdString();
        EXPECT_GT(MarkedPixels(image, markColumn, background), 5) << chosen->text().toStdString();
    }
}

TEST_F(ScreenTest, TabOrderRunsFromTheShowButtonThroughTheTestFrameToTheItemBoxes) {
    frmCard& card = MakeWindow(ThreeCards);
    const QList<QWidget*> expected = {card.cmdOpen,   card.cmdCheck,   card.cmdRecheck, card.txtAnswer,
                                      card.cmdAnswer, card.txtItem[0], card.txtItem[1]};
    QList<QWidget*> chain;
    for (QWidget* w = card.nextInFocusChain(); w != &card; w = w->nextInFocusChain()) {
        if (w->focusPolicy() & Qt::TabFocus) {
            chain << w;
        }
    }
    EXPECT_EQ(chain, expected);
}

TEST_F(ScreenTest, ResizingMovesNoControl) {
    frmCard& card = MakeWindow(ThreeCards);
    card.resize(533, 400);
    card.show();
    const QRect before = card.cmdRecheck->geometry();
    const QRect frameBefore = card.frmTestMode->geometry();
    card.resize(900, 700);
    EXPECT_EQ(card.cmdRecheck->geometry(), before);
    EXPECT_EQ(card.frmTestMode->geometry(), frameBefore);
    card.resize(200, 150);
    EXPECT_EQ(card.cmdRecheck->geometry(), before);
}

TEST_F(ScreenTest, MenusHaveTheirCaptionsInOrder) {
    frmCard& card = MakeWindow(ThreeCards);
    const QList<QMenu*> menus = card.MenuBarMenus();
    ASSERT_EQ(menus.size(), 4);
    EXPECT_EQ(menus[0]->title(), QStringLiteral("ファイル(&F)"));
    EXPECT_EQ(menus[1]->title(), QStringLiteral("機能(&W)"));
    EXPECT_EQ(menus[2]->title(), QStringLiteral("表示(&V)"));
    EXPECT_EQ(menus[3]->title(), QStringLiteral("ヘルプ(&H)"));

    EXPECT_EQ(Captions(menus[0]), (QStringList{"新規作成(&N)", "開く...(&O)", "続けて開く...(&T)", "閉じる(&C)",
                                               "名前を付けて保存...(&A)", "上書き保存(&S)", "-", "終了(&X)"}));
    EXPECT_EQ(Captions(menus[1]),
              (QStringList{"カード順番(&T)", "解答方式(&S)", "項目逆転(&R)", "一括チェック(&l)", "-", "学習の記録(&K)",
                           "学習の設定...(&O)", "-", "カードの編集...(&E)"}));
    EXPECT_EQ(Captions(card.mnuFunctionTurn), (QStringList{"ノーマル(&N)", "シャッフル(&S)"}));
    EXPECT_EQ(Captions(card.mnuFunctionAnswer), (QStringList{"ノーマル（&N）", "TESTスタイル（&T）"}));
    EXPECT_EQ(Captions(card.mnuFunctionReversal), (QStringList{"すべて(&A)", "表示中のカード(&P)"}));
    EXPECT_EQ(Captions(card.mnuFunctionLump), (QStringList{"チェック(&C)", "未チェック(&N)"}));
    EXPECT_EQ(Captions(menus[2]), (QStringList{"カード表示形式(&C)"}));
    EXPECT_EQ(Captions(card.mnuViewCard),
              (QStringList{"すべて(&A)", "チェックのみ(&C)", "未チェックのみ(&N)", "復習するカード(&R)"}));
    EXPECT_EQ(Captions(menus[3]),
              (QStringList{"KORVA!!HTMLヘルプ...(&H)", "サンプルデッキを開く(&S)", "-", "バージョン情報...(&V)"}));

    int checkable = 0;
    for (const QMenu* menu : {card.mnuFile, card.mnuFunctionTurn, card.mnuFunctionAnswer, card.mnuFunctionReversal,
                              card.mnuFunctionLump, card.mnuViewCard, card.mnuHelp}) {
        for (const QAction* action : menu->actions()) {
            EXPECT_TRUE(action->shortcut().isEmpty()) << action->text().toStdString();
            EXPECT_TRUE(action->isEnabled());
            checkable += action->isCheckable();
        }
    }
    EXPECT_EQ(checkable, 8);
}

TEST_F(ScreenTest, HiddenAnswerInNormalStyle) {
    frmCard& card = MakeWindow(ThreeCards);
    ShowActive(card);
    card.FreshScreen();
    EXPECT_EQ(Question(card), QStringLiteral("犬"));
    EXPECT_EQ(Answer(card), QString());
    ExpectButtons(card, {true, false, false, true});
    EXPECT_FALSE(card.lblCheck->isVisibleTo(&card));
    EXPECT_EQ(card.lblCount->text(), QStringLiteral("1 / 3"));
    EXPECT_EQ(card.focusWidget(), card.cmdOpen);
    EXPECT_EQ(CheckedItems(card), (QStringList{"ノーマル(&N)", "ノーマル（&N）", "すべて(&A)"}));
}

TEST_F(ScreenTest, HiddenAnswerInTestStyleGivesTheCaretToTheAnswerBox) {
    frmCard& card = MakeWindow(ThreeCards, TurnShuffle, AnswerTest, ViewAll);
    ShowActive(card);
    card.FreshScreen();
    EXPECT_EQ(Answer(card), QString());
    ExpectButtons(card, {true, false, false, true});
    EXPECT_EQ(card.focusWidget(), card.txtAnswer);
    EXPECT_EQ(CheckedItems(card), (QStringList{"シャッフル(&S)", "TESTスタイル（&T）", "すべて(&A)"}));
}

TEST_F(ScreenTest, RevealedAnswerEnablesTheCheckButtonsAndGreysShow) {
    for (uint8_t style : {AnswerNormal, AnswerTest}) {
        frmCard& card = MakeWindow(ThreeCards, TurnNormal, style);
        card.setOpenItem(true);
        card.FreshScreen();
        EXPECT_EQ(Question(card), QStringLiteral("犬"));
        EXPECT_EQ(Answer(card), QStringLiteral("dog"));
        ExpectButtons(card, {false, true, true, true});
    }
}

TEST_F(ScreenTest, EveryRedrawEmptiesTheAnswerBoxEvenForTheSameCard) {
    frmCard& card = MakeWindow(ThreeCards);
    card.txtAnswer->setText(QStringLiteral("typed"));
    card.mnuFunctionAnswerNormal->trigger();
    EXPECT_EQ(card.txtAnswer->text(), QString());
    EXPECT_EQ(Question(card), QStringLiteral("犬"));
}

TEST_F(ScreenTest, CheckLabelFollowsTheMarkOfTheCurrentDirection) {
    frmCard& card = MakeWindow(ThreeCards);
    card.setCheck(true, 1, 1);
    card.FreshScreen();
    EXPECT_TRUE(card.lblCheck->isVisibleTo(&card));
    card.mnuFunctionReversalPersonal->trigger();
    EXPECT_EQ(Question(card), QStringLiteral("dog"));
    EXPECT_FALSE(card.lblCheck->isVisibleTo(&card));
}

TEST_F(ScreenTest, UnknownViewKindChecksNoViewItemWhileModesCheckExactlyOne) {
    for (uint8_t kind : {0, 3}) {
        frmCard& card = MakeWindow(ThreeCards, TurnNormal, AnswerNormal, kind);
        card.FreshMenuList();
        EXPECT_EQ(CheckedItems(card), (QStringList{"ノーマル(&N)", "ノーマル（&N）"})) << int(kind);
    }
    frmCard& card = MakeWindow(ThreeCards, TurnNormal, AnswerNormal, ViewChecked);
    EXPECT_EQ(dialogs.messages.size(), 1u) << "no card is checked, so the filter fell back";
    card.setViewKind(ViewChecked);
    card.FreshMenuList();
    EXPECT_EQ(CheckedItems(card), (QStringList{"ノーマル(&N)", "ノーマル（&N）", "チェックのみ(&C)"}));
}

TEST_F(ScreenTest, CounterShowsPositionAndTotalWithoutPadding) {
    frmCard& card = MakeWindow(ManyCards(50));
    EXPECT_EQ(card.lblCount->text(), QStringLiteral("1 / 50"));
    for (int i = 0; i < 9; ++i) {
        card.cmdOpen_Click();
        card.cmdRecheck_Click();
    }
    EXPECT_EQ(card.lblCount->text(), QStringLiteral("10 / 50"));
    EXPECT_GE(card.lblCount->width(), card.lblCount->sizeHint().width());
}

TEST_F(ScreenTest, EmptyDeckShowsZeroOfZeroWithEveryCardControlGreyed) {
    frmCard& card = MakeWindow({});
    ShowActive(card);
    EXPECT_EQ(card.lblCount->text(), QStringLiteral("0 / 0"));
    EXPECT_EQ(Question(card), QString());
    EXPECT_EQ(Answer(card), QString());
    ExpectButtons(card, {false, false, false, false});
    EXPECT_FALSE(card.txtAnswer->isEnabled());
    EXPECT_FALSE(card.lblCheck->isVisibleTo(&card));

    // The menus stay usable and leave the empty deck as it is.
    for (QAction* item : {card.mnuFunctionTurnShuffle, card.mnuFunctionAnswerTest, card.mnuFunctionReversalAll,
                          card.mnuFunctionReversalPersonal, card.mnuFunctionLumpCheck, card.mnuFunctionLumpNatural,
                          card.mnuViewCardCheck, card.mnuViewCardNatural, card.mnuViewCardAll}) {
        item->trigger();
    }
    EXPECT_EQ(card.lblCount->text(), QStringLiteral("0 / 0"));
    ExpectButtons(card, {false, false, false, false});
    EXPECT_FALSE(card.getEditedFlag());
}

TEST_F(ScreenTest, CardCommandsOnAnEmptyDeckDoNothing) {
    frmCard& card = MakeWindow({});
    card.cmdOpen_Click();
    card.cmdAnswer_Click();
    card.cmdCheck_Click();
    int16_t code = 186, shift = 0;
    card.ProgressKeyboard(code, shift);
    EXPECT_FALSE(card.isOpenItem());
    EXPECT_FALSE(card.getEditedFlag());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_FALSE(card.isCheck(1, 0));
}
