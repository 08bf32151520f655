// A card window's recovery copy: written a little after a change of an
// edited deck, never inside the command; at once when asked (a signal);
// removed by a save or a close; and a window restored from a copy.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QTest>

#include "cardwindow/RecoveryKeeper.h"
#include "deck/DeckFile.h"
#include "deck/DeckRecord.h"
#include "deck/FileBytes.h"
#include "recovery/EndedCopies.h"
#include "recovery/FileFingerprint.h"
#include "recovery/RecoveryErrorText.h"
#include "recovery/RecoveryFiles.h"
#include "recovery/RecoveryOrigin.h"
#include "recovery/RecoveryStore.h"
#include "tests/cardwindow/CardWindowFixture.h"

using namespace korva;
using namespace korva::test;
using platform::MessageResult;

namespace {

const std::vector<CardText> Words = {{"犬", "dog"}, {"猫", "cat"}};
constexpr int WaitMs = 5000;

}  // namespace

class RecoveryCopyTest : public CardWindowTest {
protected:
    void SetUp() override {
        CardWindowTest::SetUp();
        store = std::make_unique<RecoveryStore>(dir.filePath(QStringLiteral("state")));
        // No test waits on the real delay.
        store->setWriteDelayMs(0);
        windows = std::make_unique<CardWindowManager>(area, dialogs, host, store.get());
        area.resize(900, 700);
        area.show();
    }

    // An open deck file whose first card has just been checked.
    frmCard* EditedWindow(const QString& name) {
        ChooseForOpen(WriteDeckFile(name, Words));
        frmCard* card = windows->Open();
        card->cmdOpen_Click();
        card->cmdCheck_Click();
        return card;
    }

    // The copy on disk once the writer is done; nullopt when there is none.
    std::optional<CardData> Copy(int number = 1) {
        store->WaitForWriter();
        const QString path = CopyPath(store->getFolder(), number);
        if (!QFile::exists(path)) {
            return std::nullopt;
        }
        return ReadDeckRecord(ReadFileBytes(path.toStdString()));
    }

    std::unique_ptr<RecoveryStore> store;
    QMdiArea area;
    std::unique_ptr<CardWindowManager> windows;
};

TEST_F(RecoveryCopyTest, AChangeOfAnEditedDeckIsCopiedShortlyAfterNotInsideTheCommand) {
    frmCard* card = EditedWindow(QStringLiteral("deck.krv"));
    EXPECT_FALSE(Copy().has_value());
    ASSERT_TRUE(QTest::qWaitFor([&] { return Copy().has_value(); }, WaitMs));
    EXPECT_EQ(Copy()->Checks[1][1], True16);

    // Modes are saved with the deck: a change of one is copied too.
    card->mnuFunctionAnswerTest_Click();
    EXPECT_EQ(Copy()->Modes.AnswerMode, AnswerNormal);
    EXPECT_TRUE(QTest::qWaitFor([&] { return Copy()->Modes.AnswerMode == AnswerTest; }, WaitMs));
    const RecoveryOrigin origin = ReadOriginFile(ReadFileBytes(OriginPath(store->getFolder(), 1).toStdString()));
    EXPECT_EQ(origin.filePath, dir.filePath(QStringLiteral("deck.krv")));
    EXPECT_EQ(origin.fileName, QStringLiteral("deck.krv"));
    ASSERT_TRUE(origin.original.has_value());
    EXPECT_EQ(origin.original, FingerprintOf(origin.filePath));
    // The check's answer, which no file holds yet, goes with the copy.
    ASSERT_EQ(origin.answers.size(), 1U);
    EXPECT_EQ(origin.answers[0].row, card->getDocument().getRecord().back());
    EXPECT_EQ(card->getDocument().getCardIds().at(origin.answers[0].card), origin.answers[0].row.cardId);
}

TEST_F(RecoveryCopyTest, LaterChangesDoNotPushThePendingWriteBack) {
    constexpr int delayMs = 60000;
    store->setWriteDelayMs(delayMs);
    int snapshots = 0;
    RecoveryKeeper keeper(store.get(), [&] {
        ++snapshots;
        return std::make_pair(WriteDeckRecord(CardData{}), RecoveryOrigin{});
    });
    keeper.Changed();
    ASSERT_TRUE(keeper.isWritePending());
    ASSERT_TRUE(QTest::qWaitFor([&] { return keeper.RemainingMs() < delayMs - 20; }, WaitMs));
    const int remaining = keeper.RemainingMs();
    keeper.Changed();
    EXPECT_LE(keeper.RemainingMs(), remaining);
    EXPECT_EQ(snapshots, 0);
    keeper.WriteNow();
    EXPECT_FALSE(keeper.isWritePending());
    EXPECT_EQ(snapshots, 1);
    EXPECT_TRUE(Copy().has_value());
}

TEST_F(RecoveryCopyTest, AnUneditedDeckHasNoCopyEvenWhenASignalAsksForOne) {
    ChooseForOpen(WriteDeckFile(QStringLiteral("deck.krv"), Words));
    frmCard* card = windows->Open();
    card->mnuFunctionTurnShuffle_Click();
    card->WriteRecoveryCopyNow();
    EXPECT_FALSE(Copy().has_value());
    card->cmdOpen_Click();
    card->cmdCheck_Click();
    card->WriteRecoveryCopyNow();
    EXPECT_TRUE(Copy().has_value());
}

// A new deck's copy names no file, so the restored window is untitled too
// and its save asks for a name without asking about an original.
TEST_F(RecoveryCopyTest, ANewDeckIsCopiedOnceEditedAndRestoredUntitled) {
    frmCard* card = windows->New();
    card->WriteRecoveryCopyNow();
    EXPECT_FALSE(Copy().has_value());
    card->getDocument().InsertCards(1, 1);
    card->getDocument().setEditedFlag(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Copy().has_value(); }, WaitMs));
    EXPECT_EQ(Copy()->Total(), 1);
    const RecoveryOrigin origin = ReadOriginFile(ReadFileBytes(OriginPath(store->getFolder(), 1).toStdString()));
    EXPECT_EQ(origin.filePath, QString());
    EXPECT_EQ(origin.fileName, QStringLiteral("無題"));
    EXPECT_FALSE(origin.original.has_value());

    frmCard* restored = windows->Restore({*Copy(), origin.filePath, origin.fileName, origin.original});
    EXPECT_EQ(restored->parentWidget()->windowTitle(), QStringLiteral("無題"));
    const QString saved = dir.filePath(QStringLiteral("saved.krv"));
    ChooseForSave(saved);
    restored->mnuFileSave_Click();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_FALSE(restored->getEditedFlag());
    CardData written;
    LoadCardFile(saved.toStdString(), written, false);
    EXPECT_EQ(written.Total(), 1);
}

TEST_F(RecoveryCopyTest, SavingOrClosingRemovesTheCopyAndCancelKeepsIt) {
    struct Case {
        const char* what;
        std::function<void(frmCard&)> act;
        bool copyStays;
    };
    const std::vector<Case> cases = {
        {"save", [](frmCard& card) { card.mnuFileSave_Click(); }, false},
        {"close, No",
         [&](frmCard& card) {
             dialogs.messageAnswers = {MessageResult::No};
             card.mnuFileClose_Click();
         },
         false},
        {"close, Cancel",
         [&](frmCard& card) {
             dialogs.messageAnswers = {MessageResult::Cancel};
             card.mnuFileClose_Click();
         },
         true},
        {"closed by the frame after its question", [](frmCard& card) { card.CloseWithoutAsking(); }, false},
    };
    int number = 0;
    for (const Case& c : cases) {
        frmCard* card = EditedWindow(QStringLiteral("deck.krv"));
        card->WriteRecoveryCopyNow();
        ++number;
        ASSERT_TRUE(Copy(number).has_value()) << c.what;
        c.act(*card);
        EXPECT_EQ(Copy(number).has_value(), c.copyStays) << c.what;
        if (c.copyStays) {
            card->CloseWithoutAsking();
            EXPECT_FALSE(Copy(number).has_value()) << c.what;
        }
    }
}

TEST_F(RecoveryCopyTest, ARestoredWindowIsTheEditedDeckUnderItsOriginalFile) {
    CardData deck = MakeDeck(Words, TurnShuffle, AnswerTest, ViewChecked);
    deck.Checks[1][2] = True16;
    deck.QuestionItems[1] = 2;
    int number = 0;
    for (const QString& name : {QStringLiteral("単語.krv"), QStringLiteral("単語.csv")}) {
        const QString path =
            name.endsWith(QStringLiteral(".csv")) ? WriteCsvFile(name, Words) : WriteDeckFile(name, Words);
        const std::optional<FileFingerprint> original = FingerprintOf(path);
        frmCard* card = windows->Restore({deck, path, name, original});
        EXPECT_EQ(card->parentWidget()->windowTitle(), name);
        EXPECT_EQ(card->getFilePath(), path);
        EXPECT_TRUE(card->getEditedFlag());
        EXPECT_EQ(WriteDeckRecord(card->getCardData()), WriteDeckRecord(deck));
        // Its own copy is on disk at once, the original as the copy knew it.
        EXPECT_TRUE(Copy(++number).has_value());
        EXPECT_EQ(ReadOriginFile(ReadFileBytes(OriginPath(store->getFolder(), number).toStdString())).original,
                  original);

        // A deck file is saved in place; one from a CSV file through the save dialog.
        const QString saved = dir.filePath(QStringLiteral("saved.krv"));
        if (name.endsWith(QStringLiteral(".csv"))) {
            ChooseForSave(saved);
        }
        card->mnuFileSave_Click();
        EXPECT_FALSE(card->getEditedFlag());
        CardData written;
        LoadCardFile((name.endsWith(QStringLiteral(".csv")) ? saved : path).toStdString(), written, false);
        EXPECT_EQ(WriteDeckRecord(written), WriteDeckRecord(deck)) << name.toStdString();
    }
    EXPECT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(RecoveryCopyTest, AnOriginalWrittenSinceTheCopyIsOverwrittenOnlyWhenTheUserSaysSo) {
    struct Case {
        const char* what;
        std::function<void(const QString&)> after;  // what happens to the original after the copy
        bool known;                                 // the side file knows the original
        bool asks;
    };
    const std::vector<Case> cases = {
        {"unchanged", [](const QString&) {}, true, false},
        {"written since", [&](const QString& path) { WriteBytes(QFileInfo(path).fileName(), "newer"); }, true, true},
        {"gone", [](const QString& path) { QFile::remove(path); }, true, true},
        {"unknown (an older side file)", [](const QString&) {}, false, true},
    };
    const QString question = QStringLiteral("deck.krv\r\n は復元元のコピーの後に変更されています。上書きしますか。");
    CardData deck = MakeDeck(Words);
    deck.Checks[1][1] = True16;
    for (const Case& c : cases) {
        const QString path = WriteDeckFile(QStringLiteral("deck.krv"), Words);
        const std::optional<FileFingerprint> original = c.known ? FingerprintOf(path) : std::nullopt;
        c.after(path);
        const QByteArray before = QFile::exists(path) ? ReadBytes(path) : QByteArray();
        dialogs.messages.clear();
        frmCard* card = windows->Restore({deck, path, QStringLiteral("deck.krv"), original});
        EXPECT_EQ(card->isOverwriteAsked(), c.asks) << c.what;
        if (c.asks) {
            // No keeps the file as it is and goes on to the save dialog.
            dialogs.messageAnswers = {MessageResult::No};
            CancelSave();
            card->mnuFileSave_Click();
            ASSERT_EQ(dialogs.messages.size(), 1u) << c.what;
            EXPECT_EQ(dialogs.messages[0].text, question);
            EXPECT_EQ(dialogs.messages[0].buttons, platform::MessageButtons::YesNoDefaultNo);
            EXPECT_EQ(QFile::exists(path) ? ReadBytes(path) : QByteArray(), before) << c.what;
            EXPECT_TRUE(card->getEditedFlag());
            dialogs.messageAnswers = {MessageResult::Yes};
        }
        card->mnuFileSave_Click();
        EXPECT_FALSE(card->getEditedFlag()) << c.what;
        CardData written;
        LoadCardFile(path.toStdString(), written, false);
        EXPECT_EQ(written.Checks[1][1], True16) << c.what;
        // Saved once, the window overwrites its own file without asking.
        const size_t asked = dialogs.messages.size();
        card->cmdOpen_Click();
        card->cmdCheck_Click();
        card->mnuFileSave_Click();
        EXPECT_EQ(dialogs.messages.size(), asked) << c.what;
        card->CloseWithoutAsking();
    }
}

TEST_F(RecoveryCopyTest, ACopyWhoseRemovalFailedIsRemovedAtTheNextSaveOrClose) {
    for (const bool bySave : {true, false}) {
        frmCard* card = EditedWindow(QStringLiteral("deck.krv"));
        card->WriteRecoveryCopyNow();
        ASSERT_TRUE(card->WaitForRecoveryCopy());
        const std::vector<int> numbers = CopyNumbers(store->getFolder());
        ASSERT_EQ(numbers.size(), 1u);
        const QString copyPath = CopyPath(store->getFolder(), numbers[0]);
        // A copy that cannot be removed: a folder with something in it.
        ASSERT_TRUE(QFile::remove(copyPath));
        ASSERT_TRUE(QDir().mkpath(copyPath + QStringLiteral("/in-the-way")));
        card->mnuFileSave_Click();
        store->WaitForWriter();
        QCoreApplication::sendPostedEvents();
        ASSERT_TRUE(QDir(copyPath).exists());

        ASSERT_TRUE(QDir(copyPath).removeRecursively());
        ASSERT_TRUE(QFile(copyPath).open(QIODevice::WriteOnly));
        if (bySave) {
            card->mnuFileSave_Click();
        } else {
            card->CloseWithoutAsking();
        }
        store->WaitForWriter();
        EXPECT_FALSE(QFile::exists(copyPath)) << (bySave ? "save" : "close");
        if (bySave) {
            card->CloseWithoutAsking();
        }
    }
}

// A deck the format cannot hold has no copy: the user is told once, as of a
// write that failed, and again only after a copy could be taken; closing the
// window still asks, and a failed save keeps it open.
TEST_F(RecoveryCopyTest, ADeckThatCannotBeCopiedIsToldOnceAndClosingStillAsks) {
    QStringList reports;
    store->setFailureReport([&](const RecoveryErrorDetail& failure) { reports << DescribeRecoveryError(failure); });
    frmCard* card = EditedWindow(QStringLiteral("deck.krv"));
    const std::string fits = card->getCardData().Items[2][2];
    const std::string tooLong(70000, 'a');
    const QString reason = QStringLiteral("項目の文字列が65535バイトを超えているため保存できません。");
    const struct {
        const std::string* text;
        QStringList told;
    } steps[] = {
        {&tooLong, {reason}},
        {&tooLong, {reason}},
        {&fits, {reason}},
        {&tooLong, {reason, reason}},
    };
    for (const auto& step : steps) {
        card->getDocument().setItemText(2, 2, *step.text);
        card->WriteRecoveryCopyNow();
        store->WaitForWriter();
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(reports, step.told);
    }
    EXPECT_EQ(Copy()->Items[2][2], fits);

    dialogs.messageAnswers = {MessageResult::Yes};
    EXPECT_FALSE(card->Form_QueryUnload());
    ASSERT_EQ(dialogs.messages.size(), 2U);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("deck.krv\r\n が編集されています。保存しますか。"));
    EXPECT_TRUE(dialogs.messages[1].text.endsWith(reason));
    EXPECT_TRUE(card->getEditedFlag());
}
