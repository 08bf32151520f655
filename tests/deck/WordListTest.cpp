#include <algorithm>
#include <functional>
#include <stdexcept>
#include <variant>

#include <gtest/gtest.h>

#include "deck/CsvRows.h"
#include "deck/DeckError.h"
#include "deck/DeckErrorText.h"
#include "deck/HtmlField.h"
#include "deck/KorvaDeck.h"
#include "deck/WordList.h"
#include "deck/WordListSource.h"
#include "tests/deck/CsvCases.h"

namespace korva {
namespace {

using test::Pairs;

Pairs PairsOf(const std::vector<CsvRow>& rows) {
    Pairs pairs;
    for (const CsvRow& row : rows) {
        pairs.emplace_back(row[0], row[1]);
    }
    return pairs;
}

// UTF-16 bytes of an ASCII-free-for-all text given as UTF-16 code units.
std::string Utf16(std::u16string_view units, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : units) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

std::vector<std::pair<int, std::string>> Noted(const Replacements& characters) {
    std::vector<std::pair<int, std::string>> out;
    for (const ReplacedCharacter& r : characters.first) {
        out.emplace_back(r.line, r.character);
    }
    return out;
}

std::string Repeated(std::string_view text, std::size_t times) {
    std::string out;
    for (std::size_t i = 0; i < times; ++i) {
        out += text;
    }
    return out;
}

struct ReadCase {
    const char* writer;
    std::string bytes;
    WordListOptions options;
    WordListFormat format;
    Pairs cards;  // UTF-8; the reader stores them as code page 932
    int records;
    int fields;
    std::vector<std::pair<int, std::string>> replaced = {};
    std::vector<WordListDirective> directives = {};
    std::vector<std::pair<int, std::string>> equivalents = {};
    std::size_t dropped = 0;
};

constexpr auto Cp932 = TextEncoding::Cp932;
constexpr auto Utf8 = TextEncoding::Utf8;
constexpr auto Rfc = Quoting::Rfc;
constexpr auto Plain = Quoting::None;

const ReadCase ReadCases[] = {
    {"LibreOffice: UTF-8, LF, quotes only where needed",
     "単語,意味\n食べる,\"to eat, to consume\"\n言う,\"say \"\"hi\"\"\"\n",
     {},
     {Utf8, false, LineEnd::Lf, ',', Rfc, false},
     {{"単語", "意味"}, {"食べる", "to eat, to consume"}, {"言う", "say \"hi\""}},
     3,
     2},
    {"LibreOffice: a line break inside quotes, every text quoted",
     "\"a\",\"x\ny\"\n\"b\",\"c\"\n",
     {},
     {Cp932, false, LineEnd::Lf, ',', Rfc, false},
     {{"a", "x\ny"}, {"b", "c"}},
     2,
     2},
    {"Python csv: CR LF, LF inside a cell",
     "語,\"1行\n2行\"\r\nb,c\r\n",
     {},
     {Utf8, false, LineEnd::CrLf, ',', Rfc, false},
     {{"語", "1行\n2行"}, {"b", "c"}},
     2,
     2},
    {"Python csv utf-8-sig: a byte-order mark",
     "\xEF\xBB\xBF"
     "a,b\r\n",
     {},
     {Utf8, true, LineEnd::CrLf, ',', Plain, false},
     {{"a", "b"}},
     1,
     2},
    {"Excel Unicode text: UTF-16 LE, tabs, CR LF",
     Utf16(u"単語\t意味\r\n犬\tdog\r\n", false),
     {},
     {TextEncoding::Utf16Le, true, LineEnd::CrLf, '\t', Plain, false},
     {{"単語", "意味"}, {"犬", "dog"}},
     2,
     2},
    {"UTF-16 BE with a character outside the basic plane",
     Utf16(u"a,\xD83D\xDE00\n", true),
     {.replace = true},
     {TextEncoding::Utf16Be, true, LineEnd::Lf, ',', Plain, false},
     {{"a", "〓"}},
     1,
     2,
     {{1, "😀"}}},
    {"Gnumeric: semicolons, LF",
     "a;b;c\nd;e;f\n",
     {},
     {Cp932, false, LineEnd::Lf, ';', Plain, false},
     {{"a", "b"}, {"d", "e"}},
     2,
     3},
    {"pandas: an index column, a header, columns chosen",
     ",word,meaning\n0,日,day\n1,月,\"moon, month\"\n",
     {.header = true, .itemColumn1 = 2, .itemColumn2 = 3},
     {Utf8, false, LineEnd::Lf, ',', Rfc, false},
     {{"日", "day"}, {"月", "moon, month"}},
     3,
     3},
    {"sqlite3: every non-ASCII field quoted",
     "\"日\",\"ひ\"\n\"月\",tsuki\n",
     {},
     {Utf8, false, LineEnd::Lf, ',', Rfc, false},
     {{"日", "ひ"}, {"月", "tsuki"}},
     2,
     2},
    {"LibreOffice Shift-JIS: code page 932 with LF",
     test::Cp932("単語,たんご\n犬,いぬ\n"),
     {},
     {Cp932, false, LineEnd::Lf, ',', Plain, false},
     {{"単語", "たんご"}, {"犬", "いぬ"}},
     2,
     2},
    {"CR alone",
     "あ,い\rう,え\r",
     {},
     {Utf8, false, LineEnd::Cr, ',', Plain, false},
     {{"あ", "い"}, {"う", "え"}},
     2,
     2},
    {"mixed line ends; an empty line is a card",
     "あ,い\r\n\nう\rお,か,き",
     {},
     {Utf8, false, LineEnd::Mixed, ',', Plain, false},
     {{"あ", "い"}, {"", ""}, {"う", ""}, {"お", "か"}},
     4,
     3},
    {"replacement: base letters, else the mark, lines counted inside quotes; Å is the Angstrom sign's equivalent",
     "café,naïve\n\"x\ny\",\"z\n😀\"\nÅ,한\n",
     {.replace = true},
     {Utf8, false, LineEnd::Lf, ',', Rfc, false},
     {{"cafe", "naive"}, {"x\ny", "z\n〓"}, {"\u212B", "〓"}},
     3,
     2,
     {{1, "é"}, {1, "ï"}, {4, "😀"}, {5, "한"}},
     {},
     {{5, "Å"}}},
    {"a character code page 932 lacks in a column not read",
     "a,b,😀\n",
     {},
     {Utf8, false, LineEnd::Lf, ',', Plain, false},
     {{"a", "b"}},
     1,
     3},
    {"classic: CR LF code page 932, a lone LF is text",
     test::Cp932("単語,たん\nご\r\nx,y\"\r\n"),
     {},
     {Cp932, false, LineEnd::CrLf, ',', Plain, true},
     {{"単語", "たん\nご"}, {"x", "y\""}},
     2,
     2},
    {"classic with a header and a third column",
     "h1,h2,h3\r\na,b,c\r\nd\r\n",
     {.header = true, .itemColumn2 = 3},
     {Cp932, false, LineEnd::CrLf, ',', Plain, true},
     {{"a", "c"}, {"d", ""}},
     3,
     3},
    {"no line end and nothing quoted reads the same either way: classic",
     "a,b,c",
     {},
     {Cp932, false, LineEnd::None, ',', Plain, true},
     {{"a", "b"}},
     1,
     3},
    {"a field starting with a quote is not classic",
     "\"x,y\",z\r\n",
     {},
     {Cp932, false, LineEnd::CrLf, ',', Rfc, false},
     {{"x,y", "z"}},
     1,
     2},
    {"tab-separated lines are not classic",
     "a\tb\r\nc\td\r\n",
     {},
     {Cp932, false, LineEnd::CrLf, '\t', Plain, false},
     {{"a", "b"}, {"c", "d"}},
     2,
     2},
    {"text after a closing quote joins the field; a quote inside a field is text",
     "\"a\"b,c\"d\n",
     {},
     {Cp932, false, LineEnd::Lf, ',', Rfc, false},
     {{"ab", "c\"d"}},
     1,
     2},
    {"a chosen separator and quoting",
     "a;\"b\";c\r\n",
     {.separator = ',', .quoting = Plain},
     {Cp932, false, LineEnd::CrLf, ',', Plain, false},
     {{"a;\"b\";c", ""}},
     1,
     1},
    {"a chosen encoding, quoting and separator",
     "\"a\",b;c\n",
     {.encoding = Utf8, .separator = ';', .quoting = Rfc},
     {Utf8, false, LineEnd::Lf, ';', Rfc, false},
     {{"a,b", "c"}},
     1,
     2},
    {"UTF-16 asked for: the mark decides the byte order",
     Utf16(u"a,b", true),
     {.encoding = TextEncoding::Utf16Le},
     {TextEncoding::Utf16Be, true, LineEnd::None, ',', Plain, false},
     {{"a", "b"}},
     1,
     2},
    {"an empty file", "", {}, {Cp932, false, LineEnd::None, ',', Plain, true}, {}, 0, 0},
    {"Anki: directives, HTML fields, a quoted field with a line break, a tags column",
     "#separator:tab\n#html:true\n#tags column:3\n"
     "犬<div>dog</div>\t&lt;b&gt; &amp; &quot;x&quot;&#39;s&nbsp;&#x41;&#66;<BR />いぬ\tanimal\n"
     "\"猫\nねこ\"\t<div>cat</div><div><br></div><div>feline</div>\t\n",
     {},
     {Utf8, false, LineEnd::Lf, '\t', Rfc, false},
     {{"犬\ndog", "<b> & \"x\"'s AB\nいぬ"}, {"猫 ねこ", "cat\n\nfeline"}},
     2,
     3,
     {},
     {{"separator", "tab"}, {"html", "true"}, {"tags column", "3"}}},
    {"Anki: replaced characters named by the line their HTML field starts on",
     "#html:true\nx,\"é<br>\n<p>ü</p>\"\n",
     {.replace = true},
     {Utf8, false, LineEnd::Lf, ',', Rfc, false},
     {{"x", "e\nu"}},
     1,
     2,
     {{2, "é"}, {2, "ü"}},
     {{"html", "true"}}},
    {"directives after a byte-order mark; a pipe is no half of ポ",
     "\xEF\xBB\xBF#separator:Pipe\r\n#columns:表|裏\r\nポ|po\r\n",
     {},
     {Utf8, true, LineEnd::CrLf, '|', Plain, false},
     {{"ポ", "po"}},
     1,
     2,
     {},
     {{"separator", "Pipe"}, {"columns", "表|裏"}}},
    {"a chosen pipe in code page 932: ポ and ソ stay whole",
     test::Cp932("ポ|ソ|\r\n"),
     {.separator = '|'},
     {Cp932, false, LineEnd::CrLf, '|', Plain, false},
     {{"ポ", "ソ"}},
     1,
     3},
    {"directives make a file not classic; a # line after the first card is text",
     "#html:true\r\n#separator:space\r\na b\r\n#separator:tab c\r\n",
     {},
     {Cp932, false, LineEnd::CrLf, ' ', Plain, false},
     {{"a", "b"}, {"#separator:tab", "c"}},
     2,
     2,
     {},
     {{"html", "true"}, {"separator", "space"}}},
    {"directives in code page 932, line ends mixed; a separator named wrongly is guessed",
     test::Cp932("#separator:slash\r\n#columns:表,裏\n単語,たんご\n"),
     {},
     {Cp932, false, LineEnd::Mixed, ',', Plain, false},
     {{"単語", "たんご"}},
     1,
     2,
     {},
     {{"separator", "slash"}, {"columns", "表,裏"}}},
    {"a key Anki does not define, or in other letters, is a card",
     "#sort field:1\n#Separator:tab\na:b\n",
     {.separator = ':'},
     {Cp932, false, LineEnd::Lf, ':', Plain, false},
     {{"#sort field", "1"}, {"#Separator", "tab"}, {"a", "b"}},
     3,
     2},
    {"invisible characters and a second mark are dropped, in a quoted cell over two lines too, never refused",
     "\uFEFF\uFEFFa\u200Bb,\u200Cc\u200D\n\"\u2060d\ne\uFEFF\",\uFEFF\u200Bf\n",
     {},
     {Utf8, true, LineEnd::Lf, ',', Rfc, false},
     {{"ab", "c"}, {"d\ne", "f"}},
     2,
     2,
     {},
     {},
     {},
     8},
    {"UTF-16: invisible characters are dropped",
     Utf16(u"\u200Da\t\uFEFFb\u2060\r\n", false),
     {},
     {TextEncoding::Utf16Le, true, LineEnd::CrLf, '\t', Plain, false},
     {{"a", "b"}},
     1,
     2,
     {},
     {},
     {},
     3},
    {"equivalents: Kangxi radicals, compatibility ideographs, NFKC expansions, a shared NFKC form; no replace asked",
     "\u2F00,\uFA30\n\u222D,\u00A6\n\u216B,\u3251\uFB01\n",
     {},
     {Utf8, false, LineEnd::Lf, ',', Plain, false},
     {{"一", "侮"}, {"∫∫∫", "￤"}, {"XII", "21fi"}},
     3,
     2,
     {},
     {},
     {{1, "\u2F00"}, {1, "\uFA30"}, {2, "\u222D"}, {2, "\u00A6"}, {3, "\u216B"}, {3, "\u3251"}, {3, "\uFB01"}}},
    {"equivalents before base letters and the mark, each counted apart",
     "\u2F00é\u00BD,\u00A0\n",
     {.replace = true},
     {Utf8, false, LineEnd::Lf, ',', Plain, false},
     {{"一e〓", " "}},
     1,
     2,
     {{1, "é"}, {1, "\u00BD"}},
     {},
     {{1, "\u2F00"}, {1, "\u00A0"}}},
    {"code page 932 chosen for a marked file: the mark is no part of card 1",
     "\xEF\xBB\xBF" + test::Cp932("単語,たんご\r\n"),
     {.encoding = Cp932},
     {Cp932, true, LineEnd::CrLf, ',', Plain, false},
     {{"単語", "たんご"}},
     1,
     2},
    {"code page 932 chosen for a UTF-16 mark",
     "\xFF\xFE"
     "a,b\n",
     {.encoding = Cp932},
     {Cp932, true, LineEnd::Lf, ',', Plain, false},
     {{"a", "b"}},
     1,
     2},
};

TEST(WordList, ReadsWhatEachWriterWrites) {
    for (const ReadCase& c : ReadCases) {
        SCOPED_TRACE(c.writer);
        const WordList list = ReadWordList(c.bytes, c.options);
        EXPECT_EQ(list.format, c.format);
        EXPECT_EQ(PairsOf(list.rows), test::Cp932(c.cards));
        EXPECT_EQ(list.records, c.records);
        EXPECT_EQ(list.fields, c.fields);
        EXPECT_EQ(Noted(list.replaced), c.replaced);
        EXPECT_EQ(list.replaced.count, c.replaced.size());
        EXPECT_EQ(list.directives, c.directives);
        EXPECT_EQ(Noted(list.equivalents), c.equivalents);
        EXPECT_EQ(list.equivalents.count, c.equivalents.size());
        EXPECT_EQ(list.dropped, c.dropped);
        if (!c.options.encoding && !c.options.separator && !c.options.quoting) {
            EXPECT_EQ(DetectWordListFormat(c.bytes), c.format);
        }
    }
}

// A UTF-8 deck's reading cuts records and keeps line breaks exactly as the
// code page 932 one does: it only keeps the characters as they are.
TEST(WordList, ForAUtf8DeckEveryWriterGivesTheCardsAsText) {
    for (const ReadCase& c : ReadCases) {
        if (!c.replaced.empty() || !c.equivalents.empty()) {
            continue;  // those keep their own characters; below
        }
        SCOPED_TRACE(c.writer);
        WordListOptions options = c.options;
        options.items = ItemEncoding::Utf8;
        const WordList list = ReadWordList(c.bytes, options);
        EXPECT_EQ(list.items, ItemEncoding::Utf8);
        EXPECT_EQ(list.format, c.format);
        EXPECT_EQ(PairsOf(list.rows), c.cards);
        EXPECT_EQ(list.records, c.records);
        EXPECT_EQ(list.dropped, c.dropped);
        EXPECT_EQ(list.replaced.count, 0U);
    }
}

TEST(WordList, AUtf8DeckKeepsEveryCharacterComposedAndDropsOnlyInvisibleOnes) {
    const std::string decomposedE = "e\u0301";
    const struct {
        const char* what;
        std::string bytes;
        bool replace;
        Pairs cards;
        std::size_t dropped;
        std::vector<std::pair<int, std::string>> replaced;
    } cases[] = {
        {"four languages",
         "안녕하세요,hello\n你好，世界,nǐ hǎo\ncafé,coffee\nTiếng Việt,Vietnamese\n",
         false,
         {{"안녕하세요", "hello"}, {"你好，世界", "nǐ hǎo"}, {"café", "coffee"}, {"Tiếng Việt", "Vietnamese"}},
         0,
         {}},
        {"decomposed letters composed", "caf" + decomposedE + ",Vie\u0302\u0301t\n", false, {{"café", "Viết"}}, 0, {}},
        {"format characters dropped", "\uFEFF한\u200B국,\u2060中\u200D文\r\n", false, {{"한국", "中文"}}, 3, {}},
        {"line breaks as written", "\"deux\r\nlignes\",\"é\nü\"\r\n", false, {{"deux\r\nlignes", "é\nü"}}, 0, {}},
        {"UTF-16 from Excel", Utf16(u"사랑\t爱\r\n", false), false, {{"사랑", "爱"}}, 0, {}},
        {"HTML fields", "#html:true\n<b>café</b>&amp;<br>Đà Nẵng,x\n", false, {{"café&\nĐà Nẵng", "x"}}, 0, {}},
        {"code page 932 decoded", test::Cp932("単語,たんご\r\n"), false, {{"単語", "たんご"}}, 0, {}},
        {"undecodable bytes replaced",
         "a,b\r\n\x81\x20x,\x82\r\n",
         true,
         {{"a", "b"}, {"\uFFFD x", "\uFFFD"}},
         0,
         {{2, "\uFFFD"}, {2, "\uFFFD"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WordListOptions options;
        options.items = ItemEncoding::Utf8;
        options.replace = c.replace;
        WordList list = ReadWordList(c.bytes, options);
        EXPECT_EQ(PairsOf(list.rows), c.cards);
        EXPECT_EQ(list.dropped, c.dropped);
        EXPECT_EQ(Noted(list.replaced), c.replaced);
        EXPECT_TRUE(list.equivalents.first.empty());
        CardData deck = UnicodeCards();
        ImportWordList(std::move(list), deck, false);
        EXPECT_EQ(deck.encoding, ItemEncoding::Utf8);
        EXPECT_EQ(test::CardsOf(deck), c.cards);
    }
    // Without replace the bytes are refused by their line, as bytes of no
    // UTF encoding are.
    WordListOptions options;
    options.items = ItemEncoding::Utf8;
    try {
        ReadWordList("a,b\r\n\x81\x20x,\x82\r\n", options);
        ADD_FAILURE() << "no refusal";
    } catch (const DeckError& e) {
        EXPECT_EQ(DescribeDeckError(e.detail()), "2行目: Shift_JISとして読めないバイトがあります");
    }
}

TEST(WordList, ImportKeepsTheDecksEncoding) {
    WordListOptions unicode;
    unicode.items = ItemEncoding::Utf8;
    CardData deck = UnicodeCards();
    ImportWordList(ReadWordList("한,1\n", unicode), deck, false);
    ImportWordList(ReadWordList(test::Cp932("単,2\r\n")), deck, true);  // read for code page 932, decoded
    EXPECT_EQ(deck.encoding, ItemEncoding::Utf8);
    EXPECT_EQ(test::CardsOf(deck), (Pairs{{"한", "1"}, {"単", "2"}}));
    CardData cp932;
    EXPECT_THROW(ImportWordList(ReadWordList("한,1\n", unicode), cp932, false), std::invalid_argument);
    EXPECT_EQ(cp932.Total(), 0);
}

TEST(WordList, AnHtmlFieldBecomesTheTextItShows) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"a<br>b<BR/>c<br >d", "a\nb\nc\nd"},
        {"<p>a</p><P>b</P><ul><li>c</li><li>d</li></ul>", "a\nb\nc\nd"},
        {"front<div>back</div>", "front\nback"},
        {"<div>a</div>\n<div>b</div>\r\nc\rd", "a\nb\nc d"},
        {"a <b>bold</b> <span title=\"x>y\">c</span><!-- <br> -->", "a bold c"},
        {"&#12354;&#x3042;&#X3042;&amp;lt;&apos;", "あああ&lt;'"},
        {"a < b & c &unknown; &#0; &#xD800; &#1114112; <b", "a < b & c &unknown; &#0; &#xD800; &#1114112; <b"},
        {"a<br><br>", "a"},
        {"<div> a  b </div>\n c&nbsp;<br>&nbsp;d", "a  b\nc\n d"},
    };
    for (const auto& [html, text] : cases) {
        EXPECT_EQ(HtmlFieldText(html), text) << html;
    }
}

TEST(WordList, KeepsTheFirstReplacedCharactersAndCountsThemAll) {
    const struct {
        int lines;  // of "é,ü"
        std::size_t kept;
        ReplacedCharacter last;
    } cases[] = {
        {1, 2, {1, "ü"}},
        {50, 100, {50, "ü"}},
        {51, 100, {50, "ü"}},
        {20000, 100, {50, "ü"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines);
        std::string bytes;
        for (int line = 0; line < c.lines; ++line) {
            bytes += "é,ü\n";
        }
        const WordList list = ReadWordList(bytes, {.replace = true});
        EXPECT_EQ(list.rows.size(), static_cast<std::size_t>(c.lines));
        EXPECT_EQ(list.replaced.count, static_cast<std::size_t>(c.lines) * 2);
        ASSERT_EQ(list.replaced.first.size(), c.kept);
        EXPECT_EQ(list.replaced.first.front(), (ReplacedCharacter{1, "é"}));
        EXPECT_EQ(list.replaced.first.back(), c.last);
    }

    // More distinct characters than the reader remembers still each become
    // the right one: 5,000 Hangul syllables, then é again.
    std::string hangul;
    std::string marks;
    for (char32_t c = 0xAC00; c < 0xAC00 + 5000; ++c) {
        hangul += {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                   static_cast<char>(0x80 | (c & 0x3F))};
        marks += "\x81\xAC";
    }
    const WordList mixed = ReadWordList("é," + hangul + "é\n", {.replace = true});
    EXPECT_EQ(PairsOf(mixed.rows), (Pairs{{"e", marks + "e"}}));
    EXPECT_EQ(mixed.replaced.count, 5002U);
}

TEST(WordList, TheFirstRecordIsGivenInUtf8WhateverTheEncoding) {
    const std::vector<std::string> header = {"漢字", "読み, かな", "意味"};
    for (const std::string& bytes :
         {std::string("漢字,\"読み, かな\",意味\n日,ひ,day\n"), test::Cp932("漢字,\"読み, かな\",意味\n日,ひ,day\n"),
          std::string("漢字,\"読み, かな\",意味\n日,ひ,day é\n")}) {
        const WordList list = ReadWordList(bytes, {.header = true, .itemColumn2 = 3, .replace = true});
        EXPECT_EQ(list.firstRecord, header);
        ASSERT_EQ(list.rows.size(), 1U);
        EXPECT_EQ(list.rows[0][0], test::Cp932("日"));
    }
    EXPECT_EQ(ReadWordList("h1,h2\r\na,b\r\n").firstRecord, (std::vector<std::string>{"h1", "h2"}));

    // Directives name columns, #columns: first; HTML names by its text.
    const WordList anki = ReadWordList("#html:true\n#columns:a\tb\n#tags column:2\n#guid column:4\n<b>x</b>\ty\n");
    EXPECT_EQ(anki.columnNames, (std::vector<std::string>{"a", "b", "", "GUID"}));
    EXPECT_EQ(anki.firstRecord, (std::vector<std::string>{"x", "y"}));
}

TEST(WordList, AClassicFileGivesExactlyTheClassicRows) {
    for (const test::CsvCase& c : test::CsvCases()) {
        SCOPED_TRACE(c.name);
        const std::string bytes = test::Cp932(c.text);
        const WordList list = ReadWordList(bytes);
        const bool lfOnly = bytes.find('\r') == std::string::npos && bytes.find('\n') != std::string::npos;
        EXPECT_EQ(list.format.classic, !lfOnly && !bytes.starts_with('"'));
        if (list.format.classic) {
            EXPECT_EQ(list.rows, ReadCsvRows(bytes));
            EXPECT_EQ(PairsOf(list.rows), test::Cp932(c.cards));
        }
    }
}

TEST(WordList, RefusesByLineAndCharacterWhatCannotBeRead) {
    const std::string notUtf8 = "UTF-8として読めないバイトがあります";
    const WordListOptions utf8{.encoding = Utf8};
    const std::string tooLong = "項目の文字列が65535バイトを超えているため読み込めません。";
    const struct {
        std::string bytes;
        WordListOptions options;
        std::string reason;
    } cases[] = {
        {"a,b\r\nc,d\r\n\xF0\x9F\x98\x80,x", {}, "3行目: 「\xF0\x9F\x98\x80」はShift_JISにない文字です"},
        {"\xE5\x8D\x98,x\xE2\x82\xAC\xF0\x9F\x98\x80", {}, "1行目: 「\xE2\x82\xAC」はShift_JISにない文字です"},
        {"\u2F00,\u00BD", {}, "1行目: 「\u00BD」はShift_JISにない文字です"},  // ½ has no equivalent
        {"a,\"x\ny\"\n\"\n\ncafé\",b", {}, "5行目: 「é」はShift_JISにない文字です"},
        {"a\r\nb\x80", utf8, "2行目: " + notUtf8},
        {"\x92\x50\x8C\xEA", utf8, "1行目: " + notUtf8},  // code page 932 text
        {"\xC0\xAF", utf8, "1行目: " + notUtf8},          // overlong
        {"\xED\xA0\x80", utf8, "1行目: " + notUtf8},      // surrogate
        {"\xF4\x90\x80\x80", utf8, "1行目: " + notUtf8},  // past U+10FFFF
        {"x\r\xE3\x81\r\nx", utf8, "2行目: " + notUtf8},  // cut before the line end
        {"a,b,\xFF", utf8, "1行目: " + notUtf8},          // even in a field not read
        {Utf16(u"a\nb", false) + "c", {}, "2行目: UTF-16として読めないバイトがあります"},
        {Utf16(u"a\r\n\xDC00", true), {}, "2行目: UTF-16として読めないバイトがあります"},
        {"a,b\n\"c,d\ne\n", {}, "2行目: 引用符 (\") で始まる項目が閉じていません"},
        {"#separator:tab\n#html:true\na\t\"b\n", {}, "3行目: 引用符 (\") で始まる項目が閉じていません"},
        {"#html:true\na,<i>x</i>\n&#x1F600;,b", {}, "3行目: 「\xF0\x9F\x98\x80」はShift_JISにない文字です"},
        {"a,b\n", {.itemColumn2 = 3}, "3列目がありません。このファイルの項目は最も多い行で2列です。"},
        {"a,b\n", {.itemColumn1 = 0}, "列の番号は1から数えます。"},
        {"a,b\n", {.separator = '/'}, "区切り文字はコンマ、タブ、セミコロン、縦棒、空白、コロンのどれかです。"},
        {std::string(MaxCards, '\r') + "x", {}, "CSVファイルの行数が32767行を超えています。"},
        {std::string(MaxCards, '\n') + "x", {}, "カードが32767枚を超えています。"},
        {"a,b\n\"c\nd\"," + std::string(MaxItemBytes + 1, 'y'), {}, "3行目、2列目: " + tooLong},
        {"a,b\r\n" + std::string(MaxItemBytes + 1, 'x') + "\r\n", {}, "2行目、1列目: " + tooLong},  // classic
        {"a,b," + std::string(MaxItemBytes + 1, 'x'), {.itemColumn2 = 3}, "1行目、3列目: " + tooLong},
        {Repeated("\u3042", MaxItemBytes / 2 + 1) + "\n", {}, "1行目、1列目: " + tooLong},  // two bytes each
    };
    for (const auto& c : cases) {
        try {
            ReadWordList(c.bytes, c.options);
            ADD_FAILURE() << "read: " << c.reason;
        } catch (const DeckError& e) {
            EXPECT_EQ(DescribeDeckError(e), c.reason);
        }
        WordListSource source(c.bytes);
        try {
            source.Read(c.options);
            ADD_FAILURE() << "read from its source: " << c.reason;
        } catch (const DeckError& e) {
            EXPECT_EQ(DescribeDeckError(e), c.reason);
        }
    }
    // A header line is not a card, so a full list may have one more line.
    EXPECT_EQ(ReadWordList("h\n" + std::string(MaxCards, '\n'), {.header = true}).rows.size(),
              static_cast<std::size_t>(MaxCards));
    // What counts is the item in code page 932: the longest a deck takes, and
    // half-width katakana, three bytes in UTF-8 but one in code page 932.
    EXPECT_EQ(ReadWordList(std::string(MaxItemBytes, 'x') + "\n").rows[0][0].size(), MaxItemBytes);
    EXPECT_EQ(ReadWordList(Repeated("\uFF71", MaxItemBytes) + "\n").rows[0][0].size(), MaxItemBytes);
    // A text its mark does not describe keeps the mark's encoding, its lines unknown.
    for (const auto& [bytes, encoding] : {std::pair{Utf16(u"a\nb", false) + "c", TextEncoding::Utf16Le},
                                          {"\xEF\xBB\xBF" + test::Cp932("単語\n"), Utf8}}) {
        EXPECT_EQ(DetectWordListFormat(bytes).encoding, encoding);
        EXPECT_EQ(DetectWordListFormat(bytes).lineEnd, LineEnd::Unknown);
    }
}

// A list as a read gives it, or why it cannot be read.
std::variant<WordList, std::string> Outcome(const std::function<WordList()>& read) {
    try {
        return read();
    } catch (const DeckError& e) {
        return DescribeDeckError(e);
    }
}

// A source decodes once for each encoding and keeps it: every choice, in
// any order, reads as the bytes read afresh would.
TEST(WordList, ASourceReadsAsTheBytesReadAfreshWhateverWasReadBefore) {
    std::vector<WordListOptions> choices;
    for (const std::optional<TextEncoding> encoding :
         {std::optional<TextEncoding>{}, {Cp932}, {Utf8}, {TextEncoding::Utf16Le}, {TextEncoding::Utf16Be}}) {
        choices.push_back({.encoding = encoding, .replace = true});
    }
    choices.push_back({.separator = ';', .quoting = Quoting::None});
    choices.push_back({.header = true, .itemColumn1 = 2, .itemColumn2 = 1});
    for (const ReadCase& c : ReadCases) {
        SCOPED_TRACE(c.writer);
        WordListSource source(c.bytes);
        EXPECT_EQ(source.getBytes(), c.bytes);
        EXPECT_EQ(source.getFormat(), DetectWordListFormat(c.bytes));
        choices.push_back(c.options);
        for (const WordListOptions& options : choices) {
            EXPECT_EQ(Outcome([&] { return source.Read(options); }),
                      Outcome([&] { return ReadWordList(c.bytes, options); }));
        }
        choices.pop_back();
    }
    const std::string broken = Utf16(u"a\nb", false) + "c";
    EXPECT_EQ(WordListSource(broken).getFormat(), DetectWordListFormat(broken));
}

TEST(WordList, AReadTellsHowFarItHasComeAndStopsWhenItsProgressThrows) {
    std::string bytes;
    for (int line = 0; line < 5000; ++line) {
        bytes += "\"word " + std::to_string(line) + "\",meaning\n";
    }
    for (const bool decodedBefore : {false, true}) {
        std::vector<double> heard;
        const ReadProgress note = [&](double done) {
            heard.push_back(done);
        };
        WordListSource source(bytes, decodedBefore ? note : ReadProgress{});
        heard.clear();
        const WordListOptions options{.encoding = decodedBefore ? std::nullopt : std::optional(Utf8)};
        EXPECT_EQ(source.Read(options, note).rows.size(), 5000u);
        ASSERT_GE(heard.size(), 5u) << "a report every thousand records or so";
        EXPECT_TRUE(std::is_sorted(heard.begin(), heard.end()));
        EXPECT_GE(heard.front(), 0.0);
        EXPECT_LE(heard.back(), 1.0);
        EXPECT_GT(heard.back(), 0.5);
    }
    struct Stop {};
    WordListSource source(bytes);
    EXPECT_THROW(source.Read({},
                             [](double done) {
                                 if (done > 0.3) {
                                     throw Stop{};
                                 }
                             }),
                 Stop);
    EXPECT_EQ(source.Read({}), ReadWordList(bytes)) << "a stopped read leaves the source as it was";
}

TEST(WordList, ImportsFreshOrAfterTheDecksCardsAndClearsTheMarks) {
    CardData deck;
    ImportWordList(ReadWordList("a,b\nc,d\n"), deck, false);
    ImportWordList(ReadWordList("\"e\",f\n"), deck, true);
    EXPECT_EQ(test::CardsOf(deck), (Pairs{{"a", "b"}, {"c", "d"}, {"e", "f"}}));
    EXPECT_EQ(deck.Modes.ViewKind, ImportedModes.ViewKind);
    EXPECT_EQ(deck.QuestionItems, std::vector<int16_t>(4, 1));
}

}  // namespace
}  // namespace korva
