#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>

#include "deck/DeckFile.h"
#include "deck/DeckRecord.h"
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
    imported.Modes = StudyModes{1, 1, 4, 1};
    EXPECT_EQ(test::ReadBytes(dir.Path("one.krv")), WriteDeckRecord(imported));

    // A deck converts to itself, byte for byte, whatever its fields hold.
    const std::string varied = WriteDeckRecord(test::VariedDeck(4));
    test::WriteBytes(dir.Path("varied.krv"), varied + "tail");
    const ToolRun krv = RunTool({"convert", Q(dir.Path("varied.krv")), Q(dir.Path("copy.krv"))});
    EXPECT_EQ(krv.exitCode, 0) << krv.err;
    EXPECT_EQ(test::ReadBytes(dir.Path("copy.krv")), varied);
}

TEST(KorvaDeckTool, ShowPrintsTheDeckAsJson) {
    test::TempFolder dir;
    CardData deck;
    deck.Items = {{"zero", "x", "y"}, {"", "\x92\x50\x8C\xEA", "say \"hi\"\\\n"}, {"", "\x81", ""}};
    deck.Checks = {{True16, True16, True16}, {0, True16, 0}, {True16, 0, 0x40}};
    deck.QuestionItems = {1, 2, 1};
    deck.Modes = StudyModes{2, 7, 1, 2};
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
    test::WriteBytes(dir.Path("deck.KRV"), valid);

    const QStringList bad[] = {
        {"convert", Q(dir.Path("cut.krv")), Q(dir.Path("out.krv"))},
        {"convert", Q(dir.Path("cut.krv")), Q(dir.Path("ok.krv"))},  // the old deck stays
        {"convert", Q(dir.Path("missing.csv")), Q(dir.Path("out.krv"))},
        {"convert", Q(dir.Path("deck.KRV")), Q(dir.Path("out.krv"))},  // endings are exact
        {"convert", Q(dir.Path("ok.krv")), Q(dir.Path("out.csv"))},    // never a deck over a CSV name
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

}  // namespace
}  // namespace korva
