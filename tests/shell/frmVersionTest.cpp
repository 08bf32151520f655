// The version window: its fixed look, the hover colours of the two links and
// where a click on each link goes.
#include <QAccessible>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include "platform/Contrast.h"
#include "platform/Twips.h"
#include "shell/frmVersion.h"
#include "tests/support/FakeDialogs.h"

namespace korva {
namespace {

using platform::TwipsToPixels;

const QColor Black(0, 0, 0);
const QColor Blue(0, 0, 255);

class frmVersionTest : public ::testing::Test {
protected:
    frmVersionTest() : window(dialogs, nullptr) {}

    QLabel* label(const char* name) const {
        auto* found = window.findChild<QLabel*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QColor colorOf(const char* name) const { return label(name)->palette().color(QPalette::WindowText); }

    // A pointer move with no button pressed, delivered where the platform would.
    void moveOver(QWidget* widget, QPoint at = QPoint(2, 2)) {
        QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    }

    test::FakeDialogs dialogs;
    frmVersion window;
};

TEST_F(frmVersionTest, CaptionSizeAndFrame) {
    EXPECT_EQ(window.windowTitle(), QStringLiteral("バージョン情報"));
    EXPECT_EQ(window.size(), QSize(381, 169));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_TRUE(window.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(window.isModal());
}

TEST_F(frmVersionTest, LabelsTextsAndGeometry) {
    struct Expected {
        const char* name;
        QString text;
        int left, top, width, height;
    };
    const Expected labels[] = {
        {"Label1", QStringLiteral("バージョン情報"), 1140, 180, 2970, 435},
        {"Label2", QStringLiteral("KORVA!!"), 600, 840, 2115, 315},
        {"Label3", QStringLiteral("Version 1.0"), 3420, 1140, 1380, 285},
        {"Label4", QString(), 2820, 2280, 2895, 195},
        {"lblMail", QStringLiteral("開発団体　Team Yorimichi 　（korva@example.org）"), 240, 1620, 3870, 240},
        {"lblHtml", QStringLiteral("URL　https://www.example.org/korva/"), 240, 1920, 2850, 180},
    };
    for (const Expected& e : labels) {
        QLabel* l = label(e.name);
        ASSERT_NE(l, nullptr);
        if (!e.text.isEmpty()) {
            EXPECT_EQ(l->text(), e.text) << e.name;
        }
        // Placed as drawn; a label only grows, right and down within the
        // window, when the font here needs more room for its text.
        const QRect place = l->geometry();
        EXPECT_EQ(place.topLeft(), QPoint(TwipsToPixels(e.left), TwipsToPixels(e.top))) << e.name;
        EXPECT_GE(place.height(), TwipsToPixels(e.height)) << e.name;
        EXPECT_GE(place.height(), l->sizeHint().height()) << e.name;
        EXPECT_GE(place.width(), TwipsToPixels(e.width)) << e.name;
        EXPECT_LE(place.right(), window.width() - 1) << e.name;
        if (place.right() < window.width() - 1) {
            EXPECT_GE(place.width(), l->sizeHint().width()) << e.name;
        }
    }
    EXPECT_TRUE(label("Label4")->text().contains(QStringLiteral("Team Yorimichi")));
}

TEST_F(frmVersionTest, Fonts) {
    const QFont l1 = label("Label1")->font();
    EXPECT_EQ(l1.family(), QStringLiteral("ＭＳ Ｐ明朝"));
    EXPECT_DOUBLE_EQ(l1.pointSizeF(), 21.75);
    EXPECT_TRUE(l1.bold() && l1.italic());

    const QFont l2 = label("Label2")->font();
    EXPECT_EQ(l2.family(), QStringLiteral("ＭＳ Ｐ明朝"));
    EXPECT_DOUBLE_EQ(l2.pointSizeF(), 14.25);
    EXPECT_TRUE(l2.bold() && l2.italic());

    const QFont l3 = label("Label3")->font();
    EXPECT_EQ(l3.family(), QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_DOUBLE_EQ(l3.pointSizeF(), 14.25);
    EXPECT_FALSE(l3.bold() || l3.italic());

    EXPECT_EQ(label("Label4")->font(), window.font());

    for (const char* link : {"lblMail", "lblHtml"}) {
        const QFont f = label(link)->font();
        EXPECT_EQ(f.family(), QStringLiteral("ＭＳ Ｐゴシック")) << link;
        EXPECT_DOUBLE_EQ(f.pointSizeF(), 9) << link;
        EXPECT_TRUE(f.underline()) << link;
        EXPECT_NE(label(link)->cursor().shape(), Qt::ArrowCursor) << link;
    }
    EXPECT_EQ(label("Label1")->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(frmVersionTest, PointerMovesColourAtMostOneLink) {
    EXPECT_EQ(colorOf("lblHtml"), window.palette().color(QPalette::ButtonText));

    moveOver(label("lblHtml"));
    EXPECT_EQ(colorOf("lblHtml"), Blue);
    EXPECT_EQ(colorOf("lblMail"), Black);

    // Straight from one link onto the other.
    moveOver(label("lblMail"));
    EXPECT_EQ(colorOf("lblMail"), Blue);
    EXPECT_EQ(colorOf("lblHtml"), Black);

    // The plain labels change nothing: the link stays blue.
    for (const char* plain : {"Label1", "Label2", "Label3", "Label4"}) {
        moveOver(label(plain));
        EXPECT_EQ(colorOf("lblMail"), Blue) << plain;
        EXPECT_EQ(colorOf("lblHtml"), Black) << plain;
    }

    // The background resets both.
    moveOver(&window, QPoint(5, 160));
    EXPECT_EQ(colorOf("lblMail"), Black);
    EXPECT_EQ(colorOf("lblHtml"), Black);
}

TEST_F(frmVersionTest, EveryShowStartsWithBlackLabels) {
    window.show();
    moveOver(label("lblMail"));
    ASSERT_EQ(colorOf("lblMail"), Blue);
    window.close();

    window.show();
    for (const char* name : {"Label1", "Label2", "Label3", "Label4", "lblMail", "lblHtml"}) {
        EXPECT_EQ(colorOf(name), Black) << name;
    }
    window.close();
}

TEST_F(frmVersionTest, FormatColorTurnsBothLinksBlack) {
    window.lblHtml_MouseMove();
    window.FormatColor();
    EXPECT_EQ(colorOf("lblHtml"), Black);
    EXPECT_EQ(colorOf("lblMail"), Black);
    // Only the links: the plain labels keep their own colour.
    EXPECT_EQ(colorOf("Label1"), window.palette().color(QPalette::ButtonText));
}

TEST_F(frmVersionTest, ClicksOpenTheWebPageAndTheMailAddress) {
    QTest::mouseClick(label("lblHtml"), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    QTest::mouseClick(label("lblMail"), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    QTest::mouseClick(label("Label2"), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    QTest::mouseClick(label("lblHtml"), Qt::RightButton, Qt::NoModifier, QPoint(3, 3));
    ASSERT_EQ(dialogs.addresses.size(), 2u);
    EXPECT_EQ(dialogs.addresses[0], QStringLiteral("https://www.example.org/korva/"));
    EXPECT_EQ(dialogs.addresses[1], QStringLiteral("mailto:korva@example.org"));
    EXPECT_TRUE(dialogs.messages.empty());
}

// A double click is one click and a double-click event, as on any label: the
// page or the new mail opens once, not twice.
TEST_F(frmVersionTest, DoubleClickOpensTheAddressOnce) {
    const auto send = [](QWidget* widget, QEvent::Type type) {
        const QPoint at(3, 3);
        QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    };
    // What the platform delivers for a double click.
    const auto doubleClick = [&send](QWidget* widget) {
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonPress,
                                  QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
            send(widget, type);
        }
    };
    doubleClick(label("lblHtml"));
    doubleClick(label("lblMail"));
    EXPECT_EQ(dialogs.addresses, std::vector<QString>({QStringLiteral("https://www.example.org/korva/"),
                                                       QStringLiteral("mailto:korva@example.org")}));

    // The click after a double click counts again.
    QTest::mouseClick(label("lblHtml"), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    EXPECT_EQ(dialogs.addresses.size(), 3u);
}

TEST_F(frmVersionTest, LinkWithoutBrowserShowsTheMessageEachClick) {
    dialogs.openAddressSucceeds = false;
    window.lblHtml_Click();
    window.lblMail_Click();
    EXPECT_EQ(dialogs.messages.size(), 2u);
}

// Tab walks from the window onto the mail link, then the web link, then round
// again; Enter, the keypad's Enter and Space each open the focused link once.
TEST_F(frmVersionTest, KeyboardWalksThroughTheLinksAndOpensThem) {
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(QApplication::focusWidget(), &window);

    const QString mail = QStringLiteral("mailto:korva@example.org");
    const QString web = QStringLiteral("https://www.example.org/korva/");
    const struct {
        Qt::Key key;
        const char* focused;
        std::vector<QString> opened;
    } steps[] = {
        {Qt::Key_Tab, "lblMail", {}},
        {Qt::Key_Return, "lblMail", {mail}},
        {Qt::Key_Tab, "lblHtml", {mail}},
        {Qt::Key_Space, "lblHtml", {mail, web}},
        {Qt::Key_Enter, "lblHtml", {mail, web, web}},
        {Qt::Key_Tab, "lblMail", {mail, web, web}},
        {Qt::Key_Backtab, "lblHtml", {mail, web, web}},
        {Qt::Key_A, "lblHtml", {mail, web, web}},
    };
    for (const auto& step : steps) {
        QTest::keyClick(QApplication::focusWidget(), step.key);
        EXPECT_EQ(QApplication::focusWidget(), label(step.focused)) << step.focused;
        EXPECT_EQ(dialogs.addresses, step.opened) << step.focused;
    }
    // A held key opens the address once.
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
    QApplication::sendEvent(label("lblHtml"), &repeat);
    EXPECT_EQ(dialogs.addresses.size(), 3u);
    window.close();
}

// Without the focus a link draws what a plain label of the same text, font,
// colours and focus policy draws; the focus adds a frame, and takes it away
// again when it leaves.
TEST_F(frmVersionTest, FocusFrameOnlyWhileTheLinkHasTheFocus) {
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    for (const char* name : {"lblMail", "lblHtml"}) {
        QLabel* link = label(name);
        QLabel plain(link->text(), &window);
        plain.setFocusPolicy(link->focusPolicy());
        plain.setFont(link->font());
        plain.setPalette(link->palette());
        plain.setGeometry(link->geometry());
        plain.show();
        const QImage unfocused = link->grab().toImage();
        EXPECT_EQ(unfocused, plain.grab().toImage()) << name;
        link->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(link->hasFocus()) << name;
        EXPECT_NE(link->grab().toImage(), unfocused) << name;
        window.setFocus();
        EXPECT_EQ(link->grab().toImage(), unfocused) << name;
    }
    window.close();
}

TEST_F(frmVersionTest, LinksAreNamedForScreenReadersWithTheirAddresses) {
    const struct {
        const char* name;
        QString address;
    } links[] = {{"lblMail", QStringLiteral("mailto:korva@example.org")},
                 {"lblHtml", QStringLiteral("https://www.example.org/korva/")}};
    for (const auto& link : links) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(label(link.name));
        ASSERT_NE(accessible, nullptr) << link.name;
        EXPECT_EQ(accessible->role(), QAccessible::Link) << link.name;
        EXPECT_EQ(accessible->text(QAccessible::Name), label(link.name)->text()) << link.name;
        EXPECT_EQ(accessible->text(QAccessible::Description), link.address) << link.name;
        EXPECT_TRUE(accessible->state().focusable) << link.name;
        accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        ASSERT_FALSE(dialogs.addresses.empty()) << link.name;
        EXPECT_EQ(dialogs.addresses.back(), link.address) << link.name;
    }
    // The plain labels stay text.
    EXPECT_EQ(QAccessible::queryAccessibleInterface(label("Label2"))->role(), QAccessible::StaticText);
}

// On a dark desktop the links stay readable: they start in the palette's
// button text, and pure blue, too dark on a dark window, gives way to the
// palette's link colour under the pointer. A light desktop keeps pure blue.
TEST(frmVersionPalette, LinksStayReadableOnLightAndDarkDesktops) {
    QPalette dark;  // qt6ct's "darker" scheme
    dark.setColor(QPalette::Window, QColor(0x22, 0x20, 0x20));
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::ButtonText, Qt::white);
    dark.setColor(QPalette::Link, QColor(0x09, 0x86, 0xd3));
    const QPalette light = QApplication::palette();
    const struct {
        const char* desktop;
        QPalette palette;
        QColor hover;
    } cases[] = {{"light", light, Blue}, {"dark", dark, QColor(0x09, 0x86, 0xd3)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.desktop);
        QApplication::setPalette(c.palette);
        test::FakeDialogs dialogs;
        frmVersion window(dialogs, nullptr);
        window.lblMail_MouseMove();
        const QColor background = window.palette().color(QPalette::Window);
        const QColor normal = window.findChild<QLabel*>("lblHtml")->palette().color(QPalette::WindowText);
        const QColor hover = window.findChild<QLabel*>("lblMail")->palette().color(QPalette::WindowText);
        EXPECT_EQ(hover, c.hover);
        EXPECT_EQ(normal, c.palette.color(QPalette::ButtonText));
        EXPECT_GE(platform::ContrastRatio(normal, background), platform::ReadableContrast);
        // Readable as large letters and lines are.
        EXPECT_GE(platform::ContrastRatio(hover, background), 3.0);
    }
    QApplication::setPalette(light);
}

}  // namespace
}  // namespace korva
