#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>

#include "deck/Cp932Text.h"
#include "deck/DeckFile.h"
#include "deck/DeckRecord.h"
#include "tests/deck/Cp932Table.h"
#include "tests/deck/CsvCases.h"
#include "tests/deck/DeckTestSupport.h"
#include "tests/support/ByteNames.h"
#include "tests/tools/ToolRun.h"

namespace korva {
namespace {

const std::string convertUsage =
    "convert [--encoding auto|cp932|utf-8|utf-16] [--separator comma|tab|semicolon|pipe|space|colon] [--quoting rfc|none] [--header] "
    "[--columns A,B] [--replace] IN OUT.krv|OUT.korva";
const std::string inspectUsage =
    "inspect [--encoding auto|cp932|utf-8|utf-16] [--separator comma|tab|semicolon|pipe|space|colon] [--quoting rfc|none] [--header] "
    "[--columns A,B] IN";
const std::string updateUsage =
    "update [--encoding auto|cp932|utf-8|utf-16] [--separator comma|tab|semicolon|pipe|space|colon] [--quoting rfc|none] [--header] "
    "[--columns A,B] [--replace] [--out OUT] [--keep-missing] DECK LIST";
const std::string exportUsage =
    "export IN OUT.csv [--encoding cp932|utf-8] [--separator comma|tab|semicolon|pipe|space|colon] [--quoting rfc|none]";

using test::Q;
using test::RunDeckTool;
using test::ToolRun;

std::vector<std::string> FolderEntries(const test::TempFolder& dir) {
    std::vector<std::string> names;
    for (const QString& name :
         QDir(Q(dir.Path(""))).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
        names.push_back(name.toStdString());
    }
    return names;
}

// The tool run with arguments as bytes (QProcess would encode them as UTF-8),
// its standard output and error into the files named. The exit code, or -1.
int RunWithBytes(std::vector<std::string> args, const std::string& out, const std::string& err) {
    args.insert(args.begin(), KORVA_DECK_TOOL);
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, KORVA_DECK_TOOL, &files, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    int status = 0;
    if (spawned != 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

TEST(KorvaDeckTool, NamesInAnyEncodingReadAndWriteExactlyTheFilesNamed) {
    for (const test::ByteName& name : test::ByteNames) {
        test::TempFolder dir;
        test::TempFolder logs;
        const std::string krv = name.stem + ".krv";
        const std::string csv = name.stem + ".csv";
        test::WriteBytes(dir.Path("words.csv"), "a,b");
        // What a lossy decoding of each name would reach instead.
        test::WriteBytes(dir.Path(test::LossyName(krv)), "decoy deck");
        test::WriteBytes(dir.Path(test::LossyName(csv)), "decoy list");
        const auto run = [&](const std::vector<std::string>& args) {
            return RunWithBytes(args, logs.Path("out"), logs.Path("err"));
        };

        EXPECT_EQ(run({"convert", dir.Path("words.csv"), dir.Path(krv)}), 0) << name.label;
        EXPECT_EQ(run({"export", dir.Path(krv), dir.Path(csv)}), 0) << name.label;
        EXPECT_EQ(run({"convert", dir.Path(csv), dir.Path("words.krv")}), 0) << name.label;
        EXPECT_EQ(test::ReadBytes(logs.Path("err")), "") << name.label;

        CardData deck;
        LoadCardFile(dir.Path(krv), deck, false);
        EXPECT_EQ(deck.Items.at(1).at(1), "a") << name.label;
        EXPECT_EQ(test::ReadBytes(dir.Path(csv)), "a,b\r\n") << name.label;
        EXPECT_EQ(test::ReadBytes(dir.Path("words.krv")), test::ReadBytes(dir.Path(krv))) << name.label;
        EXPECT_EQ(test::ReadBytes(dir.Path(test::LossyName(krv))), "decoy deck") << name.label;
        EXPECT_EQ(test::ReadBytes(dir.Path(test::LossyName(csv))), "decoy list") << name.label;
        std::vector<std::string> expected = {csv,         krv,        test::LossyName(csv), test::LossyName(krv),
                                             "words.csv", "words.krv"};
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(test::FolderBytes(dir.Path("")), expected) << name.label;
    }
}

TEST(KorvaDeckTool, ConvertReadsCsvAndDecksAsTheProgramOpensThem) {
    test::TempFolder dir;
    test::WriteBytes(dir.Path("one.csv"), "a,b");
    const ToolRun csv = RunDeckTool({"convert", Q(dir.Path("one.csv")), Q(dir.Path("one.krv"))});
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
    const ToolRun krv = RunDeckTool({"convert", Q(dir.Path("varied.krv")), Q(dir.Path("copy.krv"))});
    EXPECT_EQ(krv.exitCode, 0) << krv.err;
    EXPECT_EQ(test::ReadBytes(dir.Path("copy.krv")), varied);

    // Endings count in any case, as in the program's open dialog.
    test::WriteBytes(dir.Path("UP.KRV"), varied);
    const ToolRun upper = RunDeckTool({"convert", Q(dir.Path("UP.KRV")), Q(dir.Path("UP2.Krv"))});
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

    const ToolRun run = RunDeckTool({"show", Q(dir.Path("d.krv"))});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out,
              "{\"total\":2,\"modes\":{\"TurnMode\":2,\"ReservedMode\":7,\"ViewKind\":1,\"AnswerMode\":2},"
              "\"cards\":[{\"question\":2,\"checks\":[true,false],\"items\":[\"\xE5\x8D\x98\xE8\xAA\x9E\","
              "\"say \\\"hi\\\"\\\\\\n\"],\"memory\":[null,null]},"
              "{\"question\":1,\"checks\":[false,true],\"items\":[\"\xEF\xBF\xBD\",\"\"],\"memory\":[null,null]}]}\n");

    test::WriteBytes(dir.Path("e.csv"), "");
    EXPECT_EQ(RunDeckTool({"show", Q(dir.Path("e.csv"))}).out,
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
        const ToolRun run = RunDeckTool(args);
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
        const ToolRun run = RunDeckTool(args);
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
    EXPECT_EQ(RunDeckTool({"stats", Q(dir.Path("sjis.csv"))}).out,
              "{\"total\":" + std::to_string(deck.Total()) + ",\"asking\":{\"item1\":" + std::to_string(deck.Total()) +
                  ",\"item2\":0},\"checked\":{\"item1\":0,\"item2\":0},\"learnt\":0}\n");
}

std::vector<std::pair<std::string, std::string>> CardsIn(const std::string& path) {
    CardData deck;
    LoadCardFile(path, deck, false);
    return test::CardsOf(deck);
}

TEST(KorvaDeckTool, InspectsAndConvertsAListWithAHeaderAndAThirdColumn) {
    test::TempFolder dir;
    // As a public vocabulary list is made: UTF-8, CR LF, a header, meanings
    // quoted where they hold a comma, one letter code page 932 lacks.
    test::WriteBytes(dir.Path("jlpt.csv"),
                     "expression,reading,meaning\r\n日,ひ,\"day, sun\"\r\n喫茶店,きっさてん,café\r\n月,つき,moon\r\n");
    const ToolRun inspect = RunDeckTool({"inspect", "--header", "--columns", "1,3", Q(dir.Path("jlpt.csv"))});
    EXPECT_EQ(inspect.exitCode, 0) << inspect.err;
    EXPECT_EQ(
        inspect.out,
        "{\"encoding\":\"utf-8\",\"bom\":false,\"lineEnd\":\"CRLF\",\"separator\":\",\",\"quoting\":\"rfc\","
        "\"classic\":false,\"lines\":4,\"fields\":3,\"directives\":{},\"firstLine\":[\"expression\",\"reading\",\"meaning\"],"
        "\"unrepresentable\":[{\"line\":3,\"char\":\"é\"}],\"unrepresentableCount\":1,"
        "\"equivalents\":{\"count\":0,\"first\":[]},\"dropped\":0}\n");
    // Only the columns read can hold what needs replacing.
    EXPECT_NE(RunDeckTool({"inspect", Q(dir.Path("jlpt.csv"))})
                  .out.find("\"unrepresentable\":[],\"unrepresentableCount\":0,"),
              std::string::npos);
    // Equivalents are listed apart; invisible characters are counted, in
    // any column.
    test::WriteBytes(dir.Path("radicals.csv"), "\u2F00\u200B,\u2F06\nb\u00BD,c,\uFEFF\n");
    EXPECT_NE(RunDeckTool({"inspect", Q(dir.Path("radicals.csv"))})
                  .out.find("\"unrepresentable\":[{\"line\":2,\"char\":\"\u00BD\"}],\"unrepresentableCount\":1,"
                            "\"equivalents\":{\"count\":2,\"first\":[{\"line\":1,\"char\":\"\u2F00\"},{\"line\":1,"
                            "\"char\":\"\u2F06\"}]},\"dropped\":2}\n"),
              std::string::npos);

    const ToolRun convert = RunDeckTool(
        {"convert", "--header", "--columns", "1,3", "--replace", Q(dir.Path("jlpt.csv")), Q(dir.Path("jlpt.krv"))});
    EXPECT_EQ(convert.exitCode, 0) << convert.err;
    EXPECT_EQ(convert.out, "1文字を置き換えました: 3行目「é」\n");
    EXPECT_EQ(CardsIn(dir.Path("jlpt.krv")),
              test::Cp932(test::Pairs{{"日", "day, sun"}, {"喫茶店", "cafe"}, {"月", "moon"}}));
    // A list of many such letters names the first lines and counts the rest.
    std::string accents;
    for (int line = 1; line <= 12; ++line) {
        accents += "é,ü\n";
    }
    test::WriteBytes(dir.Path("accents.csv"), accents);
    EXPECT_EQ(RunDeckTool({"convert", "--replace", Q(dir.Path("accents.csv")), Q(dir.Path("accents.krv"))}).out,
              "24文字を置き換えました: 1行目「é」、1行目「ü」、2行目「é」、2行目「ü」、3行目「é」、3行目「ü」、"
              "4行目「é」、4行目「ü」、5行目「é」、5行目「ü」、ほか14文字\n");

    // A first line far too long to name columns is cut, field by field and
    // in its number of fields, and the replaced characters past the first
    // hundred are only counted.
    const std::string longField(300, 'x');
    std::string wide;
    for (int field = 0; field < 300; ++field) {
        wide += (field > 0 ? "," : "") + longField.substr(0, 300 - 2) + "é";
    }
    test::WriteBytes(dir.Path("wide.csv"), wide + "\n" + accents + accents + accents + accents + accents);
    std::string firstLine;
    for (int field = 0; field < 256; ++field) {
        firstLine += std::string(field > 0 ? "," : "") + "\"" + longField.substr(0, 256) + "…\"";
    }
    std::string unrepresentable = "{\"line\":1,\"char\":\"é\"},{\"line\":1,\"char\":\"é\"}";
    for (int line = 2; line <= 50; ++line) {
        unrepresentable += ",{\"line\":" + std::to_string(line) + ",\"char\":\"é\"},{\"line\":" + std::to_string(line) +
                           ",\"char\":\"ü\"}";
    }
    EXPECT_EQ(RunDeckTool({"inspect", Q(dir.Path("wide.csv"))}).out,
              "{\"encoding\":\"utf-8\",\"bom\":false,\"lineEnd\":\"LF\",\"separator\":\",\",\"quoting\":\"none\","
              "\"classic\":false,\"lines\":61,\"fields\":300,\"directives\":{},\"firstLine\":[" +
                  firstLine + "],\"unrepresentable\":[" + unrepresentable +
                  "],\"unrepresentableCount\":122,\"equivalents\":{\"count\":0,\"first\":[]},\"dropped\":0}\n");

    // Anki's export: its directives reported, its columns named by them.
    test::WriteBytes(dir.Path("anki.txt"),
                     "#separator:tab\n#html:true\n#columns:表\t裏\n#tags column:4\n"
                     "犬\t<div>dog</div>&amp;<br>cat\t\tpets\n");
    EXPECT_EQ(RunDeckTool({"inspect", Q(dir.Path("anki.txt"))}).out,
              "{\"encoding\":\"utf-8\",\"bom\":false,\"lineEnd\":\"LF\",\"separator\":\"\\t\",\"quoting\":\"none\","
              "\"classic\":false,\"lines\":1,\"fields\":4,\"directives\":{\"separator\":\"tab\",\"html\":\"true\","
              "\"columns\":\"表\\t裏\",\"tags column\":\"4\"},\"firstLine\":[\"表\",\"裏\",\"\",\"タグ\"],"
              "\"unrepresentable\":[],\"unrepresentableCount\":0,\"equivalents\":{\"count\":0,\"first\":[]},"
              "\"dropped\":0}\n");
    test::WriteBytes(dir.Path("colon.txt"), "a:b|c\n");

    // Excel's Unicode text, named .txt; today's --encoding still names it.
    test::WriteBytes(dir.Path("excel.txt"), std::string("\xFF\xFE"
                                                        "a\0\t\0b\0\r\0\n\0",
                                                        12));
    test::WriteBytes(dir.Path("lf.tsv"), "a\tb\nc\td\n");
    test::WriteBytes(dir.Path("classic.csv"), test::Cp932("単語,たん\nご\r\n"));
    const struct {
        QStringList args;
        test::Pairs cards;
    } reads[] = {
        {{"convert", Q(dir.Path("excel.txt")), Q(dir.Path("o.krv"))}, {{"a", "b"}}},
        {{"convert", "--encoding", "utf-16", Q(dir.Path("excel.txt")), Q(dir.Path("o.krv"))}, {{"a", "b"}}},
        {{"convert", "--encoding", "utf-8", Q(dir.Path("lf.tsv")), Q(dir.Path("o.krv"))}, {{"a", "b"}, {"c", "d"}}},
        {{"convert", "--separator", "comma", Q(dir.Path("lf.tsv")), Q(dir.Path("o.krv"))},
         {{"a\tb", ""}, {"c\td", ""}}},
        {{"convert", "--encoding", "cp932", Q(dir.Path("classic.csv")), Q(dir.Path("o.krv"))},
         test::Cp932(test::Pairs{{"単語", "たん\nご"}})},
        {{"convert", Q(dir.Path("anki.txt")), Q(dir.Path("o.krv"))}, test::Cp932(test::Pairs{{"犬", "dog\n&\ncat"}})},
        {{"convert", "--separator", "colon", Q(dir.Path("colon.txt")), Q(dir.Path("o.krv"))}, {{"a", "b|c"}}},
        {{"convert", "--separator", "pipe", Q(dir.Path("colon.txt")), Q(dir.Path("o.krv"))}, {{"a:b", "c"}}},
    };
    for (const auto& r : reads) {
        const ToolRun run = RunDeckTool(r.args);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(CardsIn(dir.Path("o.krv")), r.cards) << r.args.join(' ').toStdString();
    }
}

TEST(KorvaDeckTool, AnExportedListComesBackThroughEveryWriterFormat) {
    test::TempFolder dir;
    CardData deck = test::VariedDeck(5);
    const test::Pairs texts = test::Cp932(test::Pairs{{"to eat, to consume", "食べる"},
                                                      {"say \"hi\"", "\"quoted\""},
                                                      {"two\r\nlines", "a\nb\rc"},
                                                      {"tab\there; semi", ""},
                                                      {"", "end"}});
    for (std::size_t c = 0; c < texts.size(); ++c) {
        deck.Items[c + 1][1] = texts[c].first;
        deck.Items[c + 1][2] = texts[c].second;
    }
    SaveCardFile(dir.Path("deck.krv"), deck);
    const QStringList formats[] = {{"--encoding", "utf-8"},
                                   {"--encoding", "utf-8", "--separator", "tab"},
                                   {"--encoding", "utf-8", "--separator", "semicolon"},
                                   {"--quoting", "rfc"}};
    for (const QStringList& format : formats) {
        SCOPED_TRACE(format.join(' ').toStdString());
        const ToolRun out =
            RunDeckTool(QStringList{"export", Q(dir.Path("deck.krv")), Q(dir.Path("list.csv"))} + format);
        ASSERT_EQ(out.exitCode, 0) << out.err;
        QStringList back{"convert", Q(dir.Path("list.csv")), Q(dir.Path("back.krv"))};
        back << format.mid(format.indexOf("--separator"), format.contains("--separator") ? 2 : 0);
        const ToolRun in = RunDeckTool(back);
        ASSERT_EQ(in.exitCode, 0) << in.err;
        EXPECT_EQ(CardsIn(dir.Path("back.krv")), texts);
    }
    // A .tsv list is tab-separated unless --separator says otherwise.
    const struct {
        QStringList format;
        std::string firstLine;
    } tsv[] = {
        {{"--encoding", "utf-8"}, "to eat, to consume\t食べる\r\n"},
        {{"--encoding", "utf-8", "--separator", "comma"}, "\"to eat, to consume\",食べる\r\n"},
        {{"--quoting", "rfc"}, texts[0].first + "\t" + texts[0].second + "\r\n"},
    };
    for (const auto& t : tsv) {
        const ToolRun out =
            RunDeckTool(QStringList{"export", Q(dir.Path("deck.krv")), Q(dir.Path("list.TSV"))} + t.format);
        EXPECT_EQ(out.exitCode, 0) << out.err;
        EXPECT_TRUE(test::ReadBytes(dir.Path("list.TSV")).starts_with(t.firstLine)) << t.format.join(' ').toStdString();
    }
    // Code page 932 with quotes only where a text needs them.
    EXPECT_TRUE(
        test::ReadBytes(dir.Path("list.csv")).starts_with("\"to eat, to consume\"," + texts[0].second + "\r\n"));
}

TEST(KorvaDeckTool, RefusalsSayWhyOrHowToUseTheCommandAndLeaveNoFile) {
    test::TempFolder dir;
    const auto path = [&dir](const std::string& name) {
        return Q(dir.Path(name));
    };
    test::WriteBytes(dir.Path("in.csv"), "a,b");
    CardData deck = test::VariedDeck(2);
    deck.Items[2][1] = "a,b";
    deck.Items[2][2] = "a\tb";
    SaveCardFile(dir.Path("bad.krv"), deck);
    deck.Items[2] = {"", "a", "\"quoted\""};
    SaveCardFile(dir.Path("quote.krv"), deck);
    test::WriteBytes(dir.Path("keep.csv"), "old");
    test::WriteBytes(dir.Path("open.csv"), "a,b\n\"c,d\n");
    test::WriteBytes(dir.Path("cafe.csv"), "café,coffee\n");
    test::WriteBytes(dir.Path("long.csv"), "a,b\n" + std::string(MaxItemBytes + 1, 'x') + ",y\n");

    const std::string usage = " 使い方: korva-deck ";
    const struct {
        QStringList args;
        std::string err;
    } cases[] = {
        {{"convert", "--encoding", "utf-8", path("bad.krv"), path("o.krv")},
         ": " + dir.Path("bad.krv") +
             ": --encoding などの単語リストのオプションは .csv .tsv .txt のファイルにだけ使えます。"},
        {{"convert", "--encoding", "latin1", path("in.csv"), path("o.krv")},
         " convert: --encoding には auto、cp932、utf-8、utf-16 のどれかを指定します。" + usage + convertUsage},
        {{"convert", "--separator", "slash", path("in.csv"), path("o.krv")},
         " convert: --separator には comma、tab、semicolon、pipe、space、colon のどれかを指定します。" + usage +
             convertUsage},
        {{"convert", path("in.csv"), path("o.krv"), "--quoting"},
         " convert: --quoting には rfc か none を指定します。" + usage + convertUsage},
        {{"convert", "--columns", "0,2", path("in.csv"), path("o.krv")},
         " convert: --columns には 1,3 のように列の番号を2つ指定します。" + usage + convertUsage},
        {{"convert", "--columns", "1,3", path("in.csv"), path("o.krv")},
         ": " + dir.Path("in.csv") + ": 3列目がありません。このファイルの項目は最も多い行で2列です。"},
        {{"convert", path("open.csv"), path("o.krv")},
         ": " + dir.Path("open.csv") + ": 2行目: 引用符 (\") で始まる項目が閉じていません"},
        {{"convert", path("cafe.csv"), path("o.krv")},
         ": " + dir.Path("cafe.csv") + ": 1行目: 「é」はShift_JISにない文字です"},
        {{"convert", "--replace", path("long.csv"), path("o.krv")},
         ": " + dir.Path("long.csv") + ": 2行目、1列目: 項目の文字列が65535バイトを超えているため読み込めません。"},
        {{"inspect", "--replace", path("in.csv")},
         " inspect: 「--replace」というオプションはありません。" + usage + inspectUsage},
        {{"inspect", path("bad.krv")},
         ": " + dir.Path("bad.krv") + ": inspect は .csv .tsv .txt のファイルにだけ使えます。"},
        {{"export", "--encoding", "utf-16", path("in.csv"), path("o.csv")},
         " export: --encoding には cp932 か utf-8 を指定します。" + usage + exportUsage},
        {{"export", path("bad.krv"), path("keep.csv")},
         ": " + dir.Path("bad.krv") + ": 2枚目のカードの項目1にコンマがあり、CSVでは同じ項目に戻りません。"},
        {{"export", "--separator", "tab", path("bad.krv"), path("keep.csv")},
         ": " + dir.Path("bad.krv") + ": 2枚目のカードの項目2にタブがあり、CSVでは同じ項目に戻りません。"},
        {{"export", path("quote.krv"), path("keep.csv")},
         ": " + dir.Path("quote.krv") +
             ": 2枚目のカードの項目2が \" で始まり、引用符なしのCSVでは同じ項目に戻りません。--quoting rfc で書き出して"
             "ください。"},
        {{"export", path("in.csv"), path("o.krv")},
         ": " + dir.Path("o.krv") + ": 出力ファイル名が .csv .tsv .txt のどれでも終わっていません。"},
        {{"export", path("in.csv")}, " export: ファイルの数が違います。" + usage + exportUsage},
        {{"stats", "--encoding", "utf-8", path("bad.krv")},
         " stats: 「--encoding」というオプションはありません。" + usage + "stats [--json] [--at TIME] FILE"},
        {{"stats", "--json", "--at", "yesterday", path("bad.krv")},
         " stats: --at には 2024-06-01T12:00:00Z のような時刻 (ISO 8601) を指定します。" + usage +
             "stats [--json] [--at TIME] FILE"},
    };
    const auto before = FolderEntries(dir);
    for (const auto& c : cases) {
        const ToolRun run = RunDeckTool(c.args);
        EXPECT_EQ(run.exitCode, 1) << c.err;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "korva-deck" + c.err + "\n");
    }
    EXPECT_EQ(FolderEntries(dir), before);
    EXPECT_EQ(test::ReadBytes(dir.Path("keep.csv")), "old");

    // The report of replaced characters cannot be written: the deck is not
    // replaced either.
    test::WriteBytes(dir.Path("keep.krv"), "old");
    const int full = RunWithBytes({"convert", "--replace", dir.Path("cafe.csv"), dir.Path("keep.krv")}, "/dev/full",
                                  dir.Path("err"));
    EXPECT_EQ(full, 1);
    EXPECT_EQ(test::ReadBytes(dir.Path("err")), "korva-deck: " + dir.Path("keep.krv") + ": 出力に書き込めません。\n");
    EXPECT_EQ(test::ReadBytes(dir.Path("keep.krv")), "old");
}

TEST(KorvaDeckTool, UpdateWritesTheListBackIntoTheDeckOrOutAndAFailureChangesNothing) {
    test::TempFolder dir;
    // Items 1 are "単語1".."単語3" in code page 932, items 2 bytes code page
    // 932 cannot decode, marks and asked items all different.
    const CardData deck = test::VariedDeck(3);
    const std::string deckBytes = WriteDeckRecord(deck);
    test::WriteBytes(dir.Path("deck.krv"), deckBytes);
    // A classic list, read byte for byte: card 3 as it was, a new card, card 1
    // with another item 2.
    test::WriteBytes(dir.Path("list.csv"), deck.Items[3][1] + "," + deck.Items[3][2] + "\r\n\x90\x56,new\r\n" +
                                               deck.Items[1][1] + ",one\r\n");
    CardData expected = deck;
    expected.Items = {deck.Items[0], deck.Items[3], {"", "\x90\x56", "new"}, deck.Items[1]};
    expected.Items[3][2] = "one";
    expected.Checks = {deck.Checks[0], deck.Checks[3], {False16, False16, False16}, deck.Checks[1]};
    expected.QuestionItems = {deck.QuestionItems[0], deck.QuestionItems[3], 1, deck.QuestionItems[1]};

    const ToolRun out =
        RunDeckTool({"update", "--out", Q(dir.Path("out.krv")), Q(dir.Path("deck.krv")), Q(dir.Path("list.csv"))});
    EXPECT_EQ(out.exitCode, 0) << out.err;
    EXPECT_EQ(out.out, "{\"kept\":1,\"changed\":1,\"added\":1,\"removed\":1}\n");
    EXPECT_EQ(out.err, "");
    EXPECT_EQ(test::ReadBytes(dir.Path("out.krv")), WriteDeckRecord(expected));
    EXPECT_EQ(test::ReadBytes(dir.Path("deck.krv")), deckBytes);

    test::WriteBytes(dir.Path("cafe.csv"), "caf\xC3\xA9,coffee\n");
    test::WriteBytes(dir.Path("open.csv"), "a,b\n\"c,d\n");
    test::WriteBytes(dir.Path("cut.krv"), deckBytes.substr(0, deckBytes.size() - 1));
    SaveCardFile(dir.Path("full.krv"), test::VariedDeck(MaxCards));
    const std::string fullBytes = test::ReadBytes(dir.Path("full.krv"));
    const auto before = FolderEntries(dir);
    const struct {
        QStringList args;
        std::string err;  // its start
    } refused[] = {
        {{"update", Q(dir.Path("deck.krv")), Q(dir.Path("missing.csv"))}, dir.Path("missing.csv") + ": "},
        {{"update", Q(dir.Path("deck.krv")), Q(dir.Path("open.csv"))}, dir.Path("open.csv") + ": 2行目"},
        {{"update", Q(dir.Path("deck.krv")), Q(dir.Path("cafe.csv"))}, dir.Path("cafe.csv") + ": 1行目"},
        {{"update", "--header", Q(dir.Path("deck.krv")), Q(dir.Path("full.krv"))},
         dir.Path("full.krv") + ": --encoding"},
        {{"update", Q(dir.Path("cut.krv")), Q(dir.Path("list.csv"))}, dir.Path("cut.krv") + ": "},
        {{"update", Q(dir.Path("list.csv")), Q(dir.Path("list.csv"))}, dir.Path("list.csv") + ": デッキファイル名が"},
        {{"update", "--out", Q(dir.Path("o.csv")), Q(dir.Path("deck.krv")), Q(dir.Path("list.csv"))},
         dir.Path("o.csv") + ": 出力ファイル名が"},
        {{"update", "--keep-missing", Q(dir.Path("full.krv")), Q(dir.Path("list.csv"))},
         dir.Path("full.krv") + ": カードが32767枚を超えています。\n"},
        {{"update", Q(dir.Path("deck.krv")), Q(dir.Path("list.csv")), "--out"}, " update: --out には"},
    };
    for (const auto& c : refused) {
        const ToolRun run = RunDeckTool(c.args);
        EXPECT_EQ(run.exitCode, 1) << c.err;
        EXPECT_EQ(run.out, "") << c.err;
        EXPECT_TRUE(run.err.starts_with("korva-deck" + std::string(c.err.front() == ' ' ? "" : ": ") + c.err))
            << run.err;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    }
    // Counts that cannot be printed leave the deck too.
    test::TempFolder logs;
    EXPECT_EQ(RunWithBytes({"update", dir.Path("deck.krv"), dir.Path("list.csv")}, "/dev/full", logs.Path("err")), 1);
    EXPECT_EQ(FolderEntries(dir), before);
    EXPECT_EQ(test::ReadBytes(dir.Path("deck.krv")), deckBytes);
    EXPECT_EQ(test::ReadBytes(dir.Path("full.krv")), fullBytes);

    // In place, the missing card kept last; what --replace replaced beside the counts.
    const ToolRun inPlace = RunDeckTool({"update", "--keep-missing", Q(dir.Path("deck.krv")), Q(dir.Path("list.csv"))});
    EXPECT_EQ(inPlace.exitCode, 0) << inPlace.err;
    EXPECT_EQ(inPlace.out, "{\"kept\":1,\"changed\":1,\"added\":1,\"removed\":0}\n");
    expected.Items.push_back(deck.Items[2]);
    expected.Checks.push_back(deck.Checks[2]);
    expected.QuestionItems.push_back(deck.QuestionItems[2]);
    EXPECT_EQ(test::ReadBytes(dir.Path("deck.krv")), WriteDeckRecord(expected));
    const ToolRun replaced = RunDeckTool({"update", "--replace", Q(dir.Path("deck.krv")), Q(dir.Path("cafe.csv"))});
    EXPECT_EQ(replaced.out, "{\"kept\":0,\"changed\":0,\"added\":1,\"removed\":4}\n");
    EXPECT_EQ(replaced.err, "korva-deck: " + dir.Path("cafe.csv") + ": 1文字を置き換えました: 1行目「é」\n");
    EXPECT_EQ(CardsIn(dir.Path("deck.krv")), (test::Pairs{{"cafe", "coffee"}}));
    EXPECT_EQ(FolderEntries(dir), before);
}

// A deck of these texts whose marks, asked items, hidden items, card 0 and
// modes all differ, for an update to keep or lose.
CardData MarkedDeck(const test::Pairs& texts) {
    CardData deck = test::VariedDeck(static_cast<int>(texts.size()));
    for (std::size_t c = 0; c < texts.size(); ++c) {
        deck.Items[c + 1][1] = texts[c].first;
        deck.Items[c + 1][2] = texts[c].second;
    }
    return deck;
}

TEST(KorvaDeckTool, UpdateWithTheUnchangedExportKeepsEveryCardAndByte) {
    test::TempFolder dir;
    // 「Ⅰ」, 「纊」 and 「≒」 in the code the encoder does not write, then in
    // the one it does.
    const CardData duplicates = MarkedDeck({{"\xFA\x4A", "\xED\x40"},
                                            {"\x87\x54", "x"},
                                            {"\xED\x40", "\x87\x90"},
                                            {"\xFA\x5C", "y"},
                                            {"\x87\x90", "\xFA\x4A"},
                                            {"\x81\xE0", ""}});
    // In code page 932, valid UTF-8 too: 「ﾎｼ」 is 「μ」, 「ﾐｶ」 「ж」 and
    // 「ﾃｩ」 「é」, which code page 932 lacks.
    const CardData katakana =
        MarkedDeck({{"\xCE\xBC", "star"}, {"\xD0\xB6", "\xCE\xBC"}, {"hoshi", "\xCE\xBC"}, {"caf", "\xC3\xA9"}});
    const CardData hashLed = MarkedDeck({{"#tags:noun", "x"}, {"#separator:tab", "y"}, {"#deck:z", ""}});
    const CardData loneCr = MarkedDeck({{"a\rb", "c\rd"}, {"x", "\r"}, {"\r\n", "e\r"}});
    const std::string asCp932 =
        "UTF-8としてもShift_JISとしても読めるため、デッキのカードと合うShift_JISとして読みました。";
    const std::string asCards = "先頭の「#」で始まる行を、Ankiの指定行ではなくデッキのカードとして読みました。";
    const QStringList utf8 = {"--encoding", "utf-8"};
    const QStringList rfc = {"--quoting", "rfc"};
    const QStringList unquoted = {"--encoding", "utf-8", "--quoting", "none"};
    const struct {
        const char* list;
        const CardData& deck;
        QStringList format;
        std::string said;  // beside the counts
        bool header = false;
    } trips[] = {
        {"dup.csv", duplicates, {}, ""},
        {"dup-rfc.csv", duplicates, rfc, ""},
        {"dup-utf8.csv", duplicates, utf8, ""},
        {"dup-utf8-none.csv", duplicates, unquoted, ""},
        {"kana.csv", katakana, {}, asCp932},
        {"kana-rfc.csv", katakana, rfc, asCp932},
        {"kana-utf8.tsv", katakana, utf8, ""},
        {"kana-utf8-none.csv", katakana, unquoted, ""},
        {"hash.csv", hashLed, {}, asCards},
        {"hash-rfc.csv", hashLed, rfc, ""},
        {"hash-utf8.csv", hashLed, utf8, ""},
        {"hash-utf8-none.csv", hashLed, unquoted, asCards},
        {"cr-rfc.csv", loneCr, rfc, ""},
        {"cr-utf8.tsv", loneCr, utf8, ""},
        {"full.csv", test::VariedDeck(MaxCards), {}, "", true},
    };
    for (const auto& trip : trips) {
        SCOPED_TRACE(trip.list);
        const std::string list = dir.Path(trip.list);
        SaveCardFile(dir.Path("deck.krv"), trip.deck);
        const ToolRun exported = RunDeckTool(QStringList{"export", Q(dir.Path("deck.krv")), Q(list)} + trip.format);
        ASSERT_EQ(exported.exitCode, 0) << exported.err;
        QStringList update{"update", "--out", Q(dir.Path("out.krv")), Q(dir.Path("deck.krv")), Q(list)};
        if (trip.header) {
            test::WriteBytes(list, "item 1,item 2\r\n" + test::ReadBytes(list));
            update << "--header";
        }
        const ToolRun run = RunDeckTool(update);
        EXPECT_EQ(run.out,
                  "{\"kept\":" + std::to_string(trip.deck.Total()) + ",\"changed\":0,\"added\":0,\"removed\":0}\n");
        EXPECT_EQ(run.err, trip.said.empty() ? "" : "korva-deck: " + list + ": " + trip.said + "\n");
        EXPECT_EQ(test::ReadBytes(dir.Path("out.krv")), test::ReadBytes(dir.Path("deck.krv")));
    }
    // The header is no card to convert either; --encoding still decides.
    EXPECT_EQ(RunDeckTool({"convert", "--header", Q(dir.Path("full.csv")), Q(dir.Path("full.krv"))}).exitCode, 0);
    EXPECT_EQ(CardsIn(dir.Path("full.krv")), test::CardsOf(test::VariedDeck(MaxCards)));
    SaveCardFile(dir.Path("kana.krv"), katakana);
    const ToolRun forced =
        RunDeckTool({"update", "--encoding", "utf-8", Q(dir.Path("kana.krv")), Q(dir.Path("kana-rfc.csv"))});
    EXPECT_EQ(forced.exitCode, 1);
    EXPECT_EQ(forced.err, "korva-deck: " + dir.Path("kana-rfc.csv") + ": 4行目: 「é」はShift_JISにない文字です\n");
}

TEST(KorvaDeckTool, HelpListsEveryCommandAndTheBareToolShowsItAsAnError) {
    const ToolRun help = RunDeckTool({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const std::string& usage :
         {convertUsage, inspectUsage, exportUsage, updateUsage, std::string("show [--at TIME] FILE"),
          std::string("stats [--json] [--at TIME] FILE"), std::string("log [--json] DECK.korva")}) {
        EXPECT_NE(help.out.find("  korva-deck " + usage + "\n"), std::string::npos) << usage;
    }
    const ToolRun bare = RunDeckTool({});
    EXPECT_EQ(bare.exitCode, 1);
    EXPECT_EQ(bare.err, help.out);
}

}  // namespace
}  // namespace korva
