// A failure that no command handles reaches the application object, which
// shows it and lets the program go on with every window as it was. This
// binary has its own main: the guarded application is the one under test.
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "cardwindow/frmCard.h"
#include "deck/CsvRows.h"
#include "deck/DeckError.h"
#include "shell/GuardedApplication.h"
#include "shell/frmMain.h"
#include "tests/support/FakeCardWindowHost.h"
#include "tests/support/FakeDialogs.h"

namespace korva {
namespace {

test::FakeDialogs* GuardDialogs = nullptr;

TEST(GuardedApplication, AnUnhandledFailureIsShownAndEveryWindowKeepsItsWork) {
    test::FakeCardWindowHost host;
    frmCard card(*GuardDialogs, host);
    const char* const texts[][2] = {{"q1", "a1"}, {"q2", "a2"}};
    CardData deck;
    for (int16_t c = 1; c <= 2; ++c) {
        SetItemText(deck, texts[c - 1][0], 1, c);
        SetItemText(deck, texts[c - 1][1], 2, c);
    }
    ResetCardState(deck);
    deck.Modes = ImportedModes;
    card.getDocument().Replace(std::move(deck));
    card.Start();
    card.getDocument().setEditedFlag(true);
    card.show();

    // An item slot that does not exist, asked inside the button's click
    // handler: drawing it fails there.
    QObject::connect(
        card.cmdOpen, &QPushButton::clicked, &card, [&card] { card.setQuestionItemIndex(card.getShowCardIndex(), 3); },
        Qt::SingleShotConnection);
    QTest::mouseClick(card.cmdOpen, Qt::LeftButton);
    // A failure that is no standard exception, from the event loop itself.
    QTimer::singleShot(0, [] { throw 42; });
    QCoreApplication::processEvents();
    // A deck's failure that no command caught is still worded for the user.
    QTimer::singleShot(0, [] { throw DeckError(DeckErrorKind::TooManyCards); });
    QCoreApplication::processEvents();

    ASSERT_EQ(GuardDialogs->messages.size(), 3u);
    for (const auto& message : GuardDialogs->messages) {
        EXPECT_EQ(message.title, QStringLiteral("KORVA!!"));
        EXPECT_EQ(message.buttons, platform::MessageButtons::Ok);
    }
    EXPECT_TRUE(GuardDialogs->messages[0].text.contains(QStringLiteral("index 3")))
        << GuardDialogs->messages[0].text.toStdString();
    EXPECT_TRUE(GuardDialogs->messages[1].text.contains(QStringLiteral("原因は分かりません")))
        << GuardDialogs->messages[1].text.toStdString();
    EXPECT_TRUE(GuardDialogs->messages[2].text.contains(QStringLiteral("カードが32767枚を超えています。")))
        << GuardDialogs->messages[2].text.toStdString();

    EXPECT_TRUE(card.getEditedFlag());
    EXPECT_EQ(card.getTotal(), 2);
    EXPECT_EQ(card.getItem(2, 2), "a2");

    // The window still answers, and its deck can still be saved.
    card.setQuestionItemIndex(card.getShowCardIndex(), 1);
    QTest::mouseClick(card.cmdOpen, Qt::LeftButton);
    EXPECT_EQ(GuardDialogs->messages.size(), 3u);
    EXPECT_TRUE(card.isOpenItem());
    QTemporaryDir dir;
    card.setFilePath(dir.filePath(QStringLiteral("kept.krv")));
    EXPECT_TRUE(card.FileSave());
    EXPECT_FALSE(card.getEditedFlag());
}

TEST(GuardedApplication, AFailureWhileOpeningACardWindowReachesTheGuard) {
    // The main window's own dialogs have no answer for the open dialog, so
    // File > Open fails inside the event that chose it.
    test::FakeDialogs unscripted;
    frmMain window(unscripted, nullptr, [] {});
    GuardDialogs->messages.clear();
    QTimer::singleShot(0, &window, [&window] { window.mnuFileOpen_Click(); });
    QCoreApplication::processEvents();

    ASSERT_EQ(GuardDialogs->messages.size(), 1u);
    EXPECT_TRUE(GuardDialogs->messages[0].text.contains(QStringLiteral("unscripted open dialog")))
        << GuardDialogs->messages[0].text.toStdString();
    EXPECT_TRUE(window.CardWindows().isEmpty());
}

}  // namespace
}  // namespace korva

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    korva::test::FakeDialogs dialogs;
    korva::GuardDialogs = &dialogs;
    korva::GuardedApplication app(argc, argv, dialogs);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
