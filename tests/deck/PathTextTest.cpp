// Paths as text: any bytes come back unchanged, valid UTF-8 reads as the
// characters it encodes, and only the shown form loses the other bytes.
#include <gtest/gtest.h>

#include "deck/PathText.h"
#include "tests/support/ByteNames.h"

namespace korva {
namespace {

TEST(PathText, EveryNameTurnsBackIntoItsOwnBytes) {
    struct Case {
        const char* name;
        std::string bytes;
        qsizetype kept;  // bytes that travel as surrogates
    };
    std::vector<Case> cases = {
        {"ASCII", "/home/user/deck.krv", 0},
        {"UTF-8 Japanese and an emoji", "/home/user/単語\xf0\x9f\x93\x9a.krv", 0},
        {"a cut-off sequence at the end", "a\xe5\x8d", 2},
        {"an overlong slash",
         "a\xc0\xaf"
         "b",
         2},
        {"an encoded surrogate", "\xed\xb3\xa9", 3},
        {"past U+10FFFF", "\xf4\x90\x80\x80", 4},
        {"the bytes of U+FFFD itself", "\xef\xbf\xbd", 0},
    };
    for (const test::ByteName& name : test::ByteNames) {
        cases.push_back({name.label, "/home/user/" + name.stem + ".krv", -1});
    }
    for (const Case& c : cases) {
        const QString text = PathToText(c.bytes);
        EXPECT_EQ(TextToPath(text), c.bytes) << c.name;
        const QString shown = DisplayPath(text);
        if (c.kept < 0) {
            // Shown as the file dialog shows the same name.
            EXPECT_EQ(shown, QFile::decodeName(QByteArray::fromStdString(c.bytes))) << c.name;
            continue;
        }
        EXPECT_EQ(shown.count(QChar::ReplacementCharacter) - text.count(QChar::ReplacementCharacter), c.kept) << c.name;
        EXPECT_EQ(text == QString::fromUtf8(c.bytes), c.kept == 0) << c.name;
        EXPECT_EQ(shown.toUtf8().toStdString() == c.bytes, c.kept == 0) << c.name;
    }
}

}  // namespace
}  // namespace korva
