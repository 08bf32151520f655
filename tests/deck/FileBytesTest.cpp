// Whole files in and out: a disk that fills part-way through a write, and a
// file that cannot be read, reach the caller with the system's reason, and
// the file on disk is left as it was.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>

#include <QDir>

#include <gtest/gtest.h>

#include "deck/DeckError.h"
#include "deck/DeckErrorText.h"
#include "deck/FileBytes.h"
#include "deck/FileInPlace.h"
#include "deck/WriteCall.h"
#include "tests/deck/DeckTestSupport.h"
#include "tests/support/ByteNames.h"

namespace korva {
namespace {

// The calls of the write, in order: each fails with error, or writes at most
// `most` bytes. Past the end, the system's own write.
struct WriteStep {
    std::size_t most;
    int error;
};
std::deque<WriteStep> Script;

ssize_t ScriptedWrite(int fd, const void* data, std::size_t size) {
    if (Script.empty()) {
        return ::write(fd, data, size);
    }
    const WriteStep step = Script.front();
    Script.pop_front();
    errno = step.error;
    return step.error != 0 ? -1 : ::write(fd, data, std::min(size, step.most));
}

std::string Reason(int error) { return QString::fromLocal8Bit(std::strerror(error)).toStdString(); }

TEST(FileBytesWrite, AFailingDiskLeavesTheOldFileWholeAndTellsWhy) {
    const std::string old = "the old file, which must survive";
    const std::string record(4000, 'r');
    struct Case {
        const char* name;
        std::deque<WriteStep> steps;
        int error;  // 0: the write succeeds
    };
    std::vector<Case> cases = {
        {"full at once", {{0, ENOSPC}}, ENOSPC},
        {"short, then full", {{1000, 0}, {0, ENOSPC}}, ENOSPC},
        {"short, then nothing written", {{1000, 0}, {0, 0}}, ENOSPC},
        {"short, then an I/O error", {{1000, 0}, {0, EIO}}, EIO},
        {"interrupted, then in small pieces", {{0, EINTR}}, 0},
    };
    cases.back().steps.insert(cases.back().steps.end(), record.size() / 7 + 1, WriteStep{7, 0});
    setWriteCall(&ScriptedWrite);
    for (const Case& c : cases) {
        test::TempFolder dir;
        test::WriteBytes(dir.Path("d.krv"), old);
        Script = c.steps;
        try {
            WriteFileAtomically(dir.Path("d.krv"), record);
            EXPECT_EQ(c.error, 0) << c.name << ": reported success";
        } catch (const DeckError& error) {
            EXPECT_EQ(DescribeDeckError(error), "ファイルに書き込めません（" + Reason(c.error) + "）。") << c.name;
        }
        EXPECT_EQ(test::ReadBytes(dir.Path("d.krv")), c.error == 0 ? record : old) << c.name;
        // No temporary file is left beside it.
        EXPECT_EQ(QDir(QString::fromStdString(dir.Path(""))).entryList(QDir::Files | QDir::Hidden),
                  QStringList{QStringLiteral("d.krv")})
            << c.name;
    }
    setWriteCall(nullptr);
}

// The kind of node at path, links not followed.
mode_t KindAt(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 ? info.st_mode & S_IFMT : 0;
}

TEST(FileBytesKinds, OnlyRegularFilesAreReadOrReplacedAndNoOtherNodeIsWaitedOnOrTouched) {
    // The device is reached only through a link, and refused before it is
    // opened for anything; the test never writes to it.
    struct Case {
        const char* name;
        const char* kind;  // as the message names it
        void (*make)(const std::string& path, const test::TempFolder& dir);
    };
    const std::vector<Case> cases = {
        {"a FIFO", "名前付きパイプ",
         [](const std::string& path, const test::TempFolder&) {
             ::mkfifo(path.c_str(), 0600);
         }},
        {"a link to a FIFO", "名前付きパイプ",
         [](const std::string& path, const test::TempFolder& dir) {
             ::mkfifo(dir.Path("pipe").c_str(), 0600);
             ASSERT_EQ(::symlink("pipe", path.c_str()), 0);
         }},
        {"a folder", "フォルダー",
         [](const std::string& path, const test::TempFolder&) {
             ::mkdir(path.c_str(), 0700);
         }},
        {"a link to a device", "デバイス",
         [](const std::string& path, const test::TempFolder&) {
             ASSERT_EQ(::symlink("/dev/null", path.c_str()), 0);
         }},
    };
    for (const Case& c : cases) {
        test::TempFolder dir;
        const std::string path = dir.Path("d.krv");
        c.make(path, dir);
        const mode_t kind = KindAt(path);
        const std::string why = std::string("（通常のファイルではなく、") + c.kind + "です）。";
        for (const bool write : {false, true}) {
            std::string message;
            try {
                if (write) {
                    WriteFileAtomically(path, "record");
                } else {
                    ReadFileBytes(path);
                }
            } catch (const DeckError& error) {
                message = DescribeDeckError(error);
            }
            EXPECT_EQ(message, (write ? "ファイルに書き込めません" : "ファイルを開けません") + why) << c.name;
        }
        EXPECT_EQ(KindAt(path), kind) << c.name;
        // Nothing made beside it.
        std::vector<std::string> expected = {"d.krv"};
        if (KindAt(dir.Path("pipe")) != 0) {
            expected.emplace_back("pipe");
        }
        EXPECT_EQ(test::FolderBytes(dir.Path("")), expected) << c.name;
    }
}

// The reservation's answer, for each call in turn; past the end, the system's.
std::deque<int> ReserveScript;

int ScriptedReserve(int fd, off_t offset, off_t length) {
    if (ReserveScript.empty()) {
        return ::fallocate(fd, 0, offset, length) == 0 ? 0 : errno;
    }
    const int error = ReserveScript.front();
    ReserveScript.pop_front();
    return error;
}

TEST(FileBytesInPlace, AFullDiskIsFoundBeforeTheOldBytesAreTouchedAndAFailedWriteIsUndone) {
    const std::string old(3000, 'o');
    struct Case {
        const char* name;
        std::string record;
        std::deque<int> reserve;
        std::deque<WriteStep> writes;
        std::string message;  // empty: written
    };
    const std::string full = "ファイルに書き込めません（" + Reason(ENOSPC) + "）。";
    const std::vector<Case> cases = {
        {"longer", std::string(5000, 'n'), {}, {}, ""},
        {"shorter", "short", {}, {}, ""},
        {"empty", "", {}, {}, ""},
        {"no room to reserve", std::string(5000, 'n'), {ENOSPC}, {}, full},
        {"a file system that cannot reserve",
         std::string(5000, 'n'),
         {EOPNOTSUPP},
         {},
         "ファイルに書き込めません（このフォルダーには新しいファイルを作れず、このファイルシステムでは上書きする前に"
         "場所を確保できないため、途中で失敗したときにファイルが壊れないよう保存しません）。"},
        {"a write that fails after the reservation",
         std::string(5000, 'n'),
         {},
         {{1000, 0}, {0, EIO}},
         "ファイルに書き込めません（" + Reason(EIO) + "）。元の内容に戻しました。"},
        {"a write of nothing after the reservation", "shorter", {}, {{3, 0}, {0, 0}}, full + "元の内容に戻しました。"},
    };
    setWriteCall(&ScriptedWrite);
    setReserveCall(&ScriptedReserve);
    for (const Case& c : cases) {
        test::TempFolder dir;
        test::WriteBytes(dir.Path("d.krv"), old);
        ReserveScript = c.reserve;
        Script = c.writes;
        std::string message;
        try {
            WriteFileInPlace(dir.Path("d.krv"), c.record);
        } catch (const DeckError& error) {
            message = DescribeDeckError(error);
        }
        EXPECT_EQ(message, c.message) << c.name;
        EXPECT_EQ(test::ReadBytes(dir.Path("d.krv")), c.message.empty() ? c.record : old) << c.name;
        EXPECT_EQ(test::FolderBytes(dir.Path("")), std::vector<std::string>{"d.krv"}) << c.name;
        EXPECT_TRUE(Script.empty() && ReserveScript.empty()) << c.name << ": a step was not reached";
    }
    setWriteCall(nullptr);
    setReserveCall(nullptr);
}

TEST(FileBytesReasons, AFileThatCannotBeOpenedSaysWhy) {
    test::TempFolder dir;
    std::string message;
    try {
        ReadFileBytes(dir.Path("missing.krv"));
    } catch (const DeckError& error) {
        message = DescribeDeckError(error);
    }
    EXPECT_EQ(message, "ファイルを開けません（" + Reason(ENOENT) + "）。");
}

}  // namespace
}  // namespace korva
