#include <QDesktopServices>
#include <QDir>
#include <QObject>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include "platform/QtDialogs.h"
#include "platform/SaveFileDialog.h"

namespace {

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

}  // namespace

TEST(QtDialogs, OpenAddressHandsUrlsAndFilesToTheDesktop) {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &catcher, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");

    korva::platform::QtDialogs dialogs;
    EXPECT_TRUE(dialogs.OpenAddress(QStringLiteral("https://example.org/korva/")));
    EXPECT_TRUE(dialogs.OpenAddress(QStringLiteral("mailto:team@example.org")));
    EXPECT_TRUE(dialogs.OpenAddress(QStringLiteral("/opt/korva/help/index.html")));

    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));

    ASSERT_EQ(catcher.urls.size(), 3);
    EXPECT_EQ(catcher.urls[0], QUrl(QStringLiteral("https://example.org/korva/")));
    EXPECT_EQ(catcher.urls[1].toString(), QStringLiteral("mailto:team@example.org"));
    EXPECT_EQ(catcher.urls[2], QUrl::fromLocalFile(QStringLiteral("/opt/korva/help/index.html")));
}

TEST(QtDialogs, OpenAddressReportsWhenNothingCanOpenIt) {
    // Offscreen there is no launcher for web pages.
    korva::platform::QtDialogs dialogs;
    EXPECT_FALSE(dialogs.OpenAddress(QStringLiteral("https://example.org/")));
}

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

#include "QtDialogsTest.moc"
