// The schedule's commands in a card window: the due view, the settings and
// the record window, offered as a .korva save to a deck that keeps no record;
// the status bar's count of today's cards.
#include <QAction>
#include <QDateTime>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>

#include "CardWindowFixture.h"
#include "deck/KorvaFile.h"
#include "platform/FileFilter.h"
#include "record/TodayStatus.h"
#include "record/frmRecord.h"

namespace korva::test {
namespace {

using platform::MessageButtons;
using platform::MessageResult;

const std::vector<CardText> Words = {{"dog", "inu"}, {"cat", "neko"}, {"bird", "tori"}};

class ScheduleCommandsTest : public CardAreaTest {
protected:
    // A .korva deck of Words, its clock at noon of one day.
    frmCard& OpenKorva() {
        CardData cards = MakeDeck(Words);
        cards.encoding = ItemEncoding::Utf8;
        const QString path = dir.filePath(QStringLiteral("words.korva"));
        SaveKorvaFile(path.toStdString(), WithCardIds(cards));
        frmCard* card = windows.OpenFile(path);
        EXPECT_NE(card, nullptr);
        card->getDocument().setClock([] { return QDateTime(QDate(2026, 3, 2), QTime(12, 0)).toMSecsSinceEpoch(); });
        return *card;
    }

    frmCard& OpenKrv() { return *windows.OpenFile(WriteDeckFile(QStringLiteral("words.krv"), Words)); }

    void CheckShown(frmCard& card) {
        card.cmdOpen_Click();
        card.cmdCheck_Click();
    }
};

TEST_F(ScheduleCommandsTest, ADeckWithoutARecordIsOfferedASaveAsKorvaFirst) {
    struct Case {
        const char* what;
        QAction* frmCard::*item;
    };
    for (const Case& c : {Case{"due view", &frmCard::mnuViewCardDue}, Case{"settings", &frmCard::mnuFunctionSettings},
                          Case{"record", &frmCard::mnuFunctionRecord}}) {
        frmCard& card = OpenKrv();
        dialogs.messages.clear();
        dialogs.messageAnswers.push_back(MessageResult::No);
        (card.*c.item)->trigger();
        ASSERT_EQ(dialogs.messages.size(), 1U) << c.what;
        EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::YesNo) << c.what;
        EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral(".korva"))) << c.what;
        EXPECT_EQ(card.getViewKind(), ViewAll) << c.what;
        EXPECT_TRUE(card.mnuViewCardAll->isChecked()) << c.what;
        EXPECT_FALSE(card.mnuViewCardDue->isChecked()) << c.what;
        EXPECT_TRUE(dialogs.settingsShown.empty()) << c.what;
        EXPECT_EQ(host.recordCalls, 0) << c.what;
        card.CloseWithoutAsking();
    }

    // Yes saves the deck as .korva, the filter chosen for it, and the view follows.
    frmCard& card = OpenKrv();
    dialogs.messageAnswers.push_back(MessageResult::Yes);
    ChooseForSave(dir.filePath(QStringLiteral("words.korva")));
    card.mnuViewCardDue->trigger();
    ASSERT_EQ(dialogs.saveRequests.size(), 1U);
    EXPECT_EQ(dialogs.saveRequests[0].selectedFilter, platform::SaveFilterKorva);
    EXPECT_EQ(card.getCardData().encoding, ItemEncoding::Utf8);
    EXPECT_EQ(card.getViewKind(), ViewDue);
    EXPECT_TRUE(card.mnuViewCardDue->isChecked());
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("words.korva"))));
    card.CloseWithoutAsking();
}

TEST_F(ScheduleCommandsTest, SettingsAndTheDueViewAndTheRecordWindowFollowTheDeck) {
    frmCard& card = OpenKorva();
    dialogs.settingsAnswers.push_back(std::nullopt);
    card.mnuFunctionSettings->trigger();
    EXPECT_EQ(card.getDocument().getDeck().settings, ScheduleSettings{});
    dialogs.settingsAnswers.push_back(ScheduleSettings{.newCardsPerDay = 2, .desiredRetention = 0.85});
    card.mnuFunctionSettings->trigger();
    EXPECT_EQ(card.getDocument().getDeck().settings, (ScheduleSettings{2, 0.85}));
    EXPECT_TRUE(card.getEditedFlag());

    card.mnuViewCardDue->trigger();
    EXPECT_TRUE(card.mnuViewCardDue->isChecked());
    EXPECT_TRUE(dialogs.messages.empty());

    // One record window per deck, drawn afresh as the deck is studied.
    frmRecord* record = windows.OpenRecord(card);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(windows.OpenRecord(card), record);
    EXPECT_EQ(record->windowTitle(), QStringLiteral("学習の記録 - words.korva"));
    auto* today = record->findChild<QLabel*>(QStringLiteral("today"));
    ASSERT_NE(today, nullptr);
    EXPECT_EQ(today->text(), QStringLiteral("今日: 復習 0枚・新規 2枚"));
    auto* streak = record->findChild<QLabel*>(QStringLiteral("streak"));
    EXPECT_EQ(streak->text(), QStringLiteral("連続学習日数: 0日"));

    TodayStatus status;
    status.Watch(windows.SessionIn(qobject_cast<QMdiSubWindow*>(card.parentWidget()))->getSharedDocument());
    EXPECT_EQ(status.text(), QStringLiteral("復習 0枚・新規 2枚"));
    CheckShown(card);
    EXPECT_EQ(today->text(), QStringLiteral("今日: 復習 0枚・新規 1枚"));
    EXPECT_EQ(streak->text(), QStringLiteral("連続学習日数: 1日"));
    EXPECT_EQ(status.text(), QStringLiteral("復習 0枚・新規 1枚"));
    CheckShown(card);
    EXPECT_EQ(status.text(), QStringLiteral("復習 0枚・新規 0枚"));
    // The day's cards studied: the view says so and shows nothing.
    ASSERT_EQ(dialogs.messages.size(), 1U);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(QStringLiteral("今日学習するカードはもうありません。")));
    EXPECT_FALSE(card.cmdOpen->isEnabled());
    EXPECT_EQ(card.lblCount->text(), QStringLiteral("0 / 3"));

    // Another view deals again from the first card.
    card.mnuViewCardAll->trigger();
    EXPECT_EQ(card.getShowCardIndex(), 1);

    // The record window goes with its card window.
    card.CloseWithoutAsking();
    EXPECT_EQ(OpenWindows(), 0);
    status.Watch(nullptr);
    EXPECT_TRUE(status.text().isEmpty());
}

}  // namespace
}  // namespace korva::test
