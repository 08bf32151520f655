// The environment file: created on the first start, rewritten at every start
// and shutdown, never shortened, and tolerant of a damaged record.

#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "shell/Environment.h"
#include "shell/EnvironmentErrorText.h"

namespace korva {
namespace {

class EnvironmentFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        InitEnvironment(folder.path());
    }

    QString path() const { return folder.filePath(QStringLiteral("environment.kfg")); }

    void Write(const QByteArray& bytes) {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    QByteArray Read() const {
        QFile file(path());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }

    // What Main does at start-up, then the main window's unload.
    void StartAndShutDown() {
        LoadEnvironment();
        SaveEnvironment();
        SaveEnvironment();
    }

    QTemporaryDir folder;
};

TEST_F(EnvironmentFileTest, PathIsTheFolderJoinedWithTheFileName) {
    EXPECT_EQ(getEnvironmentFile(), path());
    InitEnvironment(QStringLiteral("/"));
    EXPECT_EQ(getEnvironmentFile(), QStringLiteral("/environment.kfg"));
}

TEST_F(EnvironmentFileTest, FirstStartCreatesExactlyTwoZeroBytes) {
    ASSERT_FALSE(QFile::exists(path()));
    LoadEnvironment();
    EXPECT_TRUE(QFile::exists(path()));
    EXPECT_TRUE(getEnvironment().FolderPath.isEmpty());
    SaveEnvironment();
    EXPECT_EQ(Read(), QByteArray("\0\0", 2));
}

TEST_F(EnvironmentFileTest, WellFormedFilesComeBackByteForByte) {
    const QByteArray shiftJis("\x93\xfa\x96\x7b\x8c\xea", 6);  // 日本語 in code page 932
    const QByteArray notDecodable("\x81\xff\x80", 3);
    const QByteArray cases[] = {
        QByteArray("\0\0", 2),
        QByteArray("\x05\x00"
                   "C:\\ab",
                   7),
        QByteArray("\x06\x00", 2) + shiftJis,
        QByteArray("\x03\x00", 2) + notDecodable,
        // Bytes after the record belong to nobody and stay.
        QByteArray("\x02\x00"
                   "ab"
                   "trailing\0bytes",
                   18),
        QByteArray("\0\0"
                   "\x07\x00"
                   "rest",
                   8),
    };
    for (const QByteArray& bytes : cases) {
        Write(bytes);
        StartAndShutDown();
        EXPECT_EQ(Read(), bytes) << bytes.toHex().toStdString();
    }
}

TEST_F(EnvironmentFileTest, TextIsReadAsItsBytes) {
    Write(
        QByteArray("\x04\x00"
                   "\x83\x65\x83\x58"
                   "xyz",
                   9));
    LoadEnvironment();
    EXPECT_EQ(getEnvironment().FolderPath, QByteArray("\x83\x65\x83\x58", 4));
}

TEST_F(EnvironmentFileTest, LengthCountIsUnsigned) {
    QByteArray bytes("\x00\x80", 2);  // 32,768 bytes of text
    bytes += QByteArray(0x8000, 'p');
    bytes += "tail";
    Write(bytes);
    LoadEnvironment();
    EXPECT_EQ(getEnvironment().FolderPath.size(), 0x8000);
    SaveEnvironment();
    EXPECT_EQ(Read(), bytes);
}

TEST_F(EnvironmentFileTest, EmptyFileReadsAsEmptyRecord) {
    Write(QByteArray());
    LoadEnvironment();
    EXPECT_TRUE(getEnvironment().FolderPath.isEmpty());
    SaveEnvironment();
    EXPECT_EQ(Read(), QByteArray("\0\0", 2));
}

// A damaged record reads as an empty FolderPath; the save then writes the two
// count bytes over the start of the file and keeps everything after them, so
// the file is never shorter than before.
TEST_F(EnvironmentFileTest, DamagedFileReadsEmptyAndIsNeverShortened) {
    struct Case {
        QByteArray before;
        QByteArray after;
    };
    const Case cases[] = {
        {QByteArray("\x41", 1), QByteArray("\0\0", 2)},
        {QByteArray("\x05\x00"
                    "abc",
                    5),
         QByteArray("\0\0"
                    "abc",
                    5)},
        {QByteArray("\xff\xff"
                    "x",
                    3),
         QByteArray("\0\0"
                    "x",
                    3)},
        {QByteArray("\x01\x00", 2), QByteArray("\0\0", 2)},
    };
    for (const Case& c : cases) {
        Write(c.before);
        LoadEnvironment();
        EXPECT_TRUE(getEnvironment().FolderPath.isEmpty()) << c.before.toHex().toStdString();
        SaveEnvironment();
        EXPECT_EQ(Read(), c.after) << c.before.toHex().toStdString();
        // From then on the record is well formed and stays as it is.
        StartAndShutDown();
        EXPECT_EQ(Read(), c.after) << c.before.toHex().toStdString();
    }
}

TEST_F(EnvironmentFileTest, ReloadForgetsTheEarlierText) {
    Write(
        QByteArray("\x03\x00"
                   "abc",
                   5));
    LoadEnvironment();
    ASSERT_EQ(getEnvironment().FolderPath, QByteArray("abc"));
    Write(QByteArray());
    LoadEnvironment();
    EXPECT_TRUE(getEnvironment().FolderPath.isEmpty());
}

TEST_F(EnvironmentFileTest, AFolderOrAPipeInsteadOfTheFileIsAnErrorAtOnce) {
    // Fails for every user, root included; a pipe is never waited on.
    const QByteArray path = QFile::encodeName(this->path());
    const std::vector<std::pair<const char*, bool (*)(const QByteArray&)>> cases = {
        {"フォルダー",
         [](const QByteArray& p) {
             return ::mkdir(p.constData(), 0700) == 0;
         }},
        {"名前付きパイプ",
         [](const QByteArray& p) {
             return ::mkfifo(p.constData(), 0600) == 0;
         }},
    };
    for (const auto& [kind, make] : cases) {
        ::rmdir(path.constData());
        ::unlink(path.constData());
        ASSERT_TRUE(make(path)) << kind;
        for (void (*step)() : {&LoadEnvironment, &SaveEnvironment}) {
            try {
                step();
                ADD_FAILURE() << kind << ": read or written";
            } catch (const EnvironmentError& error) {
                EXPECT_TRUE(DescribeEnvironmentError(error).contains(QString::fromUtf8(kind)))
                    << DescribeEnvironmentError(error).toStdString();
            }
        }
    }
}

// Each kind's fields make the line the user has always read under the
// start-up or closing message.
TEST(EnvironmentErrorText, WordsEveryKindAsTheUserReadsIt) {
    using K = EnvironmentErrorKind;
    const QString file = QStringLiteral("/opt/korva/environment.kfg");
    const struct {
        EnvironmentErrorDetail detail;
        QString sentence;
    } cases[] = {
        {{.kind = K::ProgramFolderUnknown, .reason = QStringLiteral("File name too long")},
         QStringLiteral("プログラムのフォルダーが分かりません（File name too long）")},
        {{.kind = K::ProgramFolderGone,
          .path = QStringLiteral("/opt/korva/korva"),
          .reason = QStringLiteral("No such file or directory")},
         QStringLiteral("プログラムのフォルダーが分かりません: /opt/korva/korva（No such file or directory）")},
        {{.kind = K::UserFolder, .folder = {.kind = FolderErrorKind::NoHome, .folder = UserFolder::Configuration}},
         QStringLiteral("HOME が設定されていないため、設定フォルダーが分かりません")},
        {{.kind = K::CannotOpen, .path = file, .reason = QStringLiteral("Permission denied")},
         file + QStringLiteral(": Permission denied")},
        {{.kind = K::CannotOpen, .path = file, .cause = FileCause::Socket},
         file + QStringLiteral(": 通常のファイルではなく、ソケットです")},
        {{.kind = K::CannotRead, .path = file, .reason = QStringLiteral("Input/output error")},
         file + QStringLiteral(": read (Input/output error)")},
        {{.kind = K::CannotWrite, .path = file, .reason = QStringLiteral("No space left on device")},
         file + QStringLiteral(": write (No space left on device)")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DescribeEnvironmentError(EnvironmentError(c.detail)), c.sentence);
    }
}

TEST_F(EnvironmentFileTest, MissingFolderIsAnError) {
    InitEnvironment(folder.filePath(QStringLiteral("no/such/folder")));
    EXPECT_THROW(LoadEnvironment(), EnvironmentError);
}

}  // namespace
}  // namespace korva
