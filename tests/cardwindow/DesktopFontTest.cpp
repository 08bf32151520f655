// The card window under the desktop fonts users have: it keeps its own font,
// so it shows the same pixels whatever the desktop's, every text stands whole
// in its box, and so does every message the window shows.
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "tests/cardwindow/CardWindowFixture.h"
#include "tests/support/TextFit.h"

using namespace korva;
using namespace korva::test;

namespace {

const std::vector<CardText> Animals = {{"犬", "いぬ（dog）"}, {"猫", "ねこ（cat）"}};

}  // namespace

using CardWindowFonts = CardWindowTest;

TEST_F(CardWindowFonts, TheWindowLooksTheSameAndHoldsEveryTextUnderEveryDesktopFont) {
    QMdiArea area;
    area.resize(700, 560);
    area.show();
    CardWindowManager windows(area, dialogs, host, nullptr);
    QImage first;
    for (const int points : DesktopPointSizes) {
        SCOPED_TRACE(points);
        const DesktopFont desktop(points);
        ChooseForOpen(WriteCsvFile(QStringLiteral("日本の動物.csv"), Animals));
        frmCard* card = windows.Open();
        card->setCheck(true, 1, card->getShowCardIndex());
        card->cmdOpen_Click();  // the answer and the check label on show

        EXPECT_EQ(TextsOutsideTheirBoxes(*area.currentSubWindow()), QStringList());
        const QImage image = area.currentSubWindow()->grab().toImage();
        first = first.isNull() ? image : first;
        EXPECT_TRUE(image == first);
        card->CloseWithoutAsking();
    }
}

TEST_F(CardWindowFonts, EveryMessageOfTheWindowFitsItsBoxUnderEveryDesktopFont) {
    frmCard& card = MakeWindow(Animals, TurnNormal, AnswerTest);
    for (const char* typed : {"いぬ（dog）", "ねこ"}) {  // right, then wrong
        card.txtAnswer->setText(QString::fromUtf8(typed));
        card.cmdAnswer_Click();
    }
    card.mnuViewCardCheck->trigger();  // no card is checked
    ChooseForOpen(WriteBytes(QStringLiteral("memo.doc"), "犬,dog\r\n"));
    card.FileOpen(true);
    ChooseForOpen(WriteBytes(QStringLiteral("broken.krv"), "KORVA"));
    card.FileOpen(true);
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("taken.krv")));
    ChooseForSave(dir.filePath(QStringLiteral("taken.krv")));
    card.NewFileSave();
    card.setFileName(QStringLiteral("日本の動物.csv"));
    card.getDocument().setEditedFlag(true);
    dialogs.messageAnswers.push_back(platform::MessageResult::Cancel);
    card.Form_QueryUnload();
    ASSERT_EQ(dialogs.messages.size(), 7u);

    for (const int points : DesktopPointSizes) {
        const DesktopFont desktop(points);
        for (const FakeDialogs::MessageCall& message : dialogs.messages) {
            EXPECT_EQ(MessageBoxMisfits(message.text, message.buttons, message.title), QStringList())
                << points << " pt: " << message.text.toStdString();
        }
    }
}
