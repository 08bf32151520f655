#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <functional>

#include "deck/CsvImport.h"
#include "deck/DeckError.h"
#include "deck/DeckErrorText.h"
#include "deck/DeckFile.h"
#include "deck/DeckRecord.h"
#include "deck/FileBytes.h"
#include "tests/deck/DeckTestSupport.h"

namespace korva {
namespace {

using test::SameDeck;
using test::VariedDeck;

// Loads bytes as a file into a copy of window, both ways. Each case must be a
// DeckError with a reason and the deck untouched, or a deck that writes back
// as the very bytes it was read from.
void ExpectCleanErrorOrValidDeck(const test::TempFolder& dir, const std::string& bytes, const std::string& label) {
    const CardData window = VariedDeck(2, "w");
    test::WriteBytes(dir.Path("d.krv"), bytes);
    for (const bool keep : {false, true}) {
        CardData deck = window;
        try {
            LoadCardFile(dir.Path("d.krv"), deck, keep);
        } catch (const DeckError& e) {
            EXPECT_GT(DescribeDeckError(e).size(), 0u) << label;
            EXPECT_TRUE(SameDeck(deck, window)) << label << " keep " << keep;
            continue;
        }
        std::size_t size = 0;
        const CardData f = ReadDeckRecord(bytes, &size);
        EXPECT_EQ(WriteDeckRecord(f), bytes.substr(0, size)) << label;
        EXPECT_EQ(deck.Total(), keep ? window.Total() + f.Total() : f.Total()) << label;
    }
}

// Offsets of the three descriptors of a record.
std::vector<std::pair<std::size_t, std::size_t>> DescriptorRanges(const CardData& d, std::size_t itemsBytes) {
    const std::size_t checks = itemsBytes;
    const std::size_t list = checks + 18 + 6 * d.Items.size();
    return {{0, 18}, {checks, checks + 18}, {list, list + 10}};
}

TEST(DamagedDeckFile, EveryCutIsACleanError) {
    test::TempFolder dir;
    const std::string bytes = WriteDeckRecord(VariedDeck(3));
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        const CardData window = VariedDeck(2, "w");
        test::WriteBytes(dir.Path("cut.krv"), bytes.substr(0, cut));
        for (const bool keep : {false, true}) {
            CardData deck = window;
            EXPECT_THROW(LoadCardFile(dir.Path("cut.krv"), deck, keep), DeckError) << "cut at " << cut;
            EXPECT_TRUE(SameDeck(deck, window)) << "cut at " << cut;
        }
    }
}

TEST(DamagedDeckFile, ChangedDescriptorBytesAreCleanErrorsOrValidDecks) {
    test::TempFolder dir;
    const CardData original = VariedDeck(3);
    const std::string bytes = WriteDeckRecord(original);
    std::size_t itemsBytes = 18;
    for (const auto& card : original.Items) {
        for (const auto& text : card) {
            itemsBytes += 2 + text.size();
        }
    }
    for (const auto& [from, to] : DescriptorRanges(original, itemsBytes)) {
        for (std::size_t at = from; at < to; ++at) {
            const auto b = static_cast<unsigned char>(bytes[at]);
            for (const unsigned char v : {0x00, 0x01, 0x02, 0x03, 0x04, 0x7F, 0x80, 0xFF, b ^ 0x01, b ^ 0x40}) {
                if (v == b) {
                    continue;
                }
                std::string damaged = bytes;
                damaged[at] = static_cast<char>(v);
                ExpectCleanErrorOrValidDeck(dir, damaged, "byte " + std::to_string(at) + " = " + std::to_string(v));
            }
        }
    }
}

TEST(DamagedDeckFile, HostileCountsAreRefusedBeforeAllocating) {
    test::TempFolder dir;
    const std::string valid = WriteDeckRecord(VariedDeck(1));
    auto withU32 = [&](std::size_t at, uint32_t v) {
        std::string s = valid;
        for (int i = 0; i < 4; ++i) {
            s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
        }
        return s;
    };
    const std::pair<std::string, std::string> cases[] = {
        {"card count 4 billion", withU32(2, 0xFFFFFFFFu)},
        {"card count 32769", withU32(2, 32769)},
        {"card count 32768, file too short", withU32(2, 32768)},
        {"card count 0", withU32(2, 0)},
        {"item count 4 billion", withU32(10, 0xFFFFFFFFu)},
        {"lower bound 1", withU32(6, 1)},
        {"lower bound -1", withU32(14, 0xFFFFFFFFu)},
        {"text length past the end", valid.substr(0, 18) + "\xFF\xFF" + "abc"},
    };
    for (const auto& [label, bytes] : cases) {
        CardData deck = VariedDeck(2, "w");
        const CardData before = deck;
        test::WriteBytes(dir.Path("h.krv"), bytes);
        EXPECT_THROW(LoadCardFile(dir.Path("h.krv"), deck, false), DeckError) << label;
        EXPECT_TRUE(SameDeck(deck, before)) << label;
    }
}

TEST(DamagedDeckFile, ArraysOfDifferentCardCountsAreRefused) {
    // A record whose Checks block claims one card fewer than Items, written
    // whole and consistent otherwise.
    CardData three = VariedDeck(3);
    CardData two = VariedDeck(2);
    const std::string a = WriteDeckRecord(three);
    const std::string b = WriteDeckRecord(two);
    const std::size_t itemsEndA = a.size() - (18 + 6 * 4) - (10 + 2 * 4) - 4;
    const std::size_t itemsEndB = b.size() - (18 + 6 * 3) - (10 + 2 * 3) - 4;
    const std::string mixed = a.substr(0, itemsEndA) + b.substr(itemsEndB) + std::string(64, '\0');
    EXPECT_THROW(ReadDeckRecord(mixed), DeckError);
    EXPECT_THROW(ReadDeckRecord(a.substr(0, itemsEndA) + a.substr(itemsEndA, 18 + 6 * 4) +
                                b.substr(b.size() - (10 + 2 * 3) - 4)),
                 DeckError);
}

std::string WithQuestionItem(int16_t card, int16_t question) {
    CardData deck = VariedDeck(3);
    deck.QuestionItems[static_cast<std::size_t>(card)] = question;
    return WriteDeckRecord(deck);
}

// A file of this size whose blocks are never written: no memory or disk is
// spent on it, yet the system reports its full size.
void MakeSparse(const std::string& path, off_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0) << path;
    EXPECT_EQ(::ftruncate(fd, size), 0) << path;
    ::close(fd);
}

TEST(DamagedDeckFile, RefusedFilesGiveTheirReasonAndLeaveTheDeck) {
    test::TempFolder dir;
    const struct {
        std::string name;
        std::function<void(const std::string&)> make;
        const char* reason;  // empty: the file loads
    } cases[] = {
        {"q3.krv", [](auto& p) { test::WriteBytes(p, WithQuestionItem(2, 3)); }, "カード2の出題項目が3"},
        {"q-1.krv", [](auto& p) { test::WriteBytes(p, WithQuestionItem(1, -1)); }, "カード1の出題項目が-1"},
        {"qmax.krv", [](auto& p) { test::WriteBytes(p, WithQuestionItem(3, 32767)); }, "カード3の出題項目が32767"},
        {"q0.krv", [](auto& p) { test::WriteBytes(p, WithQuestionItem(2, 0)); }, ""},
        {"slot0.krv", [](auto& p) { test::WriteBytes(p, WithQuestionItem(0, 9)); }, ""},
        {"huge.krv", [](auto& p) { MakeSparse(p, off_t{64} << 30); }, "大きすぎます"},
        {"huge.csv", [](auto& p) { MakeSparse(p, off_t{64} << 30); }, "大きすぎます"},
        {"limit.csv", [](auto& p) { MakeSparse(p, MaxReadBytes + 1); }, "ファイルが大きすぎます（256MBまで）。"},
        {"pipe.krv", [](auto& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); },
         "通常のファイルではなく、名前付きパイプです"},
        {"zero.csv", [](auto& p) { ASSERT_EQ(::symlink("/dev/zero", p.c_str()), 0); },
         "通常のファイルではなく、デバイスです"},
        {"folder.krv", [](auto& p) { ASSERT_EQ(::mkdir(p.c_str(), 0700), 0); },
         "通常のファイルではなく、フォルダーです"},
    };
    const CardData window = VariedDeck(2, "w");
    for (const auto& c : cases) {
        const std::string path = dir.Path(c.name);
        c.make(path);
        const bool csv = c.name.ends_with(".csv");
        for (const bool keep : {false, true}) {
            CardData deck = window;
            try {
                csv ? ImportCsvFile(path, deck, keep) : LoadCardFile(path, deck, keep);
                EXPECT_STREQ(c.reason, "") << c.name << " loaded";
                EXPECT_EQ(deck.Total(), keep ? 5 : 3) << c.name;
            } catch (const DeckError& e) {
                EXPECT_NE(std::string(c.reason), "") << c.name << ": " << DescribeDeckError(e);
                EXPECT_NE(DescribeDeckError(e).find(c.reason), std::string::npos)
                    << c.name << ": " << DescribeDeckError(e);
                EXPECT_TRUE(SameDeck(deck, window)) << c.name << " keep " << keep;
            }
        }
    }
}

}  // namespace
}  // namespace korva
