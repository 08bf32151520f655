// Where the program keeps its files: portable beside itself, installed in the
// user's configuration folder; folder names are bytes, not text.
#include <cstdio>

#include <sys/stat.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "shell/Environment.h"
#include "shell/ProgramLayout.h"

namespace korva {
namespace {

class ProgramLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        root = QFile::encodeName(dir.path());
    }
    void TearDown() override {
        Restore("HOME", home);
        Restore("XDG_CONFIG_HOME", configHome);
    }
    void MakeFolder(const QByteArray& relative) { ASSERT_TRUE(QDir().mkpath(QFile::decodeName(root + relative))); }
    static void Restore(const char* name, const QByteArray& value) {
        if (value.isNull()) {
            qunsetenv(name);
        } else {
            qputenv(name, value);
        }
    }

    QTemporaryDir dir;
    QByteArray root;
    const QByteArray home = qgetenv("HOME");
    const QByteArray configHome =
        qEnvironmentVariableIsSet("XDG_CONFIG_HOME") ? qgetenv("XDG_CONFIG_HOME") : QByteArray();
};

TEST_F(ProgramLayoutTest, InstalledOnlyInBinWithShareKorvaBesideOtherwisePortable) {
    for (const char* folder : {"/usr/bin", "/usr/share/korva", "/build/bin", "/unpacked/share/korva"}) {
        MakeFolder(folder);
    }
    const struct {
        const char* folder;
        bool installed;
    } cases[] = {{"/usr/bin", true}, {"/build/bin", false}, {"/unpacked", false}, {"/usr/share/korva", false}};
    for (const auto& c : cases) {
        const ProgramLayout layout = LayoutOf(root + c.folder);
        EXPECT_EQ(layout.installed, c.installed) << c.folder;
        if (c.installed) {
            continue;
        }
        EXPECT_EQ(EnvironmentFolder(layout), root + c.folder);
        EXPECT_EQ(HelpAddress(layout), dir.path() + c.folder + QStringLiteral("/help/index.html"));
    }
}

TEST_F(ProgramLayoutTest, InstalledCopyUsesTheConfigurationFolderAndShare) {
    MakeFolder("/usr/bin");
    MakeFolder("/usr/share/korva");
    const ProgramLayout layout = LayoutOf(root + "/usr/bin");
    EXPECT_EQ(HelpAddress(layout), dir.path() + QStringLiteral("/usr/share/korva/help/index.html"));

    // A relative XDG_CONFIG_HOME is ignored; the folders are created.
    qputenv("HOME", root + "/home");
    qputenv("XDG_CONFIG_HOME", "relative/config");
    EXPECT_EQ(EnvironmentFolder(layout), root + "/home/.config/korva");
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("home/.config/korva"))).isDir());

    qputenv("XDG_CONFIG_HOME", root + "/xdg");
    EXPECT_EQ(EnvironmentFolder(layout), root + "/xdg/korva");
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("xdg/korva"))).isDir());

    // A file where the folder should be is the start-up error, not a crash.
    qputenv("XDG_CONFIG_HOME", root + "/xdg/korva/blocked");
    QFile blocker(dir.filePath(QStringLiteral("xdg/korva/blocked")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    EXPECT_THROW(EnvironmentFolder(layout), EnvironmentError);
    qunsetenv("XDG_CONFIG_HOME");
    qunsetenv("HOME");
    EXPECT_THROW(EnvironmentFolder(layout), EnvironmentError);
}

TEST_F(ProgramLayoutTest, FolderNamesThatAreNotTextStillWork) {
    const QByteArray folder = root + "/d\xff\xfe";
    ASSERT_EQ(::mkdir(folder.constData(), 0700), 0);
    const ProgramLayout layout = LayoutOf(folder);
    EXPECT_EQ(HelpAddress(layout), QStringLiteral("file://") + dir.path() + QStringLiteral("/d%FF%FE/help/index.html"));

    InitEnvironment(EnvironmentFolder(layout));
    LoadEnvironment();
    SaveEnvironment();
    std::FILE* kfg = std::fopen(QByteArray(folder + "/environment.kfg").constData(), "rb");
    ASSERT_NE(kfg, nullptr);
    QFile file;
    ASSERT_TRUE(file.open(kfg, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle));
    EXPECT_EQ(file.readAll(), QByteArray("\0\0", 2));
}

TEST(ProgramFolder, IsTheFolderOfTheRunningExecutable) {
    const QByteArray folder = FindProgramFolder();
    ASSERT_TRUE(folder.startsWith('/'));
    EXPECT_TRUE(QFile::exists(QFile::decodeName(folder) + QStringLiteral("/korva_environment_tests")));
}

}  // namespace
}  // namespace korva
