#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/SaveFileDialog.h"

TEST(QtDialogs, SaveDialogRefusesAFolderThatDoesNotExistWhenTheFolderMustExist) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QStringList refusals;
    korva::platform::SaveFileDialog dialog(nullptr, true, [&](const QString& text) { refusals << text; });
    dialog.setDefaultSuffix(QStringLiteral("krv"));

    dialog.selectFile(dir.filePath(QStringLiteral("gone/words")));
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(refusals.size(), 1);
    EXPECT_TRUE(refusals[0].contains(QDir::toNativeSeparators(dir.filePath(QStringLiteral("gone")))))
        << refusals[0].toStdString();
    EXPECT_FALSE(QDir(dir.filePath(QStringLiteral("gone"))).exists());

    dialog.selectFile(dir.filePath(QStringLiteral("words")));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.selectedFiles(), QStringList{dir.filePath(QStringLiteral("words.krv"))});
    EXPECT_EQ(refusals.size(), 1);
}

TEST(QtDialogs, SaveDialogWithoutTheFolderFlagLeavesTheFolderToTheSave) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    int refusals = 0;
    korva::platform::SaveFileDialog dialog(nullptr, false, [&](const QString&) { ++refusals; });
    dialog.selectFile(dir.filePath(QStringLiteral("gone/words.krv")));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(refusals, 0);
}
