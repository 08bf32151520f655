#include <gtest/gtest.h>

#include <QFile>

#include <map>
#include <vector>

#include "deck/Cp932Text.h"

namespace korva {
namespace {

struct Entry {
    std::string bytes;
    char32_t code;
};

std::string Utf8(char32_t c) {
    std::string s;
    if (c < 0x80) {
        s.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        s.push_back(static_cast<char>(0xC0 | (c >> 6)));
        s.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        s.push_back(static_cast<char>(0xE0 | (c >> 12)));
        s.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        s.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
    return s;
}

// Lines of the form 0x<bytes>,0x<code point>.
std::vector<Entry> ReadTable() {
    QFile file(KORVA_SHARED_DATA_DIR "/cp932-table.txt");
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        ADD_FAILURE() << "cannot open the code page 932 table";
        return {};
    }
    std::vector<Entry> entries;
    while (!file.atEnd()) {
        const QList<QByteArray> fields = file.readLine().trimmed().split(',');
        if (fields.size() != 2) {
            continue;
        }
        bool ok1 = false;
        bool ok2 = false;
        const unsigned bytes = fields[0].toUInt(&ok1, 16);
        const unsigned code = fields[1].toUInt(&ok2, 16);
        if (!ok1 || !ok2) {
            continue;
        }
        Entry e{std::string(), static_cast<char32_t>(code)};
        if (bytes > 0xFF) {
            e.bytes.push_back(static_cast<char>(bytes >> 8));
        }
        e.bytes.push_back(static_cast<char>(bytes & 0xFF));
        entries.push_back(e);
    }
    return entries;
}

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
    const std::vector<Entry> table = ReadTable();
    ASSERT_EQ(table.size(), 7915u);

    std::map<char32_t, std::string> preferred;
    for (const Entry& e : table) {
        const auto found = preferred.find(e.code);
        if (found == preferred.end() || Preference(e.bytes) < Preference(found->second)) {
            preferred[e.code] = e.bytes;
        }
    }

    std::string allBytes;
    std::string allText;
    for (const Entry& e : table) {
        EXPECT_EQ(Cp932ToUtf8(e.bytes), Utf8(e.code)) << std::hex << "code " << static_cast<unsigned>(e.code);
        EXPECT_EQ(Utf8ToCp932(Utf8(e.code)), preferred[e.code]) << std::hex << "code " << static_cast<unsigned>(e.code);
        allBytes += e.bytes;
        allText += Utf8(e.code);
    }
    // One long text converts as its characters do one by one.
    EXPECT_EQ(Cp932ToUtf8(allBytes), allText);
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
