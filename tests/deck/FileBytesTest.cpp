// Whole files in and out: a disk that fills part-way through a write, and a
// file that cannot be read, reach the caller with the system's reason, and
// the file on disk is left as it was.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>

#include <QDir>

#include <gtest/gtest.h>

#include "deck/DeckError.h"
#include "deck/FileBytes.h"
#include "deck/WriteCall.h"
#include "tests/deck/DeckTestSupport.h"

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
            EXPECT_EQ(error.what(), "ファイルに書き込めません（" + Reason(c.error) + "）。") << c.name;
        }
        EXPECT_EQ(test::ReadBytes(dir.Path("d.krv")), c.error == 0 ? record : old) << c.name;
        // No temporary file is left beside it.
        EXPECT_EQ(QDir(QString::fromStdString(dir.Path(""))).entryList(QDir::Files | QDir::Hidden),
                  QStringList{QStringLiteral("d.krv")})
            << c.name;
    }
    setWriteCall(nullptr);
}

TEST(FileBytesReasons, AFileThatCannotBeOpenedSaysWhy) {
    test::TempFolder dir;
    std::string message;
    try {
        ReadFileBytes(dir.Path("missing.krv"));
    } catch (const DeckError& error) {
        message = error.what();
    }
    EXPECT_EQ(message, "ファイルを開けません（" + Reason(ENOENT) + "）。");
}

}  // namespace
}  // namespace korva
