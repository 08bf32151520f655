#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>

#include "deck/Cp932Text.h"
#include "deck/DeckFile.h"
#include "deck/DeckRecord.h"
#include "tests/deck/Cp932Table.h"
#include "tests/deck/DeckTestSupport.h"

namespace korva {
namespace {

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

ToolRun RunTool(const QStringList& args) {
    QProcess process;
    process.start(QStringLiteral(KORVA_DECK_TOOL), args);
    process.waitForFinished(30000);
    ToolRun run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput().toStdString();
    run.err = process.readAllStandardError().toStdString();
    return run;
}

QString Q(const std::string& s) { return QString::fromStdString(s); }

std::vector<std::string> FolderEntries(const test::TempFolder& dir) {
    std::vector<std::string> names;
    for (const QString& name :
         QDir(Q(dir.Path(""))).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
        names.push_back(name.toStdString());
    }
    return names;
}

TEST(KorvaDeckTool, ConvertReadsCsvAndDecksAsTheProgramOpensThem) {
    test::TempFolder dir;
    test::WriteBytes(dir.Path("one.csv"), "a,b");
    const ToolRun csv = RunTool({"convert", Q(dir.Path("one.csv")), Q(dir.Path("one.krv"))});
    EXPECT_EQ(csv.exitCode, 0) << csv.err;
    CardData imported;
    imported.Items = {{"", "", ""}, {"", "a", "b"}};
    imported.Checks.resize(2);
    imported.QuestionItems = {1, 1};
    imported.Modes = ImportedModes;
    EXPECT_EQ(test::ReadBytes(dir.Path("one.krv")), WriteDeckRecord(imported));

    // A deck converts to itself, byte for byte, whatever its fields hold.
    const std::string varied = WriteDeckRecord(test::VariedDeck(4));
    test::WriteBytes(dir.Path("varied.krv"), varied + "tail");
    const ToolRun krv = RunTool({"convert", Q(dir.Path("varied.krv")), Q(dir.Path("copy.krv"))});
    EXPECT_EQ(krv.exitCode, 0) << krv.err;
    EXPECT_EQ(test::ReadBytes(dir.Path("copy.krv")), varied);

    // Endings count in any case, as in the program's open dialog.
    test::WriteBytes(dir.Path("UP.KRV"), varied);
    const ToolRun upper = RunTool({"convert", Q(dir.Path("UP.KRV")), Q(dir.Path("UP2.Krv"))});
    EXPECT_EQ(upper.exitCode, 0) << upper.err;
    EXPECT_EQ(test::ReadBytes(dir.Path("UP2.Krv")), varied);
}

TEST(KorvaDeckTool, ShowPrintsTheDeckAsJson) {
    test::TempFolder dir;
    CardData deck;
    deck.Items = {{"zero", "x", "y"}, {"", "\x92\x50\x8C\xEA", "say \"hi\"\\\n"}, {"", "\x81", ""}};
    deck.Checks = {{True16, True16, True16}, {0, True16, 0}, {True16, 0, 0x40}};
    deck.QuestionItems = {1, 2, 1};
    deck.Modes = StudyModes{TurnShuffle, 7, ViewChecked, AnswerTest};
    SaveCardFile(dir.Path("d.krv"), deck);

    const ToolRun run = RunTool({"show", Q(dir.Path("d.krv"))});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out,
              "{\"total\":2,\"modes\":{\"TurnMode\":2,\"ReservedMode\":7,\"ViewKind\":1,\"AnswerMode\":2},"
              "\"cards\":[{\"question\":2,\"checks\":[true,false],\"items\":[\"\xE5\x8D\x98\xE8\xAA\x9E\","
              "\"say \\\"hi\\\"\\\\\\n\"]},"
              "{\"question\":1,\"checks\":[false,true],\"items\":[\"\xEF\xBF\xBD\",\"\"]}]}\n");

    test::WriteBytes(dir.Path("e.csv"), "");
    EXPECT_EQ(RunTool({"show", Q(dir.Path("e.csv"))}).out,
              "{\"total\":0,\"modes\":{\"TurnMode\":1,\"ReservedMode\":1,\"ViewKind\":4,\"AnswerMode\":1},"
              "\"cards\":[]}\n");
}

TEST(KorvaDeckTool, BadInputExitsWithOneLineAndLeavesNoFile) {
    test::TempFolder dir;
    const std::string valid = WriteDeckRecord(test::VariedDeck(2));
    test::WriteBytes(dir.Path("cut.krv"), valid.substr(0, valid.size() - 1));
    test::WriteBytes(dir.Path("ok.krv"), valid);
    test::WriteBytes(dir.Path("fookrv"), valid);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), Q(dir.Path("zero.krv"))));

    const QStringList bad[] = {
        {"convert", Q(dir.Path("cut.krv")), Q(dir.Path("out.krv"))},
        {"convert", Q(dir.Path("cut.krv")), Q(dir.Path("ok.krv"))},  // the old deck stays
        {"convert", Q(dir.Path("missing.csv")), Q(dir.Path("out.krv"))},
        {"convert", Q(dir.Path("fookrv")), Q(dir.Path("out.krv"))},  // an ending has its dot
        {"show", Q(dir.Path("zero.krv"))},                           // only regular files are read
        {"convert", Q(dir.Path("ok.krv")), Q(dir.Path("out.csv"))},  // never a deck over a CSV name
        {"convert", Q(dir.Path("ok.krv")), Q(dir.Path("no/dir/out.krv"))},
        {"show", Q(dir.Path("cut.krv"))},
        {"convert", Q(dir.Path("ok.krv"))},
        {"frobnicate", Q(dir.Path("ok.krv"))},
    };
    const auto before = FolderEntries(dir);
    for (const QStringList& args : bad) {
        const ToolRun run = RunTool(args);
        EXPECT_EQ(run.exitCode, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(run.out.empty()) << args.join(' ').toStdString();
        ASSERT_FALSE(run.err.empty()) << args.join(' ').toStdString();
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    }
    EXPECT_EQ(FolderEntries(dir), before);
    EXPECT_EQ(test::ReadBytes(dir.Path("ok.krv")), valid);
}

// Every character of the code page 932 table but the three the format cannot
// carry, 64 to an item.
CardData TableDeck() {
    std::vector<std::string> texts(1);
    for (const test::Cp932Entry& e : test::ReadCp932Table()) {
        if (e.bytes != "," && e.bytes != "\r" && e.bytes != "\n") {
            texts.back() += e.bytes;
            texts.resize(texts.size() + (texts.back().size() >= 128 ? 1 : 0));
        }
    }
    texts.resize(texts.size() + texts.size() % 2);
    CardData deck = test::VariedDeck(static_cast<int>(texts.size() / 2));
    for (std::size_t i = 0; i < texts.size(); ++i) {
        deck.Items[i / 2 + 1][i % 2 + 1] = texts[i];
    }
    return deck;
}

TEST(KorvaDeckTool, ExportThenConvertGivesTheSameItemsOverTheWholeCodePage) {
    test::TempFolder dir;
    const CardData deck = TableDeck();
    ASSERT_GT(deck.Total(), 50);
    SaveCardFile(dir.Path("table.krv"), deck);
    for (const QStringList& args : {
             QStringList{"export", Q(dir.Path("table.krv")), Q(dir.Path("sjis.csv"))},
             QStringList{"convert", "--encoding", "cp932", Q(dir.Path("sjis.csv")), Q(dir.Path("sjis.krv"))},
             QStringList{"export", Q(dir.Path("table.krv")), Q(dir.Path("utf8.csv")), "--encoding", "utf-8"},
             QStringList{"convert", "--encoding", "utf-8", Q(dir.Path("utf8.csv")), Q(dir.Path("utf8.krv"))},
         }) {
        const ToolRun run = RunTool(args);
        ASSERT_EQ(run.exitCode, 0) << run.err;
    }
    CardData sjis;
    LoadCardFile(dir.Path("sjis.krv"), sjis, false);
    CardData utf8;
    LoadCardFile(dir.Path("utf8.krv"), utf8, false);
    ASSERT_EQ(sjis.Total(), deck.Total());
    ASSERT_EQ(utf8.Total(), deck.Total());
    for (std::size_t c = 1; c < deck.Items.size(); ++c) {
        for (const std::size_t item : {1u, 2u}) {
            EXPECT_EQ(sjis.Items[c][item], deck.Items[c][item]) << c;
            // Characters with two code page 932 forms come back in the one
            // Windows writes: the same text, not every byte.
            EXPECT_EQ(Cp932ToUtf8(utf8.Items[c][item]), Cp932ToUtf8(deck.Items[c][item])) << c;
        }
    }
    EXPECT_EQ(RunTool({"stats", Q(dir.Path("sjis.csv"))}).out,
              "{\"total\":" + std::to_string(deck.Total()) + ",\"asking\":{\"item1\":" + std::to_string(deck.Total()) +
                  ",\"item2\":0},\"checked\":{\"item1\":0,\"item2\":0},\"learnt\":0}\n");
}

TEST(KorvaDeckTool, RefusalsSayWhyOrHowToUseTheCommandAndLeaveNoFile) {
    test::TempFolder dir;
    const auto path = [&dir](const std::string& name) {
        return Q(dir.Path(name));
    };
    test::WriteBytes(dir.Path("in.csv"), "a,b");
    CardData deck = test::VariedDeck(2);
    deck.Items[2][1] = "a,b";
    SaveCardFile(dir.Path("bad.krv"), deck);
    test::WriteBytes(dir.Path("keep.csv"), "old");

    const std::string usage = " 使い方: korva-deck ";
    const struct {
        QStringList args;
        std::string err;
    } cases[] = {
        {{"convert", "--encoding", "utf-8", path("bad.krv"), path("o.krv")},
         ": " + dir.Path("bad.krv") + ": --encoding utf-8 はCSVファイルにだけ使えます。"},
        {{"convert", "--encoding", "latin1", path("in.csv"), path("o.krv")},
         " convert: --encoding には utf-8 か cp932 を指定します。" + usage +
             "convert [--encoding utf-8|cp932] IN OUT.krv"},
        {{"export", path("bad.krv"), path("keep.csv")},
         ": " + dir.Path("bad.krv") + ": 2枚目のカードの項目1にコンマがあり、CSVでは同じ項目に戻りません。"},
        {{"export", path("in.csv"), path("o.krv")},
         ": " + dir.Path("o.krv") + ": 出力ファイル名が .csv で終わっていません。"},
        {{"export", path("in.csv")},
         " export: ファイルの数が違います。" + usage + "export IN OUT.csv [--encoding cp932|utf-8]"},
        {{"stats", "--encoding", "utf-8", path("bad.krv")},
         " stats: 「--encoding」というオプションはありません。" + usage + "stats FILE"},
    };
    const auto before = FolderEntries(dir);
    for (const auto& c : cases) {
        const ToolRun run = RunTool(c.args);
        EXPECT_EQ(run.exitCode, 1) << c.err;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "korva-deck" + c.err + "\n");
    }
    EXPECT_EQ(FolderEntries(dir), before);
    EXPECT_EQ(test::ReadBytes(dir.Path("keep.csv")), "old");
}

TEST(KorvaDeckTool, HelpListsEveryCommandAndTheBareToolShowsItAsAnError) {
    const ToolRun help = RunTool({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* usage : {"convert [--encoding utf-8|cp932] IN OUT.krv\n",
                              "export IN OUT.csv [--encoding cp932|utf-8]\n", "show FILE\n", "stats FILE\n"}) {
        EXPECT_NE(help.out.find(std::string("  korva-deck ") + usage), std::string::npos) << usage;
    }
    const ToolRun bare = RunTool({});
    EXPECT_EQ(bare.exitCode, 1);
    EXPECT_EQ(bare.err, help.out);
}

}  // namespace
}  // namespace korva
