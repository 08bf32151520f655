// The main window and the recovery copies: the question at start when
// programs left copies behind, what Yes and No leave, damaged copies, and
// the signals that end the program after every copy is written.
#include <csignal>

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "cardwindow/frmCard.h"
#include "deck/DeckRecord.h"
#include "deck/FileBytes.h"
#include "recovery/RecoveryFiles.h"
#include "recovery/RecoveryOrigin.h"
#include "recovery/RecoveryStore.h"
#include "shell/EndSignals.h"
#include "shell/frmMain.h"
#include "tests/support/FakeDialogs.h"
#include "tests/support/TextFit.h"

namespace korva {
namespace {

using platform::MessageButtons;
using platform::MessageResult;

const QString Question = QStringLiteral(
    "前回保存されずに終了したデッキがあります。復元しますか。\r\n"
    "「いいえ」を選ぶと、復元用のコピーを削除します。\r\n"
    "答えずに閉じると、コピーは残り、次の起動時にもう一度たずねます。");

CardData CheckedDeck() {
    CardData deck;
    deck.Items = {{"", "", ""}, {"", "apple", "ringo"}};
    deck.Checks = {{0, 0, 0}, {0, True16, 0}};
    deck.QuestionItems = {1, 1};
    deck.Modes = ImportedModes;
    return deck;
}

class RecoveryOfferTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        window.show();
    }

    void TearDown() override {
        for (frmCard* card : window.CardWindows()) {
            card->CloseWithoutAsking();
        }
    }

    // The folder of a program that held this copy; live keeps it running.
    QString LeaveCopy(const std::string& record, const QString& name, bool live = false,
                      ItemEncoding encoding = ItemEncoding::Cp932) {
        others.push_back(std::make_unique<RecoveryStore>(Root()));
        RecoveryStore& other = *others.back();
        const int number = other.NewCopyNumber();
        other.SubmitCopy(number, record, {folder.filePath(name), name, std::nullopt, encoding});
        EXPECT_TRUE(other.WaitFor(number));
        if (!live) {
            other.Release();
        }
        return other.getFolder();
    }

    // The folder of one ended program that held these copies, each written
    // at its time.
    struct LeftCopy {
        CardData deck;
        QString fileName;
        bool saved;  // a deck file in the test's folder, else a new deck
        QDateTime copied;
    };
    void LeaveCopies(const std::vector<LeftCopy>& copies) {
        RecoveryStore other(Root());
        for (const LeftCopy& copy : copies) {
            const int number = other.NewCopyNumber();
            other.SubmitCopy(number, WriteDeckRecord(copy.deck),
                             {copy.saved ? folder.filePath(copy.fileName) : QString(), copy.fileName});
            ASSERT_TRUE(other.WaitFor(number));
            QFile written(CopyPath(other.getFolder(), number));
            ASSERT_TRUE(written.open(QIODevice::ReadWrite) &&
                        written.setFileTime(copy.copied, QFileDevice::FileModificationTime));
        }
        other.Release();
    }

    QString Root() const { return folder.filePath(QStringLiteral("state")); }

    // A deck file on disk under name.
    QString DeckFile(const CardData& deck, const QString& name) {
        const QString path = folder.filePath(name);
        WriteFileAtomically(path.toStdString(), WriteDeckRecord(deck));
        return path;
    }

    void ExpectMessagesFit() {
        for (const int points : test::DesktopPointSizes) {
            const test::DesktopFont desktop(points);
            for (const test::FakeDialogs::MessageCall& message : dialogs.messages) {
                EXPECT_EQ(test::MessageBoxMisfits(message.text, message.buttons, message.title), QStringList())
                    << points << " pt: " << message.text.toStdString();
            }
        }
    }

    QTemporaryDir folder;
    RecoveryStore store{folder.filePath(QStringLiteral("state"))};
    std::vector<std::unique_ptr<RecoveryStore>> others;
    test::FakeDialogs dialogs;
    frmMain window{dialogs, &store};
};

TEST_F(RecoveryOfferTest, YesRestoresEachCopyAsAnEditedWindowWhoseCopyTakesOver) {
    const QString old = LeaveCopy(WriteDeckRecord(CheckedDeck()), QStringLiteral("words.csv"));
    dialogs.messageAnswers = {MessageResult::Yes};
    window.OfferRecovery();

    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(Question + QStringLiteral("\r\n\r\n・words.csv（1枚、")));
    EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::YesNoOrLater);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("KORVA!!"));
    const QList<frmCard*> cards = window.CardWindows();
    ASSERT_EQ(cards.size(), 1);
    EXPECT_EQ(cards[0]->parentWidget()->windowTitle(), QStringLiteral("words.csv"));
    EXPECT_TRUE(cards[0]->getEditedFlag());
    EXPECT_FALSE(QDir(old).exists());
    EXPECT_EQ(CopyNumbers(store.getFolder()), std::vector<int>{1});
    ExpectMessagesFit();
}

// A deck in any language comes back in its own letters, and its copy is
// written as one again.
TEST_F(RecoveryOfferTest, ADeckInAnyLanguageComesBackInItsOwnLetters) {
    CardData deck = CheckedDeck();
    deck.Items[1] = {"", "사과", "pomme"};
    deck.encoding = ItemEncoding::Utf8;
    LeaveCopy(WriteDeckRecord(deck), QStringLiteral("단어.korva"), false, ItemEncoding::Utf8);
    dialogs.messageAnswers = {MessageResult::Yes};
    window.OfferRecovery();
    ASSERT_EQ(window.CardWindows().size(), 1);
    frmCard& card = *window.CardWindows()[0];
    EXPECT_EQ(card.getCardData().encoding, ItemEncoding::Utf8);
    EXPECT_EQ(card.txtItem[0]->toPlainText(), QStringLiteral("사과"));
    store.WaitForWriter();
    const std::vector<int> copies = CopyNumbers(store.getFolder());
    ASSERT_EQ(copies.size(), 1U);
    const RecoveryOrigin origin = ReadOriginFile(ReadFileBytes(OriginPath(store.getFolder(), copies[0]).toStdString()));
    EXPECT_EQ(origin.encoding, ItemEncoding::Utf8);
}

// The question names each deck a Yes brings back: the name its window
// showed, its folder, when its copy was last written and how many cards it
// holds; past ten, the rest are counted. The buttons stay.
TEST_F(RecoveryOfferTest, TheQuestionListsTheDecksItWouldBringBack) {
    const QDateTime morning(QDate(2024, 3, 5), QTime(9, 7));
    CardData none = CheckedDeck();
    none.Items.resize(1);
    none.Checks.resize(1);
    none.QuestionItems.resize(1);
    CardData three = CheckedDeck();
    for (int i = 0; i < 2; ++i) {
        three.Items.push_back({"", "pear", "nashi"});
        three.Checks.push_back({0, 0, 0});
        three.QuestionItems.push_back(1);
    }
    const auto line = [&](const QString& name, int cards, const QDateTime& when, const QString& where) {
        return QStringLiteral("\r\n・%1（%2枚、最終変更 %3）\r\n　%4")
            .arg(name, QString::number(cards), when.toString(QStringLiteral("yyyy/MM/dd HH:mm")), where);
    };
    std::vector<LeftCopy> eleven;
    QString tenOfThem;
    for (int i = 1; i <= 11; ++i) {
        const QString name = QStringLiteral("deck%1.krv").arg(i);
        const QDateTime copied = morning.addSecs(qint64{60} * i);
        eleven.push_back({CheckedDeck(), name, true, copied});
        tenOfThem += i <= 10 ? line(name, 1, copied, folder.path()) : QString();
    }
    const struct {
        const char* what;
        std::vector<LeftCopy> copies;
        QString listed;
    } cases[] = {
        {"a deck file",
         {{CheckedDeck(), QStringLiteral("単語.krv"), true, morning}},
         line(QStringLiteral("単語.krv"), 1, morning, folder.path())},
        {"a word list and a new deck, in turn",
         {{three, QStringLiteral("words.csv"), true, morning.addDays(-400)},
          {none, QStringLiteral("無題"), false, morning.addSecs(59)}},
         line(QStringLiteral("words.csv"), 3, morning.addDays(-400), folder.path()) +
             line(QStringLiteral("無題"), 0, morning, QStringLiteral("新規作成したデッキ"))},
        {"eleven decks", eleven, tenOfThem + QStringLiteral("\r\nほか 1 個のデッキ")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        LeaveCopies(c.copies);
        dialogs.messages.clear();
        dialogs.messageAnswers = {MessageResult::No};
        window.OfferRecovery();
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].text, Question + QStringLiteral("\r\n") + c.listed);
        EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::YesNoOrLater);
        EXPECT_TRUE(window.CardWindows().isEmpty());
        ExpectMessagesFit();
    }
}

TEST_F(RecoveryOfferTest, NoRemovesTheCopiesAndARunningProgramsCopyIsNotOffered) {
    const QString running = LeaveCopy(WriteDeckRecord(CheckedDeck()), QStringLiteral("live.krv"), true);
    window.OfferRecovery();
    EXPECT_TRUE(dialogs.messages.empty());

    const QString old = LeaveCopy(WriteDeckRecord(CheckedDeck()), QStringLiteral("old.krv"));
    dialogs.messageAnswers = {MessageResult::No};
    window.OfferRecovery();
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(window.CardWindows().isEmpty());
    EXPECT_FALSE(QDir(old).exists());
    EXPECT_EQ(CopyNumbers(running), std::vector<int>{1});
}

TEST_F(RecoveryOfferTest, YesRestoresNoDiscardsAndEscapeLeavesTheCopiesToBeAskedAgain) {
    struct Case {
        MessageResult answer;
        int windows;
        bool copiesStay;
    };
    const Case cases[] = {
        {MessageResult::Yes, 1, false}, {MessageResult::No, 0, false}, {MessageResult::Cancel, 0, true}};
    for (const Case& c : cases) {
        const QString old = LeaveCopy(WriteDeckRecord(CheckedDeck()), QStringLiteral("words.krv"));
        dialogs.messages.clear();
        dialogs.messageAnswers = {c.answer};
        window.OfferRecovery();
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(window.CardWindows().size(), c.windows);
        EXPECT_EQ(QDir(old).exists(), c.copiesStay);
        TearDown();

        // The next start asks again only about copies that stayed.
        dialogs.messages.clear();
        dialogs.messageAnswers = {MessageResult::No};
        window.OfferRecovery();
        EXPECT_EQ(dialogs.messages.size(), c.copiesStay ? 1u : 0u);
        EXPECT_FALSE(QDir(old).exists());
        dialogs.messageAnswers.clear();
    }
}

TEST_F(RecoveryOfferTest, ADamagedCopyIsReportedOnceWithItsReason) {
    LeaveCopy("KORVA", QStringLiteral("broken.krv"));
    window.OfferRecovery();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    const QString& report = dialogs.messages[0].text;
    EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::Ok);
    EXPECT_TRUE(report.contains(QStringLiteral("broken.krv: "))) << report.toStdString();
    EXPECT_TRUE(report.endsWith(Root() + QStringLiteral("/damaged"))) << report.toStdString();
    ExpectMessagesFit();
    window.OfferRecovery();
    EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(RecoveryOfferTest, ADamagedCopyThatCannotBeMovedIsReportedWhereItStays) {
    const QString left = LeaveCopy("KORVA", QStringLiteral("broken.krv"));
    QFile blocker(Root() + QStringLiteral("/damaged"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    window.OfferRecovery();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    const QString& report = dialogs.messages[0].text;
    EXPECT_TRUE(report.contains(QStringLiteral("コピーを移せないため、") + left)) << report.toStdString();
    EXPECT_FALSE(report.contains(QStringLiteral("移しました"))) << report.toStdString();
    ExpectMessagesFit();
}

TEST_F(RecoveryOfferTest, EverySignalThatEndsTheProgramComesThroughTheEventLoop) {
    std::vector<int> received;
    {
        EndSignals watcher([&](int number) { received.push_back(number); });
        for (const int number : {SIGTERM, SIGHUP, SIGINT}) {
            ASSERT_EQ(std::raise(number), 0);
            EXPECT_TRUE(QTest::qWaitFor([&] { return !received.empty() && received.back() == number; }, 5000));
        }
    }
    EXPECT_EQ(received, (std::vector<int>{SIGTERM, SIGHUP, SIGINT}));
    EXPECT_EQ(std::signal(SIGTERM, SIG_DFL), SIG_DFL);

    // Started to ignore one (nohup), the program keeps ignoring it.
    std::signal(SIGHUP, SIG_IGN);
    {
        EndSignals watcher([&](int number) { received.push_back(number); });
        std::raise(SIGHUP);
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(std::signal(SIGHUP, SIG_DFL), SIG_IGN);
    EXPECT_EQ(received.size(), 3u);
}

TEST_F(RecoveryOfferTest, ASignalWritesEveryEditedWindowsCopyAtOnce) {
    LeaveCopy(WriteDeckRecord(CheckedDeck()), QStringLiteral("a.krv"));
    LeaveCopy(WriteDeckRecord(CheckedDeck()), QStringLiteral("b.krv"));
    dialogs.messageAnswers = {MessageResult::Yes};
    window.OfferRecovery();
    ASSERT_EQ(window.CardWindows().size(), 2);
    window.CardWindows()[0]->getDocument().setEditedFlag(false);
    window.CardWindows()[1]->mnuFunctionAnswerTest_Click();

    window.WriteEveryRecoveryCopy();
    store.WaitForWriter();
    ASSERT_EQ(CopyNumbers(store.getFolder()), std::vector<int>{2});
    const CardData copy = ReadDeckRecord(ReadFileBytes(CopyPath(store.getFolder(), 2).toStdString()));
    EXPECT_EQ(copy.Modes.AnswerMode, AnswerTest);
}

// One unchecked card shown only while unchecked: checking it leaves no card
// to deal, and the "no card" message comes up inside the command.
CardData LastUncheckedCard() {
    CardData deck = CheckedDeck();
    deck.Checks = {{0, 0, 0}, {0, 0, 0}};
    deck.Modes = {TurnNormal, 1, ViewUnchecked, AnswerNormal};
    return deck;
}

TEST_F(RecoveryOfferTest, ASignalWhileACommandsMessageIsUpWritesTheChangeAndTheLatestCopy) {
    window.OpenFiles({DeckFile(LastUncheckedCard(), QStringLiteral("one.krv"))});
    ASSERT_EQ(window.CardWindows().size(), 1);
    frmCard* card = window.CardWindows()[0];
    card->cmdOpen_Click();
    ASSERT_FALSE(card->getEditedFlag());

    bool ended = false;
    EndSignals watcher([&](int) {
        window.WriteEveryRecoveryCopy();
        ended = true;
    });
    dialogs.whileMessageShown = [] {
        std::raise(SIGTERM);
    };
    dialogs.eventLoopUntil = [&] {
        return ended;
    };
    card->cmdCheck_Click();
    ASSERT_TRUE(ended);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    store.WaitForWriter();
    ASSERT_EQ(CopyNumbers(store.getFolder()), std::vector<int>{1});
    const CardData copy = ReadDeckRecord(ReadFileBytes(CopyPath(store.getFolder(), 1).toStdString()));
    EXPECT_EQ(copy.Checks[1][1], True16);
}

TEST_F(RecoveryOfferTest, TheQuestionComesFirstThenTheFilesNamedOnTheCommandLine) {
    LeaveCopy(WriteDeckRecord(CheckedDeck()), QStringLiteral("left.krv"));
    const QStringList named{DeckFile(CheckedDeck(), QStringLiteral("named.krv"))};
    // What the event loop holds while the question is up: a call queued
    // behind everything that was queued before it.
    bool queuedRan = false;
    int windowsDuringQuestion = -1;
    dialogs.whileMessageShown = [&] {
        QMetaObject::invokeMethod(
            &window, [&] { queuedRan = true; }, Qt::QueuedConnection);
    };
    dialogs.eventLoopUntil = [&] {
        windowsDuringQuestion = static_cast<int>(window.CardWindows().size());
        return queuedRan;
    };
    dialogs.messageAnswers = {MessageResult::Yes};
    QMetaObject::invokeMethod(&window, "StartUp", Qt::QueuedConnection, Q_ARG(QStringList, named));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.CardWindows().size() == 2; }, 5000));
    EXPECT_EQ(windowsDuringQuestion, 0);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(window.CardWindows()[0]->getFileName(), QStringLiteral("left.krv"));
    EXPECT_EQ(window.CardWindows()[1]->getFileName(), QStringLiteral("named.krv"));
}

// The once-only rule itself is the store's; here, what the user reads.
TEST_F(RecoveryOfferTest, ACopyThatCannotBeWrittenIsToldWithItsReasonAndWhatItMeans) {
    window.OpenFiles({DeckFile(CheckedDeck(), QStringLiteral("deck.krv"))});
    frmCard* card = window.CardWindows()[0];
    // A folder where the copy would go: no file can replace it.
    const QString copyPath = CopyPath(store.getFolder(), 1);
    ASSERT_TRUE(QDir().mkpath(copyPath + QStringLiteral("/in-the-way")));
    card->getDocument().setEditedFlag(true);
    card->WriteRecoveryCopyNow();
    EXPECT_FALSE(card->WaitForRecoveryCopy());
    QCoreApplication::sendPostedEvents();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    const QString& told = dialogs.messages.back().text;
    EXPECT_TRUE(told.startsWith(QStringLiteral("復元用のコピーを保存できません（"))) << told.toStdString();
    EXPECT_TRUE(told.endsWith(QStringLiteral("）。保存するまでの変更は、異常終了すると失われます。")))
        << told.toStdString();
    EXPECT_FALSE(told.contains(QStringLiteral("。）")));
    ExpectMessagesFit();
    QDir(copyPath).removeRecursively();
}

}  // namespace
}  // namespace korva
