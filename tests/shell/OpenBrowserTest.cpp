// OpenBrowser hands every address to the desktop and reports a failure in the
// one message box, after which the caller goes on.
#include <gtest/gtest.h>

#include "shell/OpenBrowser.h"
#include "tests/support/FakeDialogs.h"

namespace korva {
namespace {

using platform::MessageButtons;

const QString ExpectedFailureText = QStringLiteral(
    "Microsoft InternetExplorer（Ver 5.0以上推進）がありません。\r\n（弊団体まで連絡下されば適切な処置をします。）");

TEST(OpenBrowserTest, AddressesReachTheDesktopUnchangedAndSilently) {
    const QString addresses[] = {
        QStringLiteral("https://www.example.org/korva/"),
        QStringLiteral("/opt/korva/help/index.html"),
        QStringLiteral("mailto:korva@example.org"),
        QStringLiteral("MAILTO:korva@example.org"),
        QStringLiteral("Mailto:korva@example.org"),
        QStringLiteral("mailtokorva@example.org"),
        QStringLiteral("a.htm"),
        QString(),
    };
    for (const QString& address : addresses) {
        test::FakeDialogs dialogs;
        OpenBrowser(dialogs, address);
        ASSERT_EQ(dialogs.addresses.size(), 1u);
        EXPECT_EQ(dialogs.addresses[0], address);
        EXPECT_TRUE(dialogs.messages.empty()) << address.toStdString();
    }
}

TEST(OpenBrowserTest, FailureShowsTheTwoLineMessageOnceAndReturns) {
    for (const QString& address :
         {QStringLiteral("https://www.example.org/"), QStringLiteral("mailto:korva@example.org")}) {
        test::FakeDialogs dialogs;
        dialogs.openAddressSucceeds = false;
        OpenBrowser(dialogs, address);
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].text, ExpectedFailureText);
        EXPECT_EQ(dialogs.messages[0].buttons, MessageButtons::Ok);
        EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("KORVA!!"));

        // A second click shows the message again.
        OpenBrowser(dialogs, address);
        EXPECT_EQ(dialogs.messages.size(), 2u);
    }
}

// A desktop seam that throws is still a failure to report, not an error that
// leaves the Help command.
class ThrowingDialogs : public test::FakeDialogs {
public:
    void OpenAddress(const QString&, std::function<void()>) override { throw std::runtime_error("no desktop"); }
};

TEST(OpenBrowserTest, ErrorInsideTheDesktopIsReportedNotPassedOn) {
    ThrowingDialogs dialogs;
    EXPECT_NO_THROW(OpenBrowser(dialogs, QStringLiteral("https://www.example.org/")));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, ExpectedFailureText);
}

}  // namespace
}  // namespace korva
