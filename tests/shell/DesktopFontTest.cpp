// The main window, with a card window's menus in its menu bar, and the
// version window under the desktop fonts users have: their own font, so the
// same pixels whatever the desktop's, and every text whole in its box.
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "cardwindow/frmCard.h"
#include "platform/Fonts.h"
#include "shell/OpenBrowser.h"
#include "shell/frmMain.h"
#include "shell/frmVersion.h"
#include "tests/support/FakeDialogs.h"
#include "tests/support/TextFit.h"

namespace korva::test {

TEST(ShellWindowFonts, WindowsLookTheSameAndHoldEveryTextUnderEveryDesktopFont) {
    platform::InstallFontSubstitutions();
    QTemporaryDir folder;
    QFile deck(folder.filePath(QStringLiteral("deck.csv")));
    ASSERT_TRUE(deck.open(QIODevice::WriteOnly) && deck.write("apple,ringo\r\ncat,neko\r\n") > 0);
    deck.close();

    std::vector<QImage> first;
    for (const int points : DesktopPointSizes) {
        SCOPED_TRACE(points);
        const DesktopFont desktop(points);
        FakeDialogs dialogs;
        frmMain main(dialogs, nullptr, [] {});
        frmVersion version(dialogs, &main);
        main.show();
        main.OpenFiles({deck.fileName()});
        version.show();
        const QStringList misfits =
            TextsOutsideTheirBoxes(main) + TextsOutsideTheirBoxes(version) +
            MessageBoxMisfits(BrowserMissingMessage, platform::MessageButtons::Ok, platform::AppTitle);
        EXPECT_TRUE(misfits.isEmpty()) << misfits.join(QStringLiteral("; ")).toStdString();

        const std::vector<QImage> images = {main.grab().toImage(), version.grab().toImage()};
        if (first.empty()) {
            first = images;
        }
        EXPECT_TRUE(images == first);
        main.CardWindows().first()->CloseWithoutAsking();
    }
}

}  // namespace korva::test
