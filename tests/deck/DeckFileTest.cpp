#include <gtest/gtest.h>

#include <sys/fsuid.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

#include "deck/CsvImport.h"
#include "deck/DeckError.h"
#include "deck/DeckErrorText.h"
#include "deck/DeckFile.h"
#include "deck/DeckPath.h"
#include "deck/DeckRecord.h"
#include "deck/GrowArrays.h"
#include "tests/deck/DeckTestSupport.h"

namespace korva {
namespace {

using test::FromHex;
using test::ReadBytes;
using test::SameDeck;
using test::VariedDeck;
using test::WriteBytes;

const std::string OneCardDeck = FromHex(
    "02 00  02 00 00 00 00 00 00 00  03 00 00 00 00 00 00 00"
    "00 00 00 00 00 00 00 00  01 00 61 01 00 62"
    "02 00 02 00 00 00 00 00 00 00 03 00 00 00 00 00 00 00"
    "00 00 00 00 00 00 00 00 00 00 00 00"
    "01 00 02 00 00 00 00 00 00 00"
    "01 00 01 00"
    "01 01 04 01");

const std::string EmptyDeck = FromHex(
    "02 00  01 00 00 00 00 00 00 00  03 00 00 00 00 00 00 00"
    "00 00 00 00 00 00"
    "02 00  01 00 00 00 00 00 00 00  03 00 00 00 00 00 00 00"
    "00 00 00 00 00 00"
    "01 00 01 00 00 00 00 00 00 00"
    "01 00"
    "01 01 04 01");

TEST(DeckFileGolden, ImportedCsvSavesAsTheKnownBytes) {
    test::TempFolder dir;
    ASSERT_EQ(OneCardDeck.size(), 80u);
    ASSERT_EQ(EmptyDeck.size(), 64u);

    const std::pair<std::string, std::string> cases[] = {{"a,b", OneCardDeck}, {"", EmptyDeck}};
    for (const auto& [csv, expected] : cases) {
        WriteBytes(dir.Path("in.csv"), csv);
        CardData deck = VariedDeck(3);
        ImportCsvFile(dir.Path("in.csv"), deck, false);
        SaveCardFile(dir.Path("out.krv"), deck);
        EXPECT_EQ(ReadBytes(dir.Path("out.krv")), expected) << "csv: " << csv;

        CardData loaded = VariedDeck(2);
        LoadCardFile(dir.Path("out.krv"), loaded, false);
        EXPECT_TRUE(SameDeck(loaded, deck));
    }
}

TEST(DeckFileRoundTrip, KeepsEveryFieldAndByte) {
    test::TempFolder dir;
    for (const int total : {0, 1, 5, 300}) {
        const CardData original = VariedDeck(total);
        SaveCardFile(dir.Path("d.krv"), original);
        const std::string bytes = ReadBytes(dir.Path("d.krv"));

        CardData loaded;
        LoadCardFile(dir.Path("d.krv"), loaded, false);
        EXPECT_TRUE(SameDeck(loaded, original)) << "total " << total;
        EXPECT_EQ(loaded.Total(), total);

        SaveCardFile(dir.Path("again.krv"), loaded);
        EXPECT_EQ(ReadBytes(dir.Path("again.krv")), bytes) << "total " << total;
    }
}

TEST(DeckFileRoundTrip, TextLengthIsUnsignedAndCountsCodePage932Bytes) {
    test::TempFolder dir;
    CardData deck = VariedDeck(2);
    deck.Items[1][1] =
        "\x82\xA0"
        "a\xB1";  // hiragana a (2 bytes), ASCII a, half-width katakana a
    deck.Items[1][2] = std::string(65535, '\x88');
    deck.Items[2][1] = std::string(40000, 'x');
    SaveCardFile(dir.Path("d.krv"), deck);
    const std::string bytes = ReadBytes(dir.Path("d.krv"));
    // The descriptor, card 0's three texts ("zero0", "単語0", "\x81" "0\xFF")
    // and card 1's item 0 ("zero1") come first, each after its length.
    const std::size_t card1Item1 = 18 + (2 + 5) + (2 + 5) + (2 + 3) + (2 + 5);
    EXPECT_EQ(bytes.substr(card1Item1, 6), FromHex("04 00 82 A0 61 B1"));

    CardData loaded;
    LoadCardFile(dir.Path("d.krv"), loaded, false);
    EXPECT_TRUE(SameDeck(loaded, deck));
}

TEST(DeckFileRoundTrip, TrailingBytesAfterTheRecordAreIgnored) {
    test::TempFolder dir;
    WriteBytes(dir.Path("d.krv"), OneCardDeck + "trailing garbage \xFF\xFF\xFF\xFF");
    CardData loaded;
    LoadCardFile(dir.Path("d.krv"), loaded, false);
    std::size_t size = 0;
    ReadDeckRecord(OneCardDeck + "xx", &size);
    EXPECT_EQ(size, 80u);
    EXPECT_EQ(WriteDeckRecord(loaded), OneCardDeck);
}

TEST(DeckFileLoad, ReplaceTakesTheFilesModesAppendKeepsTheWindows) {
    test::TempFolder dir;
    CardData file = VariedDeck(3, "f");
    file.Modes = StudyModes{TurnShuffle, 9, ViewUnchecked, AnswerTest};
    SaveCardFile(dir.Path("f.krv"), file);

    CardData replaced = VariedDeck(4, "w");
    replaced.Modes = ImportedModes;
    LoadCardFile(dir.Path("f.krv"), replaced, false);
    EXPECT_TRUE(SameDeck(replaced, file));

    CardData appended = VariedDeck(4, "w");
    appended.Modes = StudyModes{TurnNormal, 7, ViewAll, AnswerNormal};
    LoadCardFile(dir.Path("f.krv"), appended, true);
    EXPECT_EQ(appended.Modes.TurnMode, TurnNormal);
    EXPECT_EQ(appended.Modes.ReservedMode, 7);
    EXPECT_EQ(appended.Modes.ViewKind, ViewAll);
    EXPECT_EQ(appended.Modes.AnswerMode, AnswerNormal);
}

TEST(DeckFileLoad, AppendPutsTheFilesCardsAfterTheWindowsCards) {
    test::TempFolder dir;
    const CardData file = VariedDeck(3, "f");
    SaveCardFile(dir.Path("f.krv"), file);
    const CardData window = VariedDeck(4, "w");

    CardData deck = window;
    LoadCardFile(dir.Path("f.krv"), deck, true);
    ASSERT_EQ(deck.Total(), 7);
    ASSERT_EQ(deck.Checks.size(), 8u);
    ASSERT_EQ(deck.QuestionItems.size(), 8u);
    for (int c = 0; c <= 4; ++c) {
        EXPECT_EQ(deck.Items[c], window.Items[c]);
        EXPECT_EQ(deck.Checks[c], window.Checks[c]);
        EXPECT_EQ(deck.QuestionItems[c], window.QuestionItems[c]);
    }
    for (int j = 1; j <= 3; ++j) {
        const int c = 4 + j;
        // The file's item-0 slots are not carried over.
        EXPECT_EQ(deck.Items[c][0], "");
        EXPECT_EQ(deck.Checks[c][0], False16);
        EXPECT_EQ(deck.Items[c][1], file.Items[j][1]);
        EXPECT_EQ(deck.Items[c][2], file.Items[j][2]);
        EXPECT_EQ(deck.Checks[c][1], file.Checks[j][1]);
        EXPECT_EQ(deck.Checks[c][2], file.Checks[j][2]);
        EXPECT_EQ(deck.QuestionItems[c], file.QuestionItems[j]);
    }

    // The same deck appended to itself doubles.
    SaveCardFile(dir.Path("w.krv"), deck);
    LoadCardFile(dir.Path("w.krv"), deck, true);
    EXPECT_EQ(deck.Total(), 14);
    EXPECT_EQ(deck.Items[14][1], deck.Items[7][1]);
}

TEST(DeckFileLoad, AppendingAnEmptyDeckChangesNothing) {
    test::TempFolder dir;
    WriteBytes(dir.Path("e.krv"), EmptyDeck);
    const CardData window = VariedDeck(4);
    CardData deck = window;
    LoadCardFile(dir.Path("e.krv"), deck, true);
    EXPECT_TRUE(SameDeck(deck, window));
}

TEST(DeckFileLoad, AppendPastTheCardLimitIsRefusedAndChangesNothing) {
    test::TempFolder dir;
    SaveCardFile(dir.Path("f.krv"), VariedDeck(2));

    CardData full = VariedDeck(MaxCards - 1);
    const CardData before = full;
    try {
        LoadCardFile(dir.Path("f.krv"), full, true);
        ADD_FAILURE() << "appended past the limit";
    } catch (const DeckError& e) {
        EXPECT_EQ(DescribeDeckError(e), "カードの合計が32767枚を超えるため追加できません。");
    }
    EXPECT_TRUE(SameDeck(full, before));

    // Exactly at the limit is still a deck.
    CardData atLimit = VariedDeck(MaxCards - 2);
    LoadCardFile(dir.Path("f.krv"), atLimit, true);
    EXPECT_EQ(atLimit.Total(), MaxCards);
    SaveCardFile(dir.Path("max.krv"), atLimit);
    CardData loaded;
    LoadCardFile(dir.Path("max.krv"), loaded, false);
    EXPECT_TRUE(SameDeck(loaded, atLimit));
}

TEST(DeckOrCsvFile, TheEndingInAnyCaseChoosesTheReader) {
    test::TempFolder dir;
    const CardData deck = VariedDeck(2, "d");
    const std::string csv = "a,b\r\n";
    const struct {
        std::string name;
        std::string bytes;
        int total;  // 0: refused
    } cases[] = {
        {"d.krv", WriteDeckRecord(deck), 2},
        {"d.KRV", WriteDeckRecord(deck), 2},
        {"w.csv", csv, 1},
        {"w.Csv", csv, 1},
        {"w.krv", csv, 0},  // read as a deck, so refused as damaged
        {"w.txt", csv, 1},
        {"w.TSV", "a\tb\r\nc\td\r\n", 2},
        {"w.csv.bak", csv, 0},
    };
    for (const auto& c : cases) {
        test::WriteBytes(dir.Path(c.name), c.bytes);
        CardData read;
        try {
            ReadDeckOrCsvFile(dir.Path(c.name), read, false);
            EXPECT_EQ(read.Total(), c.total) << c.name;
        } catch (const DeckError& e) {
            EXPECT_EQ(c.total, 0) << c.name << ": " << DescribeDeckError(e);
            EXPECT_TRUE(SameDeck(read, CardData{})) << c.name;
        }
    }
}

TEST(DeckFileLoad, UnreadableFilesAreErrorsWithAReasonAndTheDeckStays) {
    test::TempFolder dir;
    const CardData window = VariedDeck(3);
    for (const std::string& path : {dir.Path("missing.krv"), dir.Path("")}) {
        for (const bool keep : {false, true}) {
            CardData deck = window;
            try {
                LoadCardFile(path, deck, keep);
                ADD_FAILURE() << "loaded " << path;
            } catch (const DeckError& e) {
                EXPECT_FALSE(DescribeDeckError(e).empty());
            }
            EXPECT_TRUE(SameDeck(deck, window));
        }
    }
}

TEST(DeckFileSave, TooLongTextIsRefusedAndTheOldFileStays) {
    test::TempFolder dir;
    WriteBytes(dir.Path("d.krv"), OneCardDeck);
    CardData deck = VariedDeck(2);
    deck.Items[2][2] = std::string(65536, 'x');
    EXPECT_THROW(SaveCardFile(dir.Path("d.krv"), deck), DeckError);
    EXPECT_EQ(ReadBytes(dir.Path("d.krv")), OneCardDeck);
    EXPECT_THROW(SaveCardFile(dir.Path("new.krv"), deck), DeckError);
    EXPECT_FALSE(test::FileExists(dir.Path("new.krv")));
}

TEST(DeckFileSave, FailuresAreErrorsAndLeaveNothingHalfWritten) {
    test::TempFolder dir;
    EXPECT_THROW(SaveCardFile(dir.Path("no/such/folder/d.krv"), VariedDeck(1)), DeckError);
    // A folder in the way cannot be replaced by a file.
    EXPECT_THROW(SaveCardFile(dir.Path(""), VariedDeck(1)), DeckError);

    // Arrays of different lengths would make a file no reader accepts.
    CardData uneven = VariedDeck(3);
    uneven.Checks.pop_back();
    EXPECT_THROW(SaveCardFile(dir.Path("u.krv"), uneven), DeckError);
    EXPECT_FALSE(test::FileExists(dir.Path("u.krv")));
}

// While it lives, this thread's file access is checked as an ordinary user's
// (nobody's): root passes every permission check, an ordinary user does not.
class AsOrdinaryUser {
public:
    AsOrdinaryUser() {
        if (Root_) {
            setfsgid(Nobody);
            setfsuid(Nobody);
        }
    }
    ~AsOrdinaryUser() {
        if (Root_) {
            setfsuid(0);
            setfsgid(0);
        }
    }
    AsOrdinaryUser(const AsOrdinaryUser&) = delete;
    AsOrdinaryUser& operator=(const AsOrdinaryUser&) = delete;

private:
    static constexpr uid_t Nobody = 65534;
    const bool Root_ = geteuid() == 0;
};

TEST(DeckFileSave, InAFolderThatAllowsNoNewFileAnExistingFileIsWrittenInPlace) {
    test::TempFolder dir;
    const QString folder = QString::fromStdString(dir.Path("shared"));
    const std::string path = dir.Path("shared/d.krv");
    ASSERT_TRUE(QDir().mkdir(folder));
    WriteBytes(path, OneCardDeck);
    const auto all = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    QFile::setPermissions(QString::fromStdString(dir.Path("")),
                          all | QFile::WriteOwner | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
    QFile::setPermissions(QString::fromStdString(path),
                          all | QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther);
    QFile::setPermissions(folder, all | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
    const CardData deck = VariedDeck(3);
    {
        const AsOrdinaryUser user;
        ASSERT_FALSE(QFile(folder + QStringLiteral("/probe")).open(QIODevice::WriteOnly));
        EXPECT_NO_THROW(SaveCardFile(path, deck));
        EXPECT_THROW(SaveCardFile(dir.Path("shared/new.krv"), deck), DeckError);
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(ReadBytes(path), WriteDeckRecord(deck));
    EXPECT_FALSE(test::FileExists(dir.Path("shared/new.krv")));
}

TEST(DeckFileSave, OverALongerFileTheFileIsExactlyTheRecord) {
    test::TempFolder dir;
    SaveCardFile(dir.Path("d.krv"), VariedDeck(50));
    CardData small;
    WriteBytes(dir.Path("s.krv"), OneCardDeck);
    LoadCardFile(dir.Path("s.krv"), small, false);
    SaveCardFile(dir.Path("d.krv"), small);
    EXPECT_EQ(ReadBytes(dir.Path("d.krv")), OneCardDeck);
}

TEST(GrowingProcedures, KeepContentsAndFillNewSlotsEmpty) {
    std::vector<CardData::ItemTexts> grid(2);
    grid[1][2] = "kept";
    SetGridValue(grid, 1, 4, std::string("new"));
    ASSERT_EQ(grid.size(), 5u);
    EXPECT_EQ(grid[1][2], "kept");
    EXPECT_EQ(grid[4][1], "new");
    EXPECT_EQ(grid[3][1], "");

    std::vector<CardData::ItemChecks> checks(1, CardData::ItemChecks{True16, True16, True16});
    SetGridValue(checks, 2, 2, True16);
    EXPECT_EQ(checks[0][0], True16);
    EXPECT_EQ(checks[1], (CardData::ItemChecks{False16, False16, False16}));

    std::vector<int16_t> list{5};
    SetListValue(list, 3, int16_t{2});
    EXPECT_EQ(list, (std::vector<int16_t>{5, 0, 0, 2}));
    SetListValue(list, 1, int16_t{9});
    EXPECT_EQ(list, (std::vector<int16_t>{5, 9, 0, 2}));
}

}  // namespace
}  // namespace korva
