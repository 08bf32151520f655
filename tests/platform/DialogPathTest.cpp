// A name the file dialog shows lossily is taken back to the one file it
// stands for, by the folder's bytes.
#include <sys/stat.h>

#include <fstream>

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "deck/PathText.h"
#include "platform/DialogPath.h"
#include "tests/support/ByteNames.h"

namespace korva::platform {
namespace {

QString Shown(const std::string& bytes) { return QFile::decodeName(QByteArray::fromStdString(bytes)); }

TEST(DialogPath, AShownNameResolvesToTheOneFileShownSoOrToNone) {
    QTemporaryDir dir;
    const std::string base = dir.path().toStdString() + "/";
    const std::string folder = "d\xe9j\xe0";  // a folder not in UTF-8 either
    ::mkdir((base + folder).c_str(), 0700);
    for (const std::string name : {"caf\xe9.krv", "x\xe8.krv", "x\xe9.krv", "\x92\x50\x8c\xea.krv", "plain.krv"}) {
        std::ofstream(base + folder + "/" + name) << name;
    }
    struct Case {
        const char* name;
        std::string shownBytes;  // what the dialog shows, as bytes before the lossy decoding
        bool newFile;
        std::optional<std::string> path;  // the bytes resolved to
    };
    const std::vector<Case> cases = {
        {"Latin-1", folder + "/caf\xe9.krv", false, folder + "/caf\xe9.krv"},
        {"code page 932", folder + "/\x92\x50\x8c\xea.krv", false, folder + "/\x92\x50\x8c\xea.krv"},
        {"UTF-8 as it is", folder + "/plain.krv", false, folder + "/plain.krv"},
        {"two files shown alike", folder + "/x\xe9.krv", false, std::nullopt},
        {"no such file to open", folder + "/gone\xe9.krv", false, std::nullopt},
        {"a new file keeps the name typed", folder + "/new\xe9.krv", true, folder + "/new\xef\xbf\xbd.krv"},
        {"two files shown alike, saved over", folder + "/x\xe9.krv", true, std::nullopt},
    };
    EXPECT_TRUE(IsShownFolder(Shown(base + folder)));
    EXPECT_FALSE(IsShownFolder(Shown(base + folder + "/caf\xe9.krv")));
    for (const Case& c : cases) {
        const std::optional<QString> resolved = ResolveDialogPath(Shown(base + c.shownBytes), c.newFile);
        ASSERT_EQ(resolved.has_value(), c.path.has_value()) << c.name;
        // The save dialog asks before replacing exactly the files that exist.
        EXPECT_EQ(IsShownFile(Shown(base + c.shownBytes)), c.path && !c.newFile) << c.name;
        if (c.path) {
            EXPECT_EQ(TextToPath(*resolved), base + *c.path) << c.name;
        }
    }
}

}  // namespace
}  // namespace korva::platform
