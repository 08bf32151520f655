// korva-deck with .korva decks: texts of any language kept from a word list
// to what the commands print, conversions to and from .krv that refuse what
// would change, update keeping ids and the record, and the record printed.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>

#include "deck/Cp932Text.h"
#include "deck/CsvRows.h"
#include "deck/DeckFile.h"
#include "deck/DeckRecord.h"
#include "deck/KorvaFile.h"
#include "tests/deck/CsvCases.h"
#include "tests/deck/DeckTestSupport.h"
#include "tests/tools/ToolRun.h"
#include "tools/ReviewLog.h"

namespace korva {
namespace {

using test::Q;
using test::RunDeckTool;
using test::ToolRun;

TEST(KorvaFormatTool, EveryLanguageGoesFromAListIntoAKorvaDeckAndOutAsItWasComposed) {
    const struct {
        const char* language;
        std::string item1, item2;  // as the list holds them
        std::string shown1;        // composed
    } cases[] = {
        {"Korean", "안녕하세요", "こんにちは", "안녕하세요"},
        {"Chinese", "谢谢你", "ありがとう", "谢谢你"},
        {"French, composed", "café", "コーヒー", "café"},
        {"French, decomposed", "cafe\u0301", "コーヒー", "café"},
        {"Vietnamese", "Tie\u0302\u0301ng Vie\u0323\u0302t", "ベトナム語", "Tiếng Việt"},
    };
    test::TempFolder dir;
    std::string list;
    std::string json;
    std::string csv;
    for (const auto& c : cases) {
        list += c.item1 + "," + c.item2 + "\n";
        json += std::string(json.empty() ? "" : ",") + "{\"question\":1,\"checks\":[false,false],\"items\":[\"" +
                c.shown1 + "\",\"" + c.item2 + "\"],\"memory\":[null,null]}";
        csv += c.shown1 + "," + c.item2 + "\r\n";
    }
    test::WriteBytes(dir.Path("words.csv"), list);
    const ToolRun convert = RunDeckTool({"convert", Q(dir.Path("words.csv")), Q(dir.Path("words.korva"))});
    ASSERT_EQ(convert.exitCode, 0) << convert.err;
    EXPECT_EQ(convert.out + convert.err, "");
    const KorvaDeck deck = LoadKorvaFile(dir.Path("words.korva"));
    for (std::size_t c = 0; c < std::size(cases); ++c) {
        EXPECT_EQ(deck.cards.Items.at(c + 1)[1], cases[c].shown1) << cases[c].language;
        EXPECT_EQ(deck.cardIds.at(c + 1), static_cast<int64_t>(c + 1));
    }
    EXPECT_EQ(RunDeckTool({"show", Q(dir.Path("words.korva"))}).out,
              "{\"total\":5,\"modes\":{\"TurnMode\":1,\"ReservedMode\":1,\"ViewKind\":4,\"AnswerMode\":1},\"cards\":[" +
                  json + "]}\n");
    // UTF-8 is a .korva deck's own encoding for export; Shift_JIS lacks these.
    const ToolRun exported = RunDeckTool({"export", Q(dir.Path("words.korva")), Q(dir.Path("out.csv"))});
    EXPECT_EQ(exported.exitCode, 0) << exported.err;
    EXPECT_EQ(test::ReadBytes(dir.Path("out.csv")), csv);
    const ToolRun sjis =
        RunDeckTool({"export", Q(dir.Path("words.korva")), Q(dir.Path("sjis.csv")), "--encoding", "cp932"});
    EXPECT_EQ(sjis.exitCode, 1);
    EXPECT_TRUE(sjis.err.starts_with("korva-deck: " + dir.Path("words.korva") +
                                     ": Shift_JISにない文字があります: 1枚目の項目1「안」、"))
        << sjis.err;
    EXPECT_FALSE(QFile::exists(Q(dir.Path("sjis.csv"))));
}

TEST(KorvaFormatTool, AKrvDeckGoesToKorvaAndBackByteForByte) {
    test::TempFolder dir;
    CardData deck;
    ImportCsvRows(ReadCsvRows(test::Cp932("単語,たんご\r\n犬,いぬ\r\n①Ⅲ㈱,\"引用\"\r\n改\n行,ｶﾀｶﾅ\r\n")), deck, false);
    deck.Checks[1] = {False16, True16, False16};
    deck.Checks[3] = {False16, True16, True16};
    deck.QuestionItems[2] = 2;
    deck.Modes = StudyModes{TurnShuffle, 1, ViewUnchecked, AnswerTest};
    SaveCardFile(dir.Path("deck.krv"), deck);
    for (const QStringList& args : {QStringList{"convert", Q(dir.Path("deck.krv")), Q(dir.Path("deck.korva"))},
                                    QStringList{"convert", Q(dir.Path("deck.korva")), Q(dir.Path("back.krv"))}}) {
        const ToolRun run = RunDeckTool(args);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out + run.err, "") << args.join(' ').toStdString();
    }
    EXPECT_EQ(test::ReadBytes(dir.Path("back.krv")), test::ReadBytes(dir.Path("deck.krv")));
    EXPECT_EQ(LoadKorvaFile(dir.Path("deck.korva")).cards.Items[3][1], "①Ⅲ㈱");
}

TEST(KorvaFormatTool, AConversionThatWouldChangeATextNamesItAndIsRefusedUnlessReplace) {
    test::TempFolder dir;
    CardData krv = test::VariedDeck(2);
    krv.Items[1] = {"", "ok", "fine"};
    krv.Items[2] = {"",
                    "a\x81\x20"
                    "b",
                    "\xFF"};
    SaveCardFile(dir.Path("bytes.krv"), krv);
    KorvaDeck korva = MakeKorvaDeck(CardData{UnicodeCards()}, 1000, "1.0");
    ImportCsvRows({{"한국어", "ok"}, {"日本", "Đà Lạt"}}, korva.cards, false);
    korva.cards.encoding = ItemEncoding::Utf8;
    korva.cardIds = {0, 1, 2};
    korva.nextCardId = 3;
    korva.record = {ReviewRow{.timeMs = 5, .cardId = 1}};
    SaveKorvaFile(dir.Path("hangul.korva"), korva);

    const std::string replacement = "\xEF\xBF\xBD";
    const struct {
        QStringList args;
        int exitCode;
        std::string out, err;
        test::Pairs cards;  // UTF-8, of the output when written
    } cases[] = {
        {{"convert", Q(dir.Path("bytes.krv")), Q(dir.Path("o.korva"))},
         1,
         "",
         "korva-deck: " + dir.Path("bytes.krv") +
             ": Shift_JISとして読めないバイトがあり、UTF-8にできません: 2枚目の項目1 (81)、2枚目の項目2 (FF)。"
             "--replace で「" +
             replacement + "」に置き換えます。\n",
         {}},
        {{"convert", "--replace", Q(dir.Path("bytes.krv")), Q(dir.Path("o.korva"))},
         0,
         "2箇所を「" + replacement + "」に置き換えました: 2枚目の項目1 (81)、2枚目の項目2 (FF)\n",
         "",
         {{"ok", "fine"}, {"a" + replacement + " b", replacement}}},
        {{"convert", Q(dir.Path("hangul.korva")), Q(dir.Path("o.krv"))},
         1,
         "",
         "korva-deck: " + dir.Path("hangul.korva") +
             ": Shift_JISにない文字があります: 1枚目の項目1「한」、1枚目の項目1「국」、1枚目の項目1「어」、"
             "2枚目の項目2「Đ」、2枚目の項目2「à」、2枚目の項目2「ạ」。--replace で元の文字 (é → e) か〓に置き換えます。\n",
         {}},
        {{"convert", "--replace", Q(dir.Path("hangul.korva")), Q(dir.Path("o.krv"))},
         0,
         "6文字を置き換えました: 1枚目の項目1「한」、1枚目の項目1「국」、1枚目の項目1「어」、2枚目の項目2「Đ」、"
         "2枚目の項目2「à」、2枚目の項目2「ạ」\n",
         "korva-deck: " + dir.Path("o.krv") + ": 学習の記録は .krv のデッキファイルに保存されません (1件)。\n",
         {{"〓〓〓", "ok"}, {"日本", "〓a Lat"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const ToolRun run = RunDeckTool(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(run.err, c.err);
        const std::string out = c.args.back().toStdString();
        ASSERT_EQ(QFile::exists(Q(out)), c.exitCode == 0);
        if (c.exitCode == 0) {
            CardData shown;
            if (out.ends_with(".korva")) {
                shown = LoadKorvaFile(out).cards;
            } else {
                LoadCardFile(out, shown, false);
                for (auto& items : shown.Items) {
                    for (std::string& item : items) {
                        item = Cp932ToUtf8(item);
                    }
                }
            }
            EXPECT_EQ(test::CardsOf(shown), c.cards);
            QFile::remove(Q(out));
        }
    }
}

TEST(KorvaFormatTool, UpdateKeepsTheIdsOfMatchedCardsAndTheRecord) {
    test::TempFolder dir;
    KorvaDeck deck = MakeKorvaDeck(UnicodeCards(), 1000, "1.0");
    ImportCsvRows({{"사과", "りんご"}, {"梨", "なし"}, {"raisin", "ぶどう"}}, deck.cards, false);
    deck.cards.encoding = ItemEncoding::Utf8;
    deck.cards.Checks[2] = {False16, True16, False16};
    deck.cardIds = {0, 7, 8, 9};
    deck.nextCardId = 12;  // 10 and 11 were given to cards since removed
    deck.record = {ReviewRow{.timeMs = 10, .cardId = 8, .item = 1, .checked = true},
                   ReviewRow{.timeMs = 20, .cardId = 10, .item = 2}};
    SaveKorvaFile(dir.Path("fruit.korva"), deck);
    test::WriteBytes(dir.Path("list.csv"), "梨,なし\nbanane,バナナ\n사과,林檎\n");

    const ToolRun run = RunDeckTool({"update", Q(dir.Path("fruit.korva")), Q(dir.Path("list.csv"))});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "{\"kept\":1,\"changed\":1,\"added\":1,\"removed\":1}\n");
    const KorvaDeck updated = LoadKorvaFile(dir.Path("fruit.korva"));
    EXPECT_EQ(test::CardsOf(updated.cards), (test::Pairs{{"梨", "なし"}, {"banane", "バナナ"}, {"사과", "林檎"}}));
    EXPECT_EQ(updated.cardIds, (std::vector<int64_t>{0, 8, 12, 7}));
    EXPECT_EQ(updated.nextCardId, 13);
    EXPECT_EQ(updated.cards.Checks[1], deck.cards.Checks[2]);
    EXPECT_EQ(updated.record, deck.record);
    EXPECT_EQ(updated.createdMs, 1000);

    // The output keeps the deck's kind.
    const ToolRun other =
        RunDeckTool({"update", "--out", Q(dir.Path("o.krv")), Q(dir.Path("fruit.korva")), Q(dir.Path("list.csv"))});
    EXPECT_EQ(other.exitCode, 1);
    EXPECT_EQ(other.err, "korva-deck: " + dir.Path("o.krv") +
                             ": 出力ファイル名がデッキファイルと同じ .korva で終わっていません。\n");
}

TEST(KorvaFormatTool, LogPrintsTheRecordAsCsvOrJson) {
    test::TempFolder dir;
    KorvaDeck deck = MakeKorvaDeck(UnicodeCards(), 0, "1.0");
    ImportCsvRows({{"a", "b"}, {"c", "d"}}, deck.cards, false);
    deck.cards.encoding = ItemEncoding::Utf8;
    deck.cardIds = {0, 5, 3};
    deck.nextCardId = 6;
    deck.record = {
        ReviewRow{.timeMs = 1796819405123, .cardId = 3, .item = 1, .checked = true},
        ReviewRow{.timeMs = 1796819406000, .cardId = 4, .item = 2, .style = AnswerTest, .judged = 0},
        ReviewRow{.timeMs = 1796819407009, .cardId = 5, .item = 2, .checked = true, .style = AnswerTest, .judged = 1},
    };
    SaveKorvaFile(dir.Path("d.korva"), deck);
    const ToolRun csv = RunDeckTool({"log", Q(dir.Path("d.korva"))});
    EXPECT_EQ(csv.exitCode, 0) << csv.err;
    EXPECT_EQ(csv.out,
              "time,card,item,result,style,judged\n"
              "2026-12-09T12:30:05.123Z,2,1,checked,normal,\n"
              "2026-12-09T12:30:06.000Z,,2,unchecked,test,wrong\n"
              "2026-12-09T12:30:07.009Z,1,2,checked,test,right\n");
    const ToolRun json = RunDeckTool({"log", "--json", Q(dir.Path("d.korva"))});
    EXPECT_EQ(json.exitCode, 0) << json.err;
    EXPECT_EQ(json.out,
              "[{\"time\":\"2026-12-09T12:30:05.123Z\",\"card\":2,\"item\":1,\"result\":\"checked\","
              "\"style\":\"normal\",\"judged\":null},"
              "{\"time\":\"2026-12-09T12:30:06.000Z\",\"card\":null,\"item\":2,\"result\":\"unchecked\","
              "\"style\":\"test\",\"judged\":\"wrong\"},"
              "{\"time\":\"2026-12-09T12:30:07.009Z\",\"card\":1,\"item\":2,\"result\":\"checked\","
              "\"style\":\"test\",\"judged\":\"right\"}]\n");

    // An empty record is a header alone, or an empty array; a .krv deck has
    // none at all.
    deck.record.clear();
    SaveKorvaFile(dir.Path("new.korva"), deck);
    EXPECT_EQ(RunDeckTool({"log", Q(dir.Path("new.korva"))}).out, "time,card,item,result,style,judged\n");
    EXPECT_EQ(RunDeckTool({"log", "--json", Q(dir.Path("new.korva"))}).out, "[]\n");
    SaveCardFile(dir.Path("d.krv"), test::VariedDeck(1));
    const ToolRun krv = RunDeckTool({"log", Q(dir.Path("d.krv"))});
    EXPECT_EQ(krv.exitCode, 1);
    EXPECT_EQ(krv.out, "");
    EXPECT_EQ(krv.err, "korva-deck: " + dir.Path("d.krv") + ": 学習の記録は .korva のデッキファイルにだけあります。\n");

    const std::pair<int64_t, const char*> times[] = {
        {0, "1970-01-01T00:00:00.000Z"}, {-1, "1969-12-31T23:59:59.999Z"}, {951782400999, "2000-02-29T00:00:00.999Z"}};
    for (const auto& [ms, iso] : times) {
        EXPECT_EQ(IsoTimeUtc(ms), iso);
    }
}

// The memory and the schedule reckoned at the time --at names, from the
// record's rows up to then, in the days of the zone TZ names.
TEST(KorvaFormatTool, ShowAndStatsReckonTheScheduleAtATime) {
    qputenv("TZ", "Asia/Tokyo");
    test::TempFolder dir;
    KorvaDeck deck = MakeKorvaDeck(UnicodeCards(), 0, "1.0");
    ImportCsvRows({{"a", "b"}, {"c", "d"}, {"e", "f"}}, deck.cards, false);
    deck.cards.encoding = ItemEncoding::Utf8;
    deck.cardIds = {0, 1, 2, 3};
    deck.nextCardId = 4;
    const int64_t june1 = 1'717'203'600'000;  // 2024-06-01T01:00:00Z, 10:00 in Tokyo
    deck.record = {
        ReviewRow{.timeMs = june1, .cardId = 1, .item = 1, .checked = true},
        ReviewRow{.timeMs = june1 + 3'600'000, .cardId = 2, .item = 1, .checked = false},
        ReviewRow{.timeMs = june1 + int64_t{2} * 86'400'000, .cardId = 1, .item = 1, .checked = true},
    };
    SaveKorvaFile(dir.Path("d.korva"), deck);
    const std::string head =
        "{\"total\":3,\"modes\":{\"TurnMode\":1,\"ReservedMode\":1,\"ViewKind\":4,\"AnswerMode\":1},\"cards\":[";
    // A first Good: stability w2, difficulty w4 - e^(2 w5) + 1, due in 2 days;
    // a first Again: w0 and w4, due at once.
    const std::string failed =
        "{\"question\":1,\"checks\":[false,false],\"items\":[\"c\",\"d\"],\"memory\":[{\"stability\":0.212,"
        "\"difficulty\":6.4133,\"due\":\"2024-06-01T02:00:00Z\",\"lastReview\":\"2024-06-01T02:00:00Z\","
        "\"reviews\":1,\"lapses\":0},null]}";
    const std::string fresh =
        "{\"question\":1,\"checks\":[false,false],\"items\":[\"e\",\"f\"],\"memory\":[null,null]}";
    const ToolRun show = RunDeckTool({"show", "--at", "2024-06-01T12:00:00+09:00", Q(dir.Path("d.korva"))});
    EXPECT_EQ(show.exitCode, 0) << show.err;
    EXPECT_EQ(show.out, head +
                            "{\"question\":1,\"checks\":[false,false],\"items\":[\"a\",\"b\"],\"memory\":[{"
                            "\"stability\":2.3065,\"difficulty\":2.118103970459015,\"due\":\"2024-06-03T01:00:00Z\","
                            "\"lastReview\":\"2024-06-01T01:00:00Z\",\"reviews\":1,\"lapses\":0},null]}," +
                            failed + "," + fresh + "]}\n");
    // Without --at, the whole record: card 1 passed again, due in 11 days.
    const ToolRun now = RunDeckTool({"show", Q(dir.Path("d.korva"))});
    EXPECT_NE(now.out.find("\"due\":\"2024-06-14T01:00:00Z\",\"lastReview\":\"2024-06-03T01:00:00Z\",\"reviews\":2"),
              std::string::npos)
        << now.out;

    const std::string counts =
        "{\"total\":3,\"asking\":{\"item1\":3,\"item2\":0},\"checked\":{\"item1\":0,"
        "\"item2\":0},\"learnt\":0";
    const auto forecast = [](std::initializer_list<std::pair<int, int>> days) {
        std::vector<int> due(30);
        for (const auto& [day, cards] : days) {
            due[static_cast<std::size_t>(day)] = cards;
        }
        std::string text;
        for (const int cards : due) {
            text += (text.empty() ? "" : ",") + std::to_string(cards);
        }
        return "[" + text + "]";
    };
    const struct {
        const char* at;
        std::string schedule;
    } cases[] = {
        // The day of the first answers: card 2 failed and due, one new card left.
        {"2024-06-01T23:00:00+09:00",
         "{\"due\":1,\"new\":1,\"forecast\":" + forecast({{0, 1}, {2, 1}}) + ",\"retention30\":null,\"streak\":1}"},
        // 03:00 is still that day; its local time without an offset.
        {"2024-06-02T03:00:00",
         "{\"due\":1,\"new\":1,\"forecast\":" + forecast({{0, 1}, {2, 1}}) + ",\"retention30\":null,\"streak\":1}"},
        // The next day, nothing studied yet: the streak ends yesterday; the
        // new card the day before began is new again.
        {"2024-06-02T04:00:00+09:00",
         "{\"due\":1,\"new\":1,\"forecast\":" + forecast({{0, 1}, {1, 1}}) + ",\"retention30\":null,\"streak\":1}"},
        // Card 1 passed when due; a day missed before it.
        {"2024-06-03T12:00:00+09:00",
         "{\"due\":1,\"new\":1,\"forecast\":" + forecast({{0, 1}, {11, 1}}) + ",\"retention30\":1,\"streak\":1}"},
    };
    for (const auto& c : cases) {
        const ToolRun stats = RunDeckTool({"stats", "--json", "--at", c.at, Q(dir.Path("d.korva"))});
        EXPECT_EQ(stats.exitCode, 0) << stats.err;
        EXPECT_EQ(stats.out, counts + ",\"schedule\":" + c.schedule + "}\n") << c.at;
    }
    EXPECT_EQ(RunDeckTool({"stats", Q(dir.Path("d.korva"))}).out, counts + "}\n");
    // A .krv deck keeps no record: every card is new.
    SaveCardFile(dir.Path("d.krv"), deck.cards);
    EXPECT_EQ(RunDeckTool({"stats", "--json", Q(dir.Path("d.krv"))}).out,
              counts + ",\"schedule\":{\"due\":0,\"new\":3,\"forecast\":" + forecast({}) +
                  ",\"retention30\":null,\"streak\":0}}\n");
}

}  // namespace
}  // namespace korva
