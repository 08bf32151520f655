// Whole files in and out: a disk that fills part-way through a write, and a
// file that cannot be read, reach the caller with the system's reason, and
// the file on disk is left as it was.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <functional>

#include <QDir>

#include <gtest/gtest.h>

#include "deck/DeckError.h"
#include "deck/FileBytes.h"
#include "deck/WriteCall.h"
#include "tests/deck/DeckTestSupport.h"

namespace korva {
namespace {

// One call of the write: fails with error, or writes at most `most` bytes.
struct WriteStep {
    std::size_t most;
    int error;
};

std::deque<WriteStep> Script;

// Follows Script, then writes as the system does.
ssize_t ScriptedWrite(int fd, const void* data, std::size_t size) {
    if (Script.empty()) {
        return ::write(fd, data, size);
    }
    const WriteStep step = Script.front();
    Script.pop_front();
    if (step.error != 0) {
        errno = step.error;
        return -1;
    }
    return ::write(fd, data, std::min(size, step.most));
}

class ScriptedDisk {
public:
    explicit ScriptedDisk(std::deque<WriteStep> steps) {
        Script = std::move(steps);
        setWriteCall(&ScriptedWrite);
    }
    ~ScriptedDisk() {
        setWriteCall(nullptr);
        Script.clear();
    }
    ScriptedDisk(const ScriptedDisk&) = delete;
    ScriptedDisk& operator=(const ScriptedDisk&) = delete;
};

std::string Reason(int error) { return QString::fromLocal8Bit(std::strerror(error)).toStdString(); }

TEST(FileBytesWrite, AFailingDiskLeavesTheOldFileWholeAndTellsWhy) {
    const std::string old = "the old file, which must survive";
    const std::string record(4000, 'r');
    const std::deque<WriteStep> inPieces(record.size() / 7 + 1, WriteStep{7, 0});
    struct Case {
        const char* name;
        std::deque<WriteStep> steps;
        int error;  // 0: the write succeeds
    };
    const std::vector<Case> cases = {
        {"full at once", {{0, ENOSPC}}, ENOSPC},
        {"short, then full", {{1000, 0}, {0, ENOSPC}}, ENOSPC},
        {"short, then nothing written", {{1000, 0}, {0, 0}}, ENOSPC},
        {"short, then an I/O error", {{1000, 0}, {0, EIO}}, EIO},
        {"over quota", {{0, EDQUOT}}, EDQUOT},
        {"interrupted, then in small pieces",
         [&] {
             std::deque<WriteStep> steps = inPieces;
             steps.push_front({0, EINTR});
             return steps;
         }(),
         0},
    };
    for (const Case& c : cases) {
        test::TempFolder dir;
        const std::string path = dir.Path("d.krv");
        test::WriteBytes(path, old);
        try {
            const ScriptedDisk disk(c.steps);
            WriteFileAtomically(path, record);
            EXPECT_EQ(c.error, 0) << c.name << ": reported success";
        } catch (const DeckError& error) {
            EXPECT_EQ(error.what(), "ファイルに書き込めません（" + Reason(c.error) + "）。") << c.name;
        }
        EXPECT_EQ(test::ReadBytes(path), c.error == 0 ? record : old) << c.name;
        // No temporary file is left beside it.
        EXPECT_EQ(QDir(QString::fromStdString(dir.Path(""))).entryList(QDir::Files | QDir::Hidden),
                  QStringList{QStringLiteral("d.krv")})
            << c.name;
    }
}

TEST(FileBytesReasons, AFileThatCannotBeOpenedOrWrittenSaysWhy) {
    test::TempFolder dir;
    const std::vector<std::pair<std::function<void()>, std::string>> cases = {
        {[&] { ReadFileBytes(dir.Path("missing.krv")); }, "ファイルを開けません（" + Reason(ENOENT) + "）。"},
        {[&] { WriteFileAtomically(dir.Path("no/such/d.krv"), "x"); }, "ファイルに書き込めません（"},
    };
    for (const auto& [action, start] : cases) {
        try {
            action();
            ADD_FAILURE() << start;
        } catch (const DeckError& error) {
            EXPECT_EQ(std::string(error.what()).rfind(start, 0), 0u) << error.what();
        }
    }
}

}  // namespace
}  // namespace korva
