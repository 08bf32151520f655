// A card window's recovery copy: written a little after a change of an
// edited deck, never inside the command; at once when asked (a signal);
// removed by a save or a close; and a window restored from a copy.
#include <QMdiArea>
#include <QTest>

#include "cardwindow/RecoveryKeeper.h"
#include "deck/DeckFile.h"
#include "deck/DeckRecord.h"
#include "deck/FileBytes.h"
#include "recovery/EndedCopies.h"
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
        host.recoveryStore = store.get();
        area.resize(900, 700);
        area.show();
    }

    // An open deck file whose first card has just been checked.
    frmCard* EditedWindow(const QString& name) {
        ChooseForOpen(WriteDeckFile(name, Words));
        frmCard* card = frmCard::OpenWindow(area, dialogs, host);
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
}

TEST_F(RecoveryCopyTest, LaterChangesDoNotPushThePendingWriteBack) {
    int snapshots = 0;
    RecoveryKeeper keeper(store.get(), [&] {
        ++snapshots;
        return std::make_pair(WriteDeckRecord(CardData{}), RecoveryOrigin{});
    });
    keeper.Changed();
    ASSERT_TRUE(keeper.isWritePending());
    ASSERT_TRUE(QTest::qWaitFor([&] { return keeper.RemainingMs() < RecoveryKeeper::WriteDelayMs - 200; }, WaitMs));
    const int remaining = keeper.RemainingMs();
    keeper.Changed();
    EXPECT_LE(keeper.RemainingMs(), remaining);
    EXPECT_EQ(snapshots, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !keeper.isWritePending(); }, WaitMs));
    EXPECT_EQ(snapshots, 1);
    EXPECT_TRUE(Copy().has_value());
}

TEST_F(RecoveryCopyTest, AnUneditedDeckHasNoCopyEvenWhenASignalAsksForOne) {
    ChooseForOpen(WriteDeckFile(QStringLiteral("deck.krv"), Words));
    frmCard* card = frmCard::OpenWindow(area, dialogs, host);
    card->mnuFunctionTurnShuffle_Click();
    card->WriteRecoveryCopyNow();
    EXPECT_FALSE(Copy().has_value());
    card->cmdOpen_Click();
    card->cmdCheck_Click();
    card->WriteRecoveryCopyNow();
    EXPECT_TRUE(Copy().has_value());
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
        const QString path = dir.filePath(name);
        frmCard* card = frmCard::RestoreWindow(area, dialogs, host, {deck, path, name});
        EXPECT_EQ(card->parentWidget()->windowTitle(), name);
        EXPECT_EQ(card->getFilePath(), path);
        EXPECT_TRUE(card->getEditedFlag());
        EXPECT_EQ(WriteDeckRecord(card->getCardData()), WriteDeckRecord(deck));
        // Its own copy is on disk at once.
        EXPECT_TRUE(Copy(++number).has_value());

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
