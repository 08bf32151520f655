#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "deck/Cp932Text.h"
#include "tests/deck/Cp932Table.h"

namespace korva {
namespace {

using test::Cp932Entry;
using test::Utf8Of;

// Among byte sequences of one character Windows writes JIS X 0208 first,
// then NEC row 13, then the IBM extensions, never the NEC-selected ones.
int Preference(const std::string& bytes) {
    const auto lead = static_cast<unsigned char>(bytes[0]);
    if (bytes.size() == 1) {
        return 0;
    }
    if (lead == 0x87) {
        return 1;
    }
    if (lead >= 0xFA) {
        return 2;
    }
    if (lead == 0xED || lead == 0xEE) {
        return 3;
    }
    return 0;
}

TEST(Cp932Text, EveryTableEntryDecodesAndEncodesAsWindowsDoes) {
    const std::vector<Cp932Entry> table = test::ReadCp932Table();
    ASSERT_EQ(table.size(), 7915u);

    std::map<char32_t, std::string> preferred;
    for (const Cp932Entry& e : table) {
        const auto found = preferred.find(e.code);
        if (found == preferred.end() || Preference(e.bytes) < Preference(found->second)) {
            preferred[e.code] = e.bytes;
        }
    }

    std::string allBytes;
    std::string allText;
    for (const Cp932Entry& e : table) {
        EXPECT_EQ(Cp932ToUtf8(e.bytes), Utf8Of(e.code)) << std::hex << "code " << static_cast<unsigned>(e.code);
        EXPECT_EQ(Utf8ToCp932(Utf8Of(e.code)), preferred[e.code])
            << std::hex << "code " << static_cast<unsigned>(e.code);
        allBytes += e.bytes;
        allText += Utf8Of(e.code);
    }
    // One long text converts as its characters do one by one.
    EXPECT_EQ(Cp932ToUtf8(allBytes), allText);
    EXPECT_EQ(Cp932ToUtf8Exact(allBytes), allText);
}

TEST(Cp932Text, BytesThatDoNotDecodeShowAsReplacementAndDecodingGoesOn) {
    const std::string r = "\xEF\xBF\xBD";
    EXPECT_EQ(Cp932ToUtf8("a\x80"
                          "b"),
              "a" + r + "b");
    EXPECT_EQ(Cp932ToUtf8("\xA0\xFD\xFE\xFF"), r + r + r + r);
    // A lead byte at the end, or before a byte that cannot trail it.
    EXPECT_EQ(Cp932ToUtf8("\x82\xA0\x82"), "\xE3\x81\x82" + r);
    EXPECT_EQ(Cp932ToUtf8("\x81 x"), r + " x");
    EXPECT_EQ(Cp932ToUtf8("\x81\x0A\x82\xA0"), r + "\n\xE3\x81\x82");
    // An unassigned pair is one character, not a lead byte and a katakana.
    EXPECT_EQ(Cp932ToUtf8("\x85\xA0"
                          "a"),
              r + "a");
    EXPECT_EQ(Cp932ToUtf8(""), "");

    // The exact decoder refuses what the forgiving one replaces.
    for (const std::string bytes : {"a\x80", "\xA0", "\x82\xA0\x82", "\x81 x", "\x85\xA0"}) {
        EXPECT_EQ(Cp932ToUtf8Exact(bytes), std::nullopt) << bytes;
    }
}

TEST(Cp932Text, CharactersWithoutACodePage932FormAreRefused) {
    EXPECT_EQ(Utf8ToCp932("abc"), "abc");
    EXPECT_EQ(Utf8ToCp932("\xE5\x8D\x98\xE8\xAA\x9E"), "\x92\x50\x8C\xEA");  // 単語
    EXPECT_EQ(Utf8ToCp932("\xE2\x82\xAC"), std::nullopt);                    // euro sign
    EXPECT_EQ(Utf8ToCp932("a\xF0\x9F\x98\x80"), std::nullopt);               // emoji
    EXPECT_EQ(Utf8ToCp932("\xE3\x81"), std::nullopt);                        // cut UTF-8
    EXPECT_EQ(Utf8ToCp932("\xFF"), std::nullopt);
}

}  // namespace
}  // namespace korva
