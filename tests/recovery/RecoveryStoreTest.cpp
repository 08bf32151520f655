// The recovery copies on disk: the side file, one program's own folder, and
// what the next start finds of programs that ended, killed or still running.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <string>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "deck/DeckError.h"
#include "deck/DeckRecord.h"
#include "deck/FileBytes.h"
#include "deck/PathText.h"
#include "recovery/EndedCopies.h"
#include "recovery/FileFingerprint.h"
#include "recovery/RecoveryError.h"
#include "recovery/RecoveryErrorText.h"
#include "recovery/RecoveryFiles.h"
#include "recovery/RecoveryFolder.h"
#include "recovery/RecoveryOrigin.h"
#include "recovery/RecoveryStore.h"
#include "tests/support/ByteNames.h"

namespace korva {
namespace {

CardData StudiedDeck() {
    CardData deck;
    deck.Items = {{"", "", ""}, {"", "a", "b"}, {"", "\x82\xa0", ""}};
    deck.Checks = {{0, 0, 0}, {0, True16, 0}, {0, 0, True16}};
    deck.QuestionItems = {1, 1, 2};
    deck.Modes = {TurnShuffle, 1, ViewChecked, AnswerTest};
    return deck;
}

TEST(RecoveryOriginTest, ThePathsBytesTheNameAndTheOriginalComeBackExactly) {
    const FileFingerprint print{1234, 1765432100123, QByteArray(64, 'a')};
    const std::vector<RecoveryOrigin> origins = {
        {QStringLiteral("/home/user/単語.krv"), QStringLiteral("単語.krv"), print},
        {QStringLiteral("/decks/100% sure/a\nb.csv"), QStringLiteral("a\nb.csv"), std::nullopt},
        {QStringLiteral("/d/e.krv"), QString(), FileFingerprint{0, -5, "00"}},
        {QStringLiteral("/d/한국어.korva"), QStringLiteral("한국어.korva"), print, ItemEncoding::Utf8},
        {QStringLiteral("/d/b.korva"),
         QStringLiteral("b.korva"),
         std::nullopt,
         ItemEncoding::Utf8,
         {{{.timeMs = 1765432100123, .cardId = 17, .item = 2, .checked = true, .style = AnswerTest, .judged = 1}, 3},
          {{.timeMs = -1, .cardId = 4, .item = 1, .checked = false, .style = AnswerNormal, .judged = -1}, 0}}},
    };
    for (const RecoveryOrigin& origin : origins) {
        const std::string bytes = WriteOriginFile(origin);
        const RecoveryOrigin back = ReadOriginFile(bytes);
        EXPECT_EQ(back.filePath, origin.filePath) << bytes;
        EXPECT_EQ(back.fileName, origin.fileName) << bytes;
        EXPECT_EQ(back.original, origin.original) << bytes;
        EXPECT_EQ(back.encoding, origin.encoding) << bytes;
        EXPECT_EQ(back.answers, origin.answers) << bytes;
    }
    EXPECT_EQ(WriteOriginFile({QStringLiteral("/d/単.krv"), QStringLiteral("単.krv"), FileFingerprint{7, 9, "ab"}}),
              "KORVA recovery 3\npath /d/%E5%8D%98.krv\nname %E5%8D%98.krv\noriginal 7 9 ab\ntext cp932\n");
    // A name that is not UTF-8 keeps its bytes, and its fingerprint is its
    // own file's, not the file a lossy decoding would name.
    QTemporaryDir dir;
    for (const test::ByteName& name : test::ByteNames) {
        const std::string path = dir.path().toStdString() + "/" + name.stem + ".krv";
        WriteFileAtomically(path, name.stem);
        WriteFileAtomically(test::LossyName(path), "a decoy of another size");
        const RecoveryOrigin back = ReadOriginFile(WriteOriginFile({PathToText(path), QString(), std::nullopt}));
        EXPECT_EQ(TextToPath(back.filePath), path) << name.label;
        const std::optional<FileFingerprint> print = FingerprintOf(back.filePath);
        ASSERT_TRUE(print.has_value()) << name.label;
        EXPECT_EQ(print->size, static_cast<qint64>(name.stem.size())) << name.label;
    }
    // A state folder whose name Qt cannot keep is refused, not replaced by another.
    const QByteArray state = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", QByteArray::fromStdString(dir.path().toStdString() + "/caf\xe9"));
    EXPECT_THROW(RecoveryRoot(), RecoveryError);
    qputenv("XDG_STATE_HOME", state);

    // A side file of the first format has no original: unknown.
    const RecoveryOrigin old = ReadOriginFile("KORVA recovery 1\npath /d/a.krv\nname a.krv\n");
    EXPECT_EQ(old.filePath, QStringLiteral("/d/a.krv"));
    EXPECT_FALSE(old.original.has_value());
    // One of the second holds a code page 932 deck.
    const RecoveryOrigin second = ReadOriginFile("KORVA recovery 2\npath /d/a.krv\nname a.krv\noriginal 7 9 ab\n");
    EXPECT_EQ(second.original, (FileFingerprint{7, 9, "ab"}));
    EXPECT_EQ(second.encoding, ItemEncoding::Cp932);
    EXPECT_THROW(ReadOriginFile("KORVA recovery 3\npath /d/a.krv\nname a.krv\noriginal none\ntext latin1\n"),
                 RecoveryError);
}

TEST(RecoveryOriginTest, AFingerprintChangesWithTheBytesAndIsNoneForNoFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("deck.krv"));
    EXPECT_FALSE(FingerprintOf(path).has_value());
    EXPECT_FALSE(FingerprintOf(dir.path()).has_value());
    WriteFileAtomically(path.toStdString(), "KORVA one");
    const std::optional<FileFingerprint> first = FingerprintOf(path);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->size, 9);
    EXPECT_EQ(first->hash.size(), 64);
    EXPECT_EQ(FingerprintOf(path), first);
    // The same size and the same second: only the bytes tell them apart.
    const QDateTime time = QFileInfo(path).lastModified();
    WriteFileAtomically(path.toStdString(), "KORVA two");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
    file.close();
    EXPECT_NE(FingerprintOf(path), first);
}

TEST(RecoveryOriginTest, ADamagedSideFileIsAnError) {
    for (const char* bytes :
         {"", "KORVA recovery 2\npath /a\nname a\n", "KORVA recovery 1\npath /a\nname a",
          "KORVA recovery 1\nname a\npath /a\n", "KORVA recovery 1\npath /a\nname a\n\n",
          "KORVA recovery 2\npath /a\nname a\noriginal 1 2\n", "KORVA recovery 2\npath /a\nname a\noriginal x 2 ab\n",
          // Answers only in the fourth format, and only ones the record can hold.
          "KORVA recovery 3\npath /a\nname a\noriginal none\ntext utf8\nanswer 1 1 1 1 1 1 -1\n",
          "KORVA recovery 4\npath /a\nname a\noriginal none\ntext utf8\n",
          "KORVA recovery 4\npath /a\nname a\noriginal none\ntext utf8\nanswer 1 1 1 3 1 1 -1\n",
          "KORVA recovery 4\npath /a\nname a\noriginal none\ntext utf8\nanswer 1 1 0 1 1 1 -1\n",
          "KORVA recovery 4\npath /a\nname a\noriginal none\ntext utf8\nanswer 1 1 1 1 1 1\n",
          "KORVA recovery 4\npath /a\nname a\noriginal none\ntext utf8\nanswer 1 x 1 1 1 1 -1\n"}) {
        EXPECT_THROW(ReadOriginFile(bytes), RecoveryError) << bytes;
    }
}

// The results come back through the event loop of the thread that made the store.
class EventLoop {
public:
    EventLoop() : App_(Argc_, Argv_.data()) {}

private:
    std::string Name_ = "korva_recovery_tests";
    int Argc_ = 1;
    std::array<char*, 2> Argv_{Name_.data(), nullptr};
    QCoreApplication App_;
};

class RecoveryStoreTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString Root() const { return dir.filePath(QStringLiteral("state/korva")); }

    // A store holding one copy of StudiedDeck, written to the end.
    std::unique_ptr<RecoveryStore> StoreWithCopy(const QString& fileName = QStringLiteral("単語.csv")) {
        auto store = std::make_unique<RecoveryStore>(Root());
        const int number = store->NewCopyNumber();
        store->SubmitCopy(number, WriteDeckRecord(StudiedDeck()), {QStringLiteral("/decks/") + fileName, fileName});
        EXPECT_TRUE(store->WaitFor(number));
        return store;
    }

    static QByteArray ReadAll(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static void Spoil(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    QTemporaryDir dir;
};

TEST_F(RecoveryStoreTest, AProgramKeepsItsCopiesInAPrivateLockedFolderOfItsOwn) {
    RecoveryStore first(Root());
    RecoveryStore second(Root());
    EXPECT_NE(first.getFolder(), second.getFolder());
    EXPECT_TRUE(first.getFolder().startsWith(Root() + QStringLiteral("/program-")));
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(Root()).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_TRUE(QFile::exists(first.getFolder() + QStringLiteral("/lock")));
    EXPECT_EQ(first.NewCopyNumber(), 1);
    EXPECT_EQ(first.NewCopyNumber(), 2);
}

TEST_F(RecoveryStoreTest, ACopyIsWrittenReplacedAndRemovedInTheOrderAsked) {
    RecoveryStore store(Root());
    CardData deck = StudiedDeck();
    store.SubmitCopy(3, WriteDeckRecord(deck), {QStringLiteral("/d/a.krv"), QStringLiteral("a.krv")});
    deck.Checks[1][1] = 0;
    store.SubmitCopy(3, WriteDeckRecord(deck), {QStringLiteral("/d/a.krv"), QStringLiteral("a.krv")});
    ASSERT_TRUE(store.WaitFor(3));
    QFile copy(CopyPath(store.getFolder(), 3));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll().toStdString(), WriteDeckRecord(deck));
    EXPECT_TRUE(QFile::exists(OriginPath(store.getFolder(), 3)));

    store.SubmitCopy(3, WriteDeckRecord(deck), {QStringLiteral("/d/a.krv"), QStringLiteral("a.krv")});
    store.SubmitRemoval(3);
    ASSERT_TRUE(store.WaitFor(3));
    EXPECT_TRUE(CopyNumbers(store.getFolder()).empty());
    EXPECT_FALSE(QFile::exists(OriginPath(store.getFolder(), 3)));

    store.RemoveFolder();
    EXPECT_FALSE(QDir(store.getFolder()).exists());

    const auto unfinished = StoreWithCopy();
    unfinished->RemoveFolder();
    EXPECT_EQ(EndedCopies(Root()).TakeCopies().size(), 1u);
}

TEST_F(RecoveryStoreTest, AFolderThatCannotBeMadeIsAnError) {
    Spoil(dir.filePath(QStringLiteral("state")), "a file, not a folder");
    EXPECT_THROW(RecoveryStore store(Root()), RecoveryError);
}

TEST_F(RecoveryStoreTest, ARunningProgramsCopiesAreNeitherOfferedNorTouched) {
    const auto running = StoreWithCopy();
    EndedCopies ended(Root());
    EXPECT_TRUE(ended.TakeCopies().empty());
    ended.RemoveClaimedFolders();
    EXPECT_EQ(CopyNumbers(running->getFolder()), std::vector<int>{1});
}

TEST_F(RecoveryStoreTest, ACopyLeftBySignalOrKillComesBackExactlyAndGoesWhenDone) {
    const auto bySignal = StoreWithCopy(QStringLiteral("a.krv"));
    bySignal->Release();
    const auto killed = StoreWithCopy(QStringLiteral("b.krv"));
    // A killed program leaves its lock behind, naming a process that is gone.
    const QString killedFolder = killed->getFolder();
    killed->Release();
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);
    Spoil(killedFolder + QStringLiteral("/lock"), QByteArray::number(child) + "\nkorva\n\n");

    EndedCopies ended(Root());
    std::vector<RecoveryCopy> copies = ended.TakeCopies();
    ASSERT_EQ(copies.size(), 2u);
    QStringList names;
    for (const RecoveryCopy& copy : copies) {
        EXPECT_EQ(WriteDeckRecord(copy.deck), WriteDeckRecord(StudiedDeck()));
        EXPECT_EQ(copy.filePath, QStringLiteral("/decks/") + copy.fileName);
        names << copy.fileName;
    }
    names.sort();
    EXPECT_EQ(names, (QStringList{QStringLiteral("a.krv"), QStringLiteral("b.krv")}));
    EXPECT_TRUE(ended.getDamaged().empty());

    // Claimed: a program starting meanwhile finds nothing to offer.
    EXPECT_TRUE(EndedCopies(Root()).TakeCopies().empty());
    ended.RemoveClaimedFolders();
    EXPECT_FALSE(QDir(bySignal->getFolder()).exists());
    EXPECT_FALSE(QDir(killedFolder).exists());
}

TEST_F(RecoveryStoreTest, DamagedCopiesAreReportedWithTheirReasonAndMovedAside) {
    auto store = StoreWithCopy(QStringLiteral("good.krv"));
    store->SubmitCopy(2, "KORVA", {QStringLiteral("/decks/broken.krv"), QStringLiteral("broken.krv")});
    store->SubmitCopy(3, WriteDeckRecord(StudiedDeck()), {QStringLiteral("/decks/c.krv"), QStringLiteral("c.krv")});
    ASSERT_TRUE(store->WaitFor(2) && store->WaitFor(3));
    ASSERT_TRUE(QFile::remove(OriginPath(store->getFolder(), 3)));
    const QString folder = store->getFolder();
    store->Release();

    EndedCopies ended(Root());
    const std::vector<RecoveryCopy> copies = ended.TakeCopies();
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(copies[0].fileName, QStringLiteral("good.krv"));
    ASSERT_EQ(ended.getDamaged().size(), 2u);
    EXPECT_EQ(ended.getDamaged()[0].name, QStringLiteral("broken.krv"));
    EXPECT_FALSE(DescribeDamagedCopy(ended.getDamaged()[0]).isEmpty());
    EXPECT_EQ(ended.getDamaged()[1].name, QStringLiteral("deck-3.krv"));
    EXPECT_TRUE(
        DescribeDamagedCopy(ended.getDamaged()[1]).startsWith(QStringLiteral("元のファイルの情報を読めません。")));

    ended.RemoveClaimedFolders();
    EXPECT_FALSE(QDir(folder).exists());
    const QString prefix = ended.getDamagedFolder() + u'/' + QDir(folder).dirName();
    for (const char* name : {"-deck-2.krv", "-deck-2.origin", "-deck-3.krv"}) {
        EXPECT_TRUE(QFile::exists(prefix + QLatin1String(name))) << name;
    }
    // Set aside, they are offered no more.
    EXPECT_TRUE(EndedCopies(Root()).getDamaged().empty());
}

// What may stand where the state folder should be; each is refused whole,
// and nothing is made or removed in it or through it. Only root can give a
// folder away; anyone else meets such a folder as it is.
TEST_F(RecoveryStoreTest, AStateFolderThatIsNotTheUsersOwnIsRefusedAndLeftAsItWas) {
    const QString victim = dir.filePath(QStringLiteral("victim"));
    ASSERT_TRUE(QDir().mkpath(victim));
    Spoil(victim + QStringLiteral("/notes.txt"), "mine");
    const bool root = ::geteuid() == 0;
    const std::vector<std::pair<std::string, const char*>> cases = {
        {"link", "シンボリックリンクです"},
        {"foreign", root ? "ほかのユーザーのフォルダーです" : "ほかのユーザーも書き込めるフォルダーです"},
        {"open", "ほかのユーザーも書き込めるフォルダーです"},
        {"file", "フォルダーではありません"},
    };
    for (const auto& [kind, why] : cases) {
        const QString korva = dir.filePath(QString::fromStdString(kind) + QStringLiteral("/korva"));
        const QByteArray path = QFile::encodeName(korva);
        ASSERT_TRUE(QDir().mkpath(QFileInfo(korva).path()));
        if (kind == "link") {
            ASSERT_TRUE(QFile::link(victim, korva));
        } else if (kind == "file") {
            Spoil(korva, "a file");
        } else {
            ASSERT_EQ(::mkdir(path.constData(), 0777), 0);
            ASSERT_EQ(
                kind == "foreign" && root ? ::chown(path.constData(), 65534, 65534) : ::chmod(path.constData(), 0777),
                0);
        }
        try {
            RecoveryStore store(korva);
            ADD_FAILURE() << kind << ": taken";
        } catch (const RecoveryError& error) {
            EXPECT_TRUE(DescribeRecoveryError(error).contains(QString::fromUtf8(why))) << error.what();
        }
        EXPECT_FALSE(QDir(korva).entryList(QDir::AllEntries).join(u' ').contains(QStringLiteral("program-"))) << kind;
    }
    EXPECT_EQ(QDir(victim).entryList(QDir::Files), QStringList{QStringLiteral("notes.txt")});

    // The user's own folder that others could read is made private.
    ASSERT_TRUE(QDir().mkpath(Root()));
    ASSERT_EQ(::chmod(QFile::encodeName(Root()).constData(), 0755), 0);
    RecoveryStore store(Root());
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(Root()).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

// Anything in the state folder that the program did not make is never
// opened, locked, moved or removed, nor anything a link there points to;
// the user is told of it.
TEST_F(RecoveryStoreTest, WhatTheProgramDidNotMakeIsLeftAloneAndReported) {
    auto good = StoreWithCopy(QStringLiteral("good.krv"));
    const QString goodFolder = good->getFolder();
    good->Release();
    // A folder of another program's copy, moved out of the state folder.
    const QString victim = dir.filePath(QStringLiteral("victim"));
    StoreWithCopy(QStringLiteral("planted.krv"))->Release();
    for (const QString& name : QDir(Root()).entryList({QStringLiteral("program-*")}, QDir::Dirs)) {
        if (Root() + u'/' + name != goodFolder) {
            ASSERT_TRUE(QDir().rename(Root() + u'/' + name, victim));
        }
    }
    Spoil(victim + QStringLiteral("/notes.txt"), "mine");
    ASSERT_TRUE(QFile::link(victim + QStringLiteral("/notes.txt"), goodFolder + QStringLiteral("/deck-2.krv")));
    Spoil(goodFolder + QStringLiteral("/notes.txt"), "not the program's");
    ASSERT_TRUE(QFile::link(victim, Root() + QStringLiteral("/program-link")));
    // A folder others may enter, holding a whole copy.
    const QString open = Root() + QStringLiteral("/program-open");
    ASSERT_TRUE(QDir().mkdir(open));
    ASSERT_EQ(::chmod(QFile::encodeName(open).constData(), 0755), 0);
    ASSERT_TRUE(QFile::copy(victim + QStringLiteral("/deck-1.krv"), open + QStringLiteral("/deck-1.krv")));
    ASSERT_TRUE(QFile::copy(victim + QStringLiteral("/deck-1.origin"), open + QStringLiteral("/deck-1.origin")));
    const QStringList victimBefore = QDir(victim).entryList(QDir::Files);

    EndedCopies ended(Root());
    const std::vector<RecoveryCopy> copies = ended.TakeCopies();
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(copies[0].fileName, QStringLiteral("good.krv"));
    QStringList reported;
    for (const DamagedCopy& damaged : ended.getDamaged()) {
        reported << damaged.name;
        EXPECT_FALSE(damaged.movedAside) << damaged.name.toStdString();
    }
    reported.sort();
    EXPECT_EQ(reported, (QStringList{QStringLiteral("deck-2.krv"), QStringLiteral("program-link"),
                                     QStringLiteral("program-open")}));
    ended.RemoveClaimedFolders();

    EXPECT_EQ(QDir(victim).entryList(QDir::Files), victimBefore);
    EXPECT_EQ(ReadAll(victim + QStringLiteral("/notes.txt")), QByteArray("mine"));
    EXPECT_EQ(CopyNumbers(open), std::vector<int>{1});
    // The good copy went; the folder stays for what is not the program's.
    EXPECT_EQ(QDir(goodFolder).entryList(QDir::Files | QDir::System),
              (QStringList{QStringLiteral("deck-2.krv"), QStringLiteral("notes.txt")}));
}

// A damaged copy that cannot be moved aside stays where it is and is told
// again; the good copy beside it goes once restored, and is offered once.
TEST_F(RecoveryStoreTest, ADamagedCopyThatCannotBeMovedStaysAndTheGoodOneIsOfferedOnce) {
    auto store = StoreWithCopy(QStringLiteral("good.krv"));
    store->SubmitCopy(2, "KORVA", {QStringLiteral("/decks/broken.krv"), QStringLiteral("broken.krv")});
    ASSERT_TRUE(store->WaitFor(2));
    const QString folder = store->getFolder();
    store->Release();
    Spoil(Root() + QStringLiteral("/damaged"), "a file in the way");

    for (const std::size_t offered : {1u, 0u}) {
        EndedCopies ended(Root());
        EXPECT_EQ(ended.TakeCopies().size(), offered);
        ASSERT_EQ(ended.getDamaged().size(), 1u);
        EXPECT_FALSE(ended.getDamaged()[0].movedAside);
        const QString reason = DescribeDamagedCopy(ended.getDamaged()[0]);
        EXPECT_TRUE(reason.contains(QStringLiteral("コピーを移せないため、%1 に残しました（").arg(folder)) &&
                    reason.contains(QStringLiteral("フォルダーではありません")))
            << reason.toStdString();
        ended.RemoveClaimedFolders();
        EXPECT_EQ(CopyNumbers(folder), std::vector<int>{2});
    }

    // Once the way is clear it is moved, for the user's eyes only.
    ASSERT_TRUE(QFile::remove(Root() + QStringLiteral("/damaged")));
    EndedCopies ended(Root());
    ASSERT_EQ(ended.getDamaged().size(), 1u);
    EXPECT_TRUE(ended.getDamaged()[0].movedAside);
    ended.RemoveClaimedFolders();
    EXPECT_FALSE(QDir(folder).exists());
    const QString moved = ended.getDamagedFolder() + u'/' + QDir(folder).dirName() + QStringLiteral("-deck-2.krv");
    for (const auto& [path, mode] : {std::pair{ended.getDamagedFolder(), 0700u}, std::pair{moved, 0600u}}) {
        struct stat info {};
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, mode) << path.toStdString();
    }
}

TEST_F(RecoveryStoreTest, EveryJobHasAResultAndTheLatestCopyOfANumberIsTheOneWritten) {
    const EventLoop loop;
    RecoveryStore store(Root());
    std::vector<RecoveryJobResult> results;
    const auto done = [&](const RecoveryJobResult& result) {
        results.push_back(result);
    };
    CardData deck = StudiedDeck();
    for (int16_t check : {int16_t{0}, True16, int16_t{0}, True16}) {
        deck.Checks[1][1] = check;
        store.SubmitCopy(4, WriteDeckRecord(deck), {QStringLiteral("/d/a.krv"), QStringLiteral("a.krv")}, done);
    }
    EXPECT_TRUE(store.WaitFor(4));
    QCoreApplication::sendPostedEvents();
    ASSERT_EQ(results.size(), 4u);
    int written = 0;
    for (const RecoveryJobResult& result : results) {
        EXPECT_EQ(result.number, 4);
        EXPECT_NE(result.outcome, RecoveryJobResult::Outcome::Failed);
        written += result.outcome == RecoveryJobResult::Outcome::Done ? 1 : 0;
    }
    EXPECT_GE(written, 1);
    EXPECT_EQ(ReadFileBytes(CopyPath(store.getFolder(), 4).toStdString()), WriteDeckRecord(deck));
}

TEST_F(RecoveryStoreTest, AFailureIsReportedOnceAndAgainOnlyAfterASuccess) {
    const EventLoop loop;
    RecoveryStore store(Root());
    QStringList reports;
    store.setFailureReport([&](const RecoveryErrorDetail& failure) { reports << DescribeRecoveryError(failure); });
    const QString blocker = CopyPath(store.getFolder(), 1) + QStringLiteral("/in-the-way");
    struct Step {
        bool blocked;
        qsizetype reports;
    };
    for (const Step step : {Step{true, 1}, Step{true, 1}, Step{false, 1}, Step{false, 1}, Step{true, 2}}) {
        if (step.blocked) {
            QFile::remove(CopyPath(store.getFolder(), 1));
            ASSERT_TRUE(QDir().mkpath(blocker));
        } else {
            QDir(CopyPath(store.getFolder(), 1)).removeRecursively();
        }
        store.SubmitCopy(1, WriteDeckRecord(StudiedDeck()), {QStringLiteral("/d/a.krv"), QStringLiteral("a.krv")});
        EXPECT_EQ(store.WaitFor(1), !step.blocked);
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(reports.size(), step.reports);
    }
    EXPECT_FALSE(reports.back().isEmpty());

    // A removal that fails is tried again at the regular end; until then the
    // copy is there, and a copy that stays keeps the folder for the next start.
    store.SubmitRemoval(1);
    EXPECT_FALSE(store.WaitFor(1));
    ASSERT_TRUE(QDir(CopyPath(store.getFolder(), 1)).removeRecursively());
    ASSERT_TRUE(QFile(CopyPath(store.getFolder(), 1)).open(QIODevice::WriteOnly));
    store.RemoveFolder();
    EXPECT_FALSE(QDir(store.getFolder()).exists());
    EXPECT_EQ(reports.size(), 2);
}

}  // namespace
}  // namespace korva
