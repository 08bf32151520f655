#include <gtest/gtest.h>

#include "platform/FileFilter.h"

using namespace korva::platform;

TEST(FileFilter, OpenFilterBecomesThreeEntriesWithCaseFreePatterns) {
    const QStringList filters = ToQtNameFilters(QStringLiteral(
        "KORVA対応ファイル(*.krv,*.csv)|*.krv;*.CSV|KORVA専用ファイル(*.krv)|*.krv|CSVファイル(*.csv)|*.csv"));
    ASSERT_EQ(filters.size(), 3);
    EXPECT_EQ(filters[0], QStringLiteral("KORVA対応ファイル(*.krv,*.csv) (*.[kK][rR][vV] *.[cC][sS][vV])"));
    EXPECT_EQ(filters[1], QStringLiteral("KORVA専用ファイル(*.krv) (*.[kK][rR][vV])"));
    EXPECT_EQ(filters[2], QStringLiteral("CSVファイル(*.csv) (*.[cC][sS][vV])"));
}

TEST(FileFilter, PatternsThatDifferOnlyInCaseAreListedOnce) {
    EXPECT_EQ(ToQtNameFilters(QStringLiteral("x|*.csv;*.CSV")), QStringList{QStringLiteral("x (*.[cC][sS][vV])")});
}

TEST(FileFilter, DigitsAndWildcardsStayAsTheyAre) {
    EXPECT_EQ(CaseInsensitivePattern(QStringLiteral("*.?7z")), QStringLiteral("*.?7[zZ]"));
}

TEST(FileFilter, AnUnpairedLabelIsDropped) {
    EXPECT_EQ(ToQtNameFilters(QStringLiteral("a|*.a|b")).size(), 1);
    EXPECT_TRUE(ToQtNameFilters(QString()).isEmpty());
}

TEST(AddressToUrl, SchemesAreUrlsEverythingElseIsAFile) {
    EXPECT_EQ(AddressToUrl(QStringLiteral("https://example.org/korva/")).toString(),
              QStringLiteral("https://example.org/korva/"));
    EXPECT_EQ(AddressToUrl(QStringLiteral("mailto:team@example.org")).scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(AddressToUrl(QStringLiteral("file:///tmp/a.html")).toLocalFile(), QStringLiteral("/tmp/a.html"));

    const QUrl local = AddressToUrl(QStringLiteral("/opt/korva/help/index.html"));
    EXPECT_TRUE(local.isLocalFile());
    EXPECT_EQ(local.toLocalFile(), QStringLiteral("/opt/korva/help/index.html"));
    // A path with a colon later on, or a drive letter, is still a path.
    EXPECT_TRUE(AddressToUrl(QStringLiteral("help/a:b.html")).isLocalFile());
    EXPECT_TRUE(AddressToUrl(QStringLiteral("C:/korva/help/index.html")).isLocalFile());
}
