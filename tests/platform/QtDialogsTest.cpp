#include <QDesktopServices>
#include <QObject>
#include <QUrl>

#include <gtest/gtest.h>

#include "platform/QtDialogs.h"

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

#include "QtDialogsTest.moc"
