// The recovery store at start: a state folder the program may not use turns
// the copies off, and the user is told once, with the reason.
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "shell/RecoveryStart.h"
#include "tests/support/FakeDialogs.h"
#include "tests/support/TextFit.h"

namespace korva {
namespace {

class RecoveryStartTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        qputenv("XDG_STATE_HOME", QFile::encodeName(dir.path()));
    }
    void TearDown() override {
        if (stateHome.isNull()) {
            qunsetenv("XDG_STATE_HOME");
        } else {
            qputenv("XDG_STATE_HOME", stateHome);
        }
    }

    QString Root() const { return dir.filePath(QStringLiteral("korva")); }

    QTemporaryDir dir;
    test::FakeDialogs dialogs;
    const QByteArray stateHome = qEnvironmentVariableIsSet("XDG_STATE_HOME") ? qgetenv("XDG_STATE_HOME") : QByteArray();
};

TEST_F(RecoveryStartTest, AFolderOthersMayWriteInTurnsTheCopiesOffAndTheUserIsToldOnce) {
    EXPECT_NE(OpenRecoveryStore(dialogs), nullptr);
    EXPECT_TRUE(dialogs.messages.empty());

    ASSERT_TRUE(QDir(Root()).removeRecursively() && QDir().mkdir(Root()));
    ASSERT_EQ(::chmod(QFile::encodeName(Root()).constData(), 0777), 0);
    EXPECT_EQ(OpenRecoveryStore(dialogs), nullptr);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    const test::FakeDialogs::MessageCall& message = dialogs.messages[0];
    EXPECT_EQ(message.text, QStringLiteral("復元用のコピーを保存できません（%1 は使えません（ほかのユーザーも書き込める"
                                           "フォルダーです））。\r\n保存するまでの変更は、異常終了すると失われます。")
                                .arg(Root()));
    EXPECT_TRUE(QDir(Root()).isEmpty());
    for (const int points : test::DesktopPointSizes) {
        const test::DesktopFont desktop(points);
        EXPECT_EQ(test::MessageBoxMisfits(message.text, message.buttons, message.title), QStringList()) << points;
    }
}

}  // namespace
}  // namespace korva
