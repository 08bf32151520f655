#include <set>

#include <QFont>
#include <QFontInfo>
#include <QImage>

#include <gtest/gtest.h>

#include "platform/AppIcon.h"
#include "platform/Fonts.h"

using namespace korva::platform;

TEST(AppIcon, IsA32PixelPictureOfAtMostSixteenColours) {
    const QIcon icon = AppIcon();
    ASSERT_FALSE(icon.isNull());
    const QImage image = icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(32, 32));
    std::set<QRgb> colours;
    int opaque = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) == 0) {
                continue;
            }
            EXPECT_EQ(qAlpha(pixel), 255) << "half-transparent pixel at " << x << "," << y;
            colours.insert(pixel);
            ++opaque;
        }
    }
    EXPECT_LE(colours.size(), 16u);
    EXPECT_GE(colours.size(), 4u);
    EXPECT_GT(opaque, 32 * 32 / 3);
}

TEST(Fonts, JapaneseSystemFontNamesResolveToInstalledIpaFonts) {
    InstallFontSubstitutions();
    const struct {
        const char* asked;
        const char* expected;
    } cases[] = {{"ＭＳ Ｐゴシック", "IPAPGothic"},
                 {"ＭＳ ゴシック", "IPAGothic"},
                 {"ＭＳ Ｐ明朝", "IPAPMincho"},
                 {"ＭＳ 明朝", "IPAMincho"}};
    for (const auto& c : cases) {
        const QFont font(QString::fromUtf8(c.asked), 18, QFont::Bold);
        EXPECT_EQ(QFontInfo(font).family(), QString::fromUtf8(c.expected)) << c.asked;
    }
}
