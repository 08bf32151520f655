#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "deck/CsvImport.h"
#include "deck/DeckFile.h"
#include "deck/DeckRecord.h"
#include "deck/KorvaFile.h"
#include "deck/PathText.h"
#include "deck/WriteCall.h"
#include "platform/FileFilter.h"
#include "tests/cardwindow/CardWindowFixture.h"
#include "tests/support/ByteNames.h"

using namespace korva;
using namespace korva::test;

namespace {

const std::vector<CardText> Words = {{"犬", "dog"}, {"猫", "cat"}};
const QString OpenFilter = QStringLiteral(
    "KORVAで開けるファイル(*.krv,*.korva,*.csv,*.tsv,*.txt)|*.krv;*.korva;*.csv;*.tsv;*.txt"
    "|KORVA対応ファイル(*.krv,*.csv)|*.krv;*.CSV|KORVA専用ファイル(*.krv)|*.krv|CSVファイル(*.csv)|*.csv"
    "|単語リスト(*.csv,*.tsv,*.txt)|*.csv;*.tsv;*.txt|すべてのファイル(*)|*");
const QString SaveFilter = QStringLiteral("KORVA用ファイル(*.krv)|*.krv|KORVAデッキ(*.korva)|*.korva");

}  // namespace

class FileCommandsTest : public CardWindowTest {
protected:
    // A window holding the deck read from path through the open dialog.
    frmCard& Opened(const QString& path) {
        window = std::make_unique<frmCard>(dialogs, host);
        ChooseForOpen(path);
        EXPECT_TRUE(window->FileOpen(false));
        window->Start();
        return *window;
    }
};

TEST_F(FileCommandsTest, OpenDialogStartsFromTheFileNameWithTheOpenFilterAndMustExist) {
    frmCard& card = Opened(WriteDeckFile(QStringLiteral("単語.krv"), Words));
    ASSERT_EQ(dialogs.openRequests.size(), 1u);
    EXPECT_EQ(dialogs.openRequests[0].fileName, QString());
    EXPECT_EQ(dialogs.openRequests[0].filter, OpenFilter);
    EXPECT_EQ(dialogs.openRequests[0].flags, 0x1000);
    EXPECT_EQ(dialogs.openRequests[0].defaultExt, QString());
    EXPECT_EQ(card.getFileName(), QStringLiteral("単語.krv"));
    EXPECT_EQ(card.getFilePath(), dir.filePath(QStringLiteral("単語.krv")));
    EXPECT_EQ(card.getTotal(), 2);
    EXPECT_EQ(Question(card), QStringLiteral("犬"));

    CancelOpen();
    EXPECT_EQ(card.getOpenPath(), QStringLiteral("False"));
    EXPECT_EQ(dialogs.openRequests[1].fileName, QStringLiteral("単語.krv"));
}

TEST_F(FileCommandsTest, ACancelledOpenLeavesPathAndNameAndNeverReadsAFileCalledFalse) {
    frmCard& card = Opened(WriteDeckFile(QStringLiteral("deck.krv"), Words));
    const QString oldCwd = QDir::currentPath();
    QDir::setCurrent(dir.path());
    WriteCsvFile(QStringLiteral("False"), {{"偽", "false"}});

    CancelOpen();
    EXPECT_FALSE(card.FileOpen(true));
    QDir::setCurrent(oldCwd);

    EXPECT_EQ(card.getFilePath(), dir.filePath(QStringLiteral("deck.krv")));
    EXPECT_EQ(card.getFileName(), QStringLiteral("deck.krv"));
    EXPECT_EQ(card.getTotal(), 2);
    EXPECT_TRUE(card.isFilePath());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(FileCommandsTest, EndingsAreReadWithoutRegardToCase) {
    frmCard& upper = Opened(WriteDeckFile(QStringLiteral("DECK.KRV"), Words));
    EXPECT_EQ(upper.getTotal(), 2);
    EXPECT_FALSE(upper.isCSVFile());

    frmCard& csv = Opened(WriteCsvFile(QStringLiteral("LIST.CSV"), {{"山", "mountain"}}));
    EXPECT_EQ(csv.getTotal(), 1);
    EXPECT_TRUE(csv.isCSVFile());

    // Its Save goes through the dialog: the CSV file is never overwritten with a deck.
    const QByteArray csvBytes = ReadBytes(csv.getFilePath());
    CancelSave();
    csv.mnuFileSave_Click();
    EXPECT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(ReadBytes(csv.getFilePath()), csvBytes);

    for (const char* path : {"/x/list.csv", "/x/list.Csv", "/x/list.CSV", "/x/list.tsv", "/x/list.TXT"}) {
        csv.setFilePath(QString::fromUtf8(path));
        EXPECT_TRUE(csv.isCSVFile()) << path;
    }
    for (const char* path : {"/x/list.krv", "False", "", "/x/listcsv.doc"}) {
        csv.setFilePath(QString::fromUtf8(path));
        EXPECT_FALSE(csv.isCSVFile()) << path;
    }
}

TEST_F(FileCommandsTest, AFileOfAnotherKindIsRefusedWithAMessageAndChangesNothing) {
    frmCard& card = Opened(WriteDeckFile(QStringLiteral("deck.krv"), Words));
    const QString text = WriteBytes(QStringLiteral("memo.doc"), "犬,dog\r\n");
    ChooseForOpen(text);
    EXPECT_FALSE(card.FileOpen(true));

    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(QStringLiteral("memo.doc\r\n")));
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral(".krv")));
    EXPECT_EQ(dialogs.messages[0].buttons, platform::MessageButtons::Ok);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("KORVA!!"));
    EXPECT_EQ(card.getTotal(), 2);
    EXPECT_EQ(card.getFileName(), QStringLiteral("deck.krv"));
    EXPECT_EQ(card.getFilePath(), dir.filePath(QStringLiteral("deck.krv")));
}

TEST_F(FileCommandsTest, AFileThatCannotBeReadIsReportedWithItsNameAndReasonAndTheDeckStays) {
    frmCard& card = Opened(WriteDeckFile(QStringLiteral("deck.krv"), Words));
    QByteArray cut = ReadBytes(WriteDeckFile(QStringLiteral("whole.krv"), Words));
    cut.truncate(cut.size() / 2);
    CardData badQuestion = MakeDeck(Words);
    badQuestion.QuestionItems[2] = 3;
    SaveCardFile(dir.filePath(QStringLiteral("question.krv")).toStdString(), badQuestion);
    QFile huge(dir.filePath(QStringLiteral("huge.csv")));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(qint64{64} << 30));  // sparse: no space taken
    huge.close();
    const std::pair<QString, QString> files[] = {
        {WriteBytes(QStringLiteral("broken.krv"), cut), QStringLiteral("途中で終わっています")},
        {dir.filePath(QStringLiteral("question.krv")), QStringLiteral("カード2の出題項目が3")},
        {huge.fileName(), QStringLiteral("大きすぎます")},
    };
    for (const auto& [path, reason] : files) {
        for (const bool append : {true, false}) {
            dialogs.messages.clear();
            ChooseForOpen(path);
            EXPECT_FALSE(card.FileOpen(append));

            ASSERT_EQ(dialogs.messages.size(), 1u);
            const QString message = dialogs.messages[0].text;
            EXPECT_TRUE(message.startsWith(QFileInfo(path).fileName() + QStringLiteral("\r\n を開けませんでした。")))
                << message.toStdString();
            EXPECT_TRUE(message.contains(reason)) << message.toStdString();
            EXPECT_EQ(card.getTotal(), 2);
            EXPECT_EQ(card.getFileName(), QStringLiteral("deck.krv"));
            EXPECT_EQ(Utf8Item(card, 2, 2), "cat");
        }
    }
}

TEST_F(FileCommandsTest, AnAppendPastTheLargestDeckIsRefused) {
    std::vector<CardText> cards(MaxCards, CardText{"a", "b"});
    const QString full = WriteDeckFile(QStringLiteral("full.krv"), cards);
    frmCard& card = Opened(full);
    ASSERT_EQ(card.getTotal(), MaxCards);
    ChooseForOpen(WriteCsvFile(QStringLiteral("one.csv"), {{"c", "d"}}));
    EXPECT_FALSE(card.FileOpen(true));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(QStringLiteral("one.csv\r\n")));
    EXPECT_EQ(card.getTotal(), MaxCards);
    EXPECT_EQ(card.getFileName(), QStringLiteral("full.krv"));
}

TEST_F(FileCommandsTest, SaveDialogStartsFromTheNameWithoutEndingAndTheWindowTakesTheNewName) {
    frmCard& card = Opened(WriteCsvFile(QStringLiteral("words.csv"), Words));
    const QString target = dir.filePath(QStringLiteral("words.krv"));
    ChooseForSave(target);
    card.getDocument().setEditedFlag(true);
    EXPECT_TRUE(card.NewFileSave());

    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].fileName, QStringLiteral("words"));
    EXPECT_EQ(dialogs.saveRequests[0].filter, SaveFilter);
    EXPECT_EQ(dialogs.saveRequests[0].flags, 0x806);
    // A word list's deck is offered as .korva; the user picked .krv.
    EXPECT_EQ(dialogs.saveRequests[0].defaultExt, QStringLiteral(".korva"));
    EXPECT_EQ(dialogs.saveRequests[0].selectedFilter, platform::SaveFilterKorva);
    EXPECT_EQ(card.getFileName(), QStringLiteral("words.krv"));
    EXPECT_EQ(card.getFilePath(), target);
    EXPECT_FALSE(card.isCSVFile());
    EXPECT_FALSE(card.getEditedFlag());

    CardData saved;
    LoadCardFile(target.toStdString(), saved, false);
    EXPECT_EQ(saved.Items, card.getCardData().Items);
    EXPECT_EQ(saved.Modes.ViewKind, ViewAll);

    // A .krv deck is offered as .krv again.
    CancelSave();
    card.getSavePath();
    EXPECT_EQ(dialogs.saveRequests.back().defaultExt, QStringLiteral(".krv"));
    EXPECT_EQ(dialogs.saveRequests.back().selectedFilter, platform::SaveFilterKrv);
}

TEST_F(FileCommandsTest, ANameTooShortForAnEndingStartsTheSaveDialogWhole) {
    frmCard& card = MakeWindow(Words);
    for (const char* name : {"ab", "abc", ""}) {
        card.setFileName(QString::fromUtf8(name));
        CancelSave();
        EXPECT_EQ(card.getSavePath(), QStringLiteral("False"));
        ASSERT_FALSE(dialogs.saveRequests.empty()) << name;
        EXPECT_EQ(dialogs.saveRequests.back().fileName, QString::fromUtf8(name));
    }
    card.setFileName(QStringLiteral("abcd"));
    CancelSave();
    card.getSavePath();
    EXPECT_EQ(dialogs.saveRequests.back().fileName, QString());
    EXPECT_EQ(card.getFileName(), QStringLiteral("abcd"));
}

TEST_F(FileCommandsTest, ACancelledSaveWritesNothingAndKeepsTheEdit) {
    frmCard& card = Opened(WriteCsvFile(QStringLiteral("words.csv"), Words));
    card.getDocument().setEditedFlag(true);
    CancelSave();
    EXPECT_FALSE(card.NewFileSave());
    EXPECT_TRUE(card.getEditedFlag());
    EXPECT_EQ(card.getFilePath(), dir.filePath(QStringLiteral("words.csv")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("words.csv")});
}

TEST_F(FileCommandsTest, AFailedSaveIsReportedKeepsTheEditAndTheOldFile) {
    const QString path = WriteDeckFile(QStringLiteral("deck.krv"), Words);
    frmCard& card = Opened(path);
    const QByteArray before = ReadBytes(path);
    card.cmdOpen_Click();
    card.cmdCheck_Click();

    // A folder stands where the new file should go.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("taken.krv")));
    ChooseForSave(dir.filePath(QStringLiteral("taken.krv")));
    EXPECT_FALSE(card.NewFileSave());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(QStringLiteral("taken.krv\r\n")));
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("KORVA!!"));
    EXPECT_TRUE(card.getEditedFlag());
    EXPECT_EQ(card.getFilePath(), path);

    // The file it came from is as it was, and the window studies on.
    EXPECT_EQ(ReadBytes(path), before);
    card.cmdOpen_Click();
    card.cmdCheck_Click();
    EXPECT_EQ(card.lblCount->text(), QStringLiteral("1 / 2"));

    EXPECT_TRUE(card.FileSave());
    EXPECT_FALSE(card.getEditedFlag());
    EXPECT_NE(ReadBytes(path), before);
}

TEST_F(FileCommandsTest, AFailedOverwriteLeavesTheFileOnDisk) {
    const QString path = WriteDeckFile(QStringLiteral("deck.krv"), Words);
    frmCard& card = Opened(path);
    card.setFilePath(dir.filePath(QStringLiteral("missing/deck.krv")));
    card.getDocument().setEditedFlag(true);
    EXPECT_FALSE(card.FileSave());
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(card.getEditedFlag());
}

namespace {

ssize_t FullDisk(int /*fd*/, const void* /*data*/, std::size_t /*size*/) {
    errno = ENOSPC;
    return -1;
}

}  // namespace

TEST_F(FileCommandsTest, AnOverwriteOnAFullDiskSaysWhyAndKeepsTheEditAndTheFile) {
    const QString path = WriteDeckFile(QStringLiteral("deck.krv"), Words);
    frmCard& card = Opened(path);
    const QByteArray before = ReadBytes(path);
    card.cmdOpen_Click();
    card.cmdCheck_Click();
    setWriteCall(&FullDisk);
    EXPECT_FALSE(card.FileSave());
    setWriteCall(nullptr);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.endsWith(
        QStringLiteral("（%1）。").arg(QString::fromLocal8Bit(std::strerror(ENOSPC)))));
    EXPECT_TRUE(card.getEditedFlag());
    EXPECT_EQ(ReadBytes(path), before);
}

TEST_F(FileCommandsTest, IsFilePathFindsOnlyExistingFiles) {
    frmCard& card = MakeWindow(Words);
    EXPECT_FALSE(card.isFilePath());
    card.setFilePath(WriteBytes(QStringLiteral("note.txt"), "x"));
    EXPECT_TRUE(card.isFilePath());
    card.setFilePath(dir.path());
    EXPECT_FALSE(card.isFilePath());
    card.setFilePath(dir.filePath(QStringLiteral("nothing.krv")));
    EXPECT_FALSE(card.isFilePath());
}

// Whole files by their names' bytes, which QFile would decode.
std::string FileBytesAt(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void PutFileBytes(const std::string& path, const QByteArray& bytes) {
    std::ofstream(path, std::ios::binary) << bytes.toStdString();
}

TEST_F(FileCommandsTest, NamesInAnyEncodingOpenAndSaveExactlyTheFilesNamed) {
    const QByteArray words = ReadBytes(WriteDeckFile(QStringLiteral("words.krv"), Words));
    for (const ByteName& name : ByteNames) {
        QTemporaryDir folder;
        const std::string base = folder.path().toStdString() + "/";
        const std::string krv = name.stem + ".krv";
        const std::string copy = name.stem + "-2.krv";
        PutFileBytes(base + krv, words);
        // What a lossy decoding of the name would reach instead.
        PutFileBytes(base + LossyName(krv), "decoy");

        window = std::make_unique<frmCard>(dialogs, host);
        ASSERT_TRUE(window->FileOpenFrom(PathToText(base + krv))) << name.label;
        window->Start();
        EXPECT_EQ(window->getTotal(), 2) << name.label;
        EXPECT_EQ(window->getFileName(), QFile::decodeName(QByteArray::fromStdString(krv))) << name.label;
        window->cmdOpen_Click();
        window->cmdCheck_Click();
        EXPECT_TRUE(window->FileSave()) << name.label;
        CardData saved;
        LoadCardFile(base + krv, saved, false);
        EXPECT_EQ(saved.Checks, window->getCardData().Checks) << name.label;

        ChooseForSave(PathToText(base + copy));
        EXPECT_TRUE(window->NewFileSave()) << name.label;
        EXPECT_EQ(FileBytesAt(base + copy), FileBytesAt(base + krv)) << name.label;
        EXPECT_EQ(FileBytesAt(base + LossyName(krv)), "decoy") << name.label;
        std::vector<std::string> expected = {copy, krv, LossyName(krv)};
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(FolderBytes(base), expected) << name.label;
        EXPECT_TRUE(dialogs.messages.empty()) << name.label;
    }
}

namespace {

const QString ChangedQuestion =
    QStringLiteral("deck.krv は、このウィンドウで開いた後に変更されています。上書きしますか。");

void SetModified(const QString& path, const QDateTime& time) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.setFileTime(time, QFileDevice::FileModificationTime));
}

}  // namespace

// Two windows on one deck: the second to save is asked before it replaces
// the first one's marks; No goes on to the save dialog and leaves the file,
// Yes replaces it, and then the first window is the one asked.
TEST_F(FileCommandsTest, ASaveOverTheSaveOfAnotherWindowAsksFirst) {
    const QString path = WriteDeckFile(QStringLiteral("deck.krv"), Words);
    frmCard& first = Opened(path);
    frmCard second(dialogs, host);
    ChooseForOpen(path);
    ASSERT_TRUE(second.FileOpen(false));
    second.Start();
    first.cmdOpen_Click();
    first.cmdCheck_Click();
    second.mnuFunctionReversalAll_Click();

    first.mnuFileSave_Click();
    EXPECT_TRUE(dialogs.messages.empty());
    const QByteArray firstSaved = ReadBytes(path);
    dialogs.messageAnswers = {platform::MessageResult::No};
    CancelSave();
    second.mnuFileSave_Click();
    ASSERT_EQ(dialogs.messages.size(), 1U);
    EXPECT_EQ(dialogs.messages[0].text, ChangedQuestion);
    EXPECT_EQ(dialogs.messages[0].buttons, platform::MessageButtons::YesNoDefaultNo);
    EXPECT_EQ(dialogs.saveRequests.size(), 1U);
    EXPECT_EQ(ReadBytes(path), firstSaved);
    EXPECT_TRUE(second.getEditedFlag());

    dialogs.messageAnswers = {platform::MessageResult::Yes};
    second.mnuFileSave_Click();
    EXPECT_EQ(dialogs.messages.size(), 2U);
    EXPECT_FALSE(second.getEditedFlag());
    CardData saved;
    LoadCardFile(path.toStdString(), saved, false);
    EXPECT_EQ(saved.QuestionItems[1], 2);
    EXPECT_EQ(saved.Checks[1][1], False16);

    first.cmdCheck_Click();
    dialogs.messageAnswers = {platform::MessageResult::No};
    CancelSave();
    first.mnuFileSave_Click();
    EXPECT_EQ(dialogs.messages.size(), 3U);
    EXPECT_EQ(dialogs.saveRequests.size(), 2U);
}

// A file written from outside since the window read it is not replaced
// unasked, whether its time tells at once or only its bytes do; one only
// touched is the same file, and one deleted is written anew.
TEST_F(FileCommandsTest, APlainSaveAsksWhenTheFileChangedSinceTheWindowReadIt) {
    CardData other = MakeDeck(Words);
    other.Checks[2][1] = True16;  // as long as the window's deck
    const auto rewrite = [&](const QString& path) {
        SaveCardFile(path.toStdString(), other);
    };
    const QDateTime longAgo = QDateTime::currentDateTime().addDays(-1);
    const struct {
        const char* what;
        bool seenLongAfterItsWrite;
        std::function<void(const QString&)> meanwhile;
        bool asks;
    } cases[] = {
        {"unchanged", false, [](const QString&) {}, false},
        {"unchanged, seen long after its write", true, [](const QString&) {}, false},
        {"rewritten, the same size", false, rewrite, true},
        {"rewritten, seen long after its write", true, rewrite, true},
        {"rewritten longer", false,
         [&](const QString& path) {
             WriteDeckFile(QFileInfo(path).fileName(), {{"a", "b"}, {"c", "d"}, {"e", "f"}});
         },
         true},
        {"touched, its bytes the same", true,
         [](const QString& path) { SetModified(path, QDateTime::currentDateTime()); }, false},
        {"deleted", false, [](const QString& path) { QFile::remove(path); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = WriteDeckFile(QStringLiteral("deck.krv"), Words);
        if (c.seenLongAfterItsWrite) {
            SetModified(path, longAgo);
        }
        frmCard& card = Opened(path);
        card.cmdOpen_Click();
        card.cmdCheck_Click();
        c.meanwhile(path);
        const QByteArray meanwhile = ReadBytes(path);
        dialogs.messages.clear();
        dialogs.saveRequests.clear();
        dialogs.messageAnswers = {platform::MessageResult::No};
        CancelSave();
        card.mnuFileSave_Click();

        EXPECT_EQ(dialogs.messages.size(), c.asks ? 1U : 0U);
        EXPECT_EQ(dialogs.saveRequests.size(), c.asks ? 1U : 0U);
        EXPECT_EQ(card.getEditedFlag(), c.asks);
        if (c.asks) {
            EXPECT_EQ(dialogs.messages[0].text, ChangedQuestion);
            EXPECT_EQ(ReadBytes(path), meanwhile);
        } else {
            CardData saved;
            LoadCardFile(path.toStdString(), saved, false);
            EXPECT_EQ(saved.Checks[1][1], True16);
        }
        dialogs.messageAnswers.clear();
        dialogs.saveAnswers.clear();
    }
}

namespace {

// The reads of one file, whoever makes them, as the kernel tells them: each
// close of the file opened without writing. The opens between keep two
// closes from being folded into one event.
class FileReads {
public:
    explicit FileReads(const QString& path) : Events_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        EXPECT_GE(::inotify_add_watch(Events_, QFile::encodeName(path).constData(), IN_OPEN | IN_CLOSE_NOWRITE), 0);
    }
    ~FileReads() { ::close(Events_); }
    FileReads(const FileReads&) = delete;
    FileReads& operator=(const FileReads&) = delete;

    int Count() {
        alignas(inotify_event) char buffer[4096];
        ssize_t n = 0;
        while ((n = ::read(Events_, buffer, sizeof buffer)) > 0) {
            for (const char* at = buffer; at < buffer + n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(at);
                Reads_ += (event->mask & IN_CLOSE_NOWRITE) != 0 ? 1 : 0;
                at += sizeof(inotify_event) + event->len;
            }
        }
        return Reads_;
    }

private:
    int Events_;
    int Reads_ = 0;
};

}  // namespace

// A deck or a list is read from disk once, and the file as that read found
// it is what a plain save replaces unasked: a write after the read, even
// one before the window is up, is a write since. A list's plain save goes to
// the save dialog, and its recovery copy keeps the fingerprint.
TEST_F(FileCommandsTest, AnOpenReadsTheFileOnceAndAWriteAfterThatReadIsOneSince) {
    CardData other = MakeDeck(Words);
    other.Checks[2][1] = True16;
    const struct {
        const char* name;
        QByteArray bytes;
        QByteArray rewritten;                    // as long, so only the bytes tell
        std::optional<WordListOptions> preview;  // none: no preview is shown
        bool asks;
    } cases[] = {
        {"deck.krv", QByteArray::fromStdString(WriteDeckRecord(MakeDeck(Words))),
         QByteArray::fromStdString(WriteDeckRecord(other)), std::nullopt, true},
        {"classic.csv", "dog,inu\r\ncat,neko\r\n", "dog,inu\r\ncat,neco\r\n", std::nullopt, false},
        {"tabs.tsv", "kanji\tmeaning\n山\tmountain\n", "kanji\tmeaning\n山\tmountaim\n", WordListOptions{}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString name = QString::fromUtf8(c.name);
        const QString path = WriteBytes(name, c.bytes);
        if (c.preview) {
            dialogs.previewAnswers.push_back(c.preview);
        }
        bool rewritten = false;
        const auto rewrite = [&] {
            WriteBytes(name, c.rewritten);
            rewritten = true;
        };
        dialogs.afterRead = rewrite;
        FileReads reads(path);
        frmCard& card = Opened(path);
        if (!rewritten) {
            rewrite();  // a deck is read in one call: right after it
        }
        EXPECT_EQ(reads.Count(), 1);
        EXPECT_EQ(card.getTotal(), 2);
        dialogs.afterRead = nullptr;

        dialogs.messages.clear();
        dialogs.saveRequests.clear();
        dialogs.messageAnswers = {platform::MessageResult::No};
        CancelSave();
        card.mnuFileSave_Click();
        ASSERT_EQ(dialogs.messages.size(), c.asks ? 1U : 0U);
        if (c.asks) {
            EXPECT_EQ(dialogs.messages[0].text, ChangedQuestion);
        }
        EXPECT_EQ(dialogs.saveRequests.size(), 1U);
        EXPECT_TRUE(card.getDocument().isFileWrittenSince());
        EXPECT_EQ(ReadBytes(path), c.rewritten);
        dialogs.messageAnswers.clear();
        dialogs.saveAnswers.clear();
    }
}

// A save in the other format names what it cannot carry over before it
// writes: No writes nothing, Yes writes the deck with those replaced.
TEST_F(FileCommandsTest, ASaveInTheOtherFormatNamesWhatItWouldLoseAndAsks) {
    KorvaDeck korean;
    korean.cards.Items = {{"", "", ""}, {"", "사과", "apple"}, {"", "猫", "cat"}};
    korean.cards.Checks = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
    korean.cards.QuestionItems = {1, 1, 1};
    korean.cards.Modes = ImportedModes;
    korean.cardIds = {0, 1, 2};
    korean.nextCardId = 3;
    CardData broken = MakeDeck(Words);
    broken.Items[2][2] = "\x81";  // a lead byte with nothing after it
    const struct {
        const char* what;
        std::function<QString()> deck;
        const char* target;
        QString named;
        std::string savedItem;  // card 1's item 1 (or card 2's item 2) as written
    } cases[] = {
        {"a Korean deck as .krv",
         [&] {
             const QString path = dir.filePath(QStringLiteral("korean.korva"));
             SaveKorvaFile(path.toStdString(), korean);
             return path;
         },
         "korean.krv", QStringLiteral("・1枚目の項目1: 「사」"), "\x81\xAC\x81\xAC"},  // 〓〓
        {"a code page 932 deck with a broken byte as .korva",
         [&] {
             const QString path = dir.filePath(QStringLiteral("broken.krv"));
             SaveCardFile(path.toStdString(), broken);
             return path;
         },
         "broken.korva", QStringLiteral("・2枚目の項目2: バイト 81"), "\xEF\xBF\xBD"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        frmCard& card = Opened(c.deck());
        const QString target = dir.filePath(QString::fromUtf8(c.target));
        for (const auto answer : {platform::MessageResult::No, platform::MessageResult::Yes}) {
            dialogs.messages.clear();
            ChooseForSave(target);
            dialogs.messageAnswers = {answer};
            EXPECT_EQ(card.NewFileSave(), answer == platform::MessageResult::Yes);
            ASSERT_EQ(dialogs.messages.size(), 1U);
            EXPECT_TRUE(dialogs.messages[0].text.contains(c.named)) << dialogs.messages[0].text.toStdString();
            EXPECT_EQ(QFileInfo::exists(target), answer == platform::MessageResult::Yes);
        }
        const bool krv = QString::fromUtf8(c.target).endsWith(QStringLiteral(".krv"));
        const CardData saved = krv ? [&] {
            CardData read;
            LoadCardFile(target.toStdString(), read, false);
            return read;
        }()
                                   : LoadKorvaFile(target.toStdString()).cards;
        EXPECT_EQ(krv ? saved.Items[1][1] : saved.Items[2][2], c.savedItem);
        EXPECT_EQ(card.getFilePath(), target);
    }
}
