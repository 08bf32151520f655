// korva-deck: decks from the command line, read exactly as the program opens
// them, and word lists to and from spreadsheets. `korva-deck --help` lists
// the commands.

#include <QTimeZone>
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "deck/DeckConversion.h"
#include "deck/DeckError.h"
#include "deck/DeckErrorText.h"
#include "deck/DeckFile.h"
#include "deck/DeckPath.h"
#include "deck/FileBytes.h"
#include "deck/KorvaDeck.h"
#include "deck/KorvaFile.h"
#include "deck/WordList.h"
#include "study/Schedule.h"
#include "tools/CsvExport.h"
#include "tools/DeckJson.h"
#include "tools/DeckStats.h"
#include "tools/DeckUpdate.h"
#include "tools/ReviewLog.h"
#include "tools/ToolArguments.h"
#include "tools/WordListJson.h"

namespace {

using korva::CardData;
using korva::CsvEncoding;
using korva::DeckError;
using korva::KorvaDeck;
using korva::ToolArguments;
using korva::UsageError;

// The file a failure is about, named on the one line of standard error.
using Subject = std::string;

// A command refused by korva-deck itself; its sentence is made here, where it
// is printed.
class Refusal : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Command {
    std::string_view name;
    std::string_view usage;
    std::string_view summary;
    std::size_t files;
    unsigned options;
    void (*run)(const ToolArguments&, Subject&);
};

// What a path names, by its ending, as the program reads it.
enum class FileKind { Krv, Korva, List, Other };

FileKind KindOf(std::string_view path) {
    switch (korva::KindOfPath(path)) {
        case korva::DeckPathKind::Deck: return FileKind::Krv;
        case korva::DeckPathKind::Korva: return FileKind::Korva;
        case korva::DeckPathKind::Csv: return FileKind::List;
        case korva::DeckPathKind::Other: break;
    }
    return FileKind::Other;
}

bool IsDeckFile(FileKind kind) { return kind == FileKind::Krv || kind == FileKind::Korva; }

// SOURCE_DATE_EPOCH (seconds), as reproducible builds set it: a deck made
// at build time, the sample deck, is then the same file every build.
std::optional<int64_t> SourceDateEpoch() {
    const char* value = std::getenv("SOURCE_DATE_EPOCH");
    if (value == nullptr || *value == '\0' ||
        std::string_view(value).find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    try {
        return std::stoll(value);
    } catch (const std::out_of_range&) {
        return std::nullopt;
    }
}

int64_t NowMs() {
    if (const std::optional<int64_t> epoch = SourceDateEpoch(); epoch && *epoch < INT64_MAX / 1000) {
        return *epoch * 1000;
    }
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// A deck as read: a .korva file's whole deck, or the cards of a .krv file or
// a word list in deck.cards (code page 932), with no ids or record.
struct OpenedDeck {
    KorvaDeck deck;
    FileKind kind = FileKind::Other;
};

// The reader is chosen by the path's ending, as the program chooses it; the
// word-list options are for word lists only.
OpenedDeck OpenDeck(const std::string& path, const ToolArguments& args) {
    OpenedDeck opened;
    opened.kind = KindOf(path);
    if (args.AnyListOption() && opened.kind != FileKind::List) {
        throw Refusal("--encoding などの単語リストのオプションは .csv .tsv .txt のファイルにだけ使えます。");
    }
    switch (opened.kind) {
        case FileKind::Korva: opened.deck = korva::LoadKorvaFile(path); break;
        case FileKind::Krv:
        case FileKind::List:
            opened.deck.cards = CardData{};
            korva::ReadDeckOrCsvFile(path, opened.deck.cards, false, korva::ListOptionsOf(args));
            break;
        case FileKind::Other: throw Refusal("ファイル名が .krv、.korva、.csv、.tsv、.txt のどれでも終わっていません。");
    }
    return opened;
}

void PrintLine(const std::string& text) {
    const std::string line = text + "\n";
    if (std::fwrite(line.data(), 1, line.size(), stdout) != line.size() || std::fflush(stdout) != 0) {
        throw Refusal("出力に書き込めません。");
    }
}

// What --replace changed, so that nothing is replaced unseen:
// "2文字を置き換えました: 3行目「é」、5行目「한」". A list in a language
// code page 932 lacks can need millions; the first ones name the lines to
// look at and the count tells the rest, as in the program's preview.
constexpr std::size_t ListedReplacements = 10;

std::string ReplacementReport(const korva::Replacements& replaced) {
    std::string report = std::to_string(replaced.count) + "文字を置き換えました: ";
    const std::size_t listed = std::min(replaced.first.size(), ListedReplacements);
    for (std::size_t i = 0; i < listed; ++i) {
        const korva::ReplacedCharacter& one = replaced.first[i];
        report += (i > 0 ? "、" : "") + std::to_string(one.line) + "行目「" + one.character + "」";
    }
    if (replaced.count > listed) {
        report += "、ほか" + std::to_string(replaced.count - listed) + "文字";
    }
    return report;
}

// The texts a conversion between encodings could not carry, named by card
// and item as the card editor numbers them: "2枚目の項目1「한」、…".
std::string LossList(const korva::CardConversion& conversion, bool bytes) {
    std::string list;
    const std::size_t listed = std::min(conversion.first.size(), ListedReplacements);
    for (std::size_t i = 0; i < listed; ++i) {
        const korva::ItemLoss& one = conversion.first[i];
        list += (i > 0 ? "、" : "") + std::to_string(one.card) + "枚目の項目" + std::to_string(one.item) +
                (bytes ? " (" + one.what + ")" : "「" + one.what + "」");
    }
    if (conversion.count > listed) {
        list += "、ほか" + std::to_string(conversion.count - listed) + (bytes ? "箇所" : "文字");
    }
    return list;
}

// .krv cards for a .korva deck: bytes that do not decode are refused unless
// replace, since the text would change.
CardData ToUtf8Cards(const CardData& cards, bool replace, const std::function<void(const std::string&)>& tell) {
    korva::CardConversion conversion = korva::CardsToUtf8(cards);
    if (conversion.count > 0) {
        if (!replace) {
            throw Refusal("Shift_JISとして読めないバイトがあり、UTF-8にできません: " + LossList(conversion, true) +
                          "。--replace で「\xEF\xBF\xBD」に置き換えます。");
        }
        tell(std::to_string(conversion.count) +
             "箇所を「\xEF\xBF\xBD」に置き換えました: " + LossList(conversion, true));
    }
    return std::move(conversion.cards);
}

// .korva cards for a .krv deck, or an export in code page 932: characters
// it lacks are refused unless replace, then replaced as a word list's are.
CardData ToCp932Cards(const CardData& cards, bool replace, std::string_view instead,
                      const std::function<void(const std::string&)>& tell) {
    korva::CardConversion conversion = korva::CardsToCp932(cards);
    if (conversion.count > 0) {
        if (!replace) {
            throw Refusal("Shift_JISにない文字があります: " + LossList(conversion, false) + "。" +
                          std::string(instead));
        }
        tell(std::to_string(conversion.count) + "文字を置き換えました: " + LossList(conversion, false));
    }
    return std::move(conversion.cards);
}

// Writing a deck over a path the program would read as a word list would
// destroy that file's text.
FileKind RefuseDeckOutput(const std::string& out) {
    const FileKind kind = KindOf(out);
    if (!IsDeckFile(kind)) {
        throw Refusal("出力ファイル名が .krv か .korva で終わっていません。");
    }
    return kind;
}

KorvaDeck NewKorvaDeck(CardData cards) { return korva::MakeKorvaDeck(std::move(cards), NowMs(), KORVA_VERSION); }

// A word list read for the deck it becomes, with what --replace changed.
CardData ReadList(const std::string& in, const ToolArguments& args, korva::ItemEncoding items,
                  korva::Replacements& replaced) {
    CardData data;
    data.encoding = items;
    korva::ReadWithinMemory([&] {
        korva::WordListOptions options = korva::ListOptionsOf(args);
        options.items = items;
        korva::WordList list = korva::ReadWordList(korva::ReadFileBytes(in), options);
        replaced = std::move(list.replaced);
        korva::ImportWordList(std::move(list), data, false);
    });
    return data;
}

const std::string RecordNotKept = "学習の記録は .krv のデッキファイルに保存されません (";

void Convert(const ToolArguments& args, Subject& subject) {
    const std::string& in = args.files[0];
    const std::string& out = args.files[1];
    subject = out;
    const FileKind outKind = RefuseDeckOutput(out);
    subject = in;
    const FileKind inKind = KindOf(in);
    // Told before the file is replaced: output that cannot be written (a
    // full disk, a closed pipe) ends the command with the old file in place.
    std::vector<std::string> report;
    const auto tell = [&report](const std::string& line) {
        report.push_back(line);
    };
    std::string notice;  // on standard error
    KorvaDeck deck;
    if (inKind == FileKind::List) {
        korva::Replacements replaced;
        deck.cards = ReadList(
            in, args, outKind == FileKind::Korva ? korva::ItemEncoding::Utf8 : korva::ItemEncoding::Cp932, replaced);
        if (replaced.count > 0) {
            tell(ReplacementReport(replaced));
        }
        if (outKind == FileKind::Korva) {
            deck = NewKorvaDeck(std::move(deck.cards));
        }
    } else {
        OpenedDeck opened = OpenDeck(in, args);
        deck = std::move(opened.deck);
        if (inKind == FileKind::Krv && outKind == FileKind::Korva) {
            deck = NewKorvaDeck(ToUtf8Cards(deck.cards, args.replace, tell));
        } else if (inKind == FileKind::Korva && outKind == FileKind::Krv) {
            deck.cards =
                ToCp932Cards(deck.cards, args.replace, "--replace で元の文字 (é → e) か〓に置き換えます。", tell);
            if (!deck.record.empty()) {
                notice = RecordNotKept + std::to_string(deck.record.size()) + "件)。";
            }
        }
    }
    subject = out;
    for (const std::string& line : report) {
        PrintLine(line);
    }
    if (!notice.empty()) {
        std::fprintf(stderr, "korva-deck: %s: %s\n", out.c_str(), notice.c_str());
    }
    if (outKind == FileKind::Korva) {
        // Its revision stamp too, which is otherwise drawn anew each save.
        const std::optional<int64_t> epoch = SourceDateEpoch();
        if (epoch) {
            korva::SaveKorvaFile(out, deck, std::max<int64_t>(*epoch, 1));
        } else {
            korva::SaveKorvaFile(out, deck);
        }
    } else {
        korva::SaveCardFile(out, deck.cards);
    }
}

// What the deck decided of how the list was read, told beside the counts:
// a list whose bytes read two ways is read as the one its cards are in.
std::string ReadingReport(const korva::ListReading& reading) {
    std::string report;
    if (reading.encoding) {
        report += std::string("UTF-8としてもShift_JISとしても読めるため、デッキのカードと合う") +
                  (*reading.encoding == korva::TextEncoding::Utf8 ? "UTF-8" : "Shift_JIS") + "として読みました。";
    }
    if (reading.directivesAsCards) {
        report += "先頭の「#」で始まる行を、Ankiの指定行ではなくデッキのカードとして読みました。";
    }
    return report;
}

// The updated cards as a .korva deck: a card of the old deck keeps its id,
// a new one gets a new id; the record stays as it was.
KorvaDeck UpdatedKorvaDeck(KorvaDeck old, const korva::DeckUpdate& update) {
    std::vector<int64_t> ids(update.from.size(), 0);
    for (std::size_t card = 1; card < update.from.size(); ++card) {
        ids[card] = update.from[card] != 0 ? old.cardIds[update.from[card]] : korva::NewCardId(old);
    }
    old.cards = update.deck;
    old.cardIds = std::move(ids);
    old.savedMs = NowMs();
    old.savedByVersion = KORVA_VERSION;
    return old;
}

void Update(const ToolArguments& args, Subject& subject) {
    const std::string& deckPath = args.files[0];
    const std::string& listPath = args.files[1];
    const std::string& out = args.out ? *args.out : deckPath;
    // The deck itself must be a deck file: it is the one written back.
    subject = deckPath;
    const FileKind deckKind = KindOf(deckPath);
    if (!IsDeckFile(deckKind)) {
        throw Refusal("デッキファイル名が .krv か .korva で終わっていません。");
    }
    subject = out;
    if (RefuseDeckOutput(out) != deckKind) {
        throw Refusal(std::string("出力ファイル名がデッキファイルと同じ ") +
                      (deckKind == FileKind::Korva ? ".korva" : ".krv") + " で終わっていません。");
    }
    subject = deckPath;
    OpenedDeck opened = OpenDeck(deckPath, ToolArguments{.files = args.files});
    const CardData& deck = opened.deck.cards;
    subject = listPath;
    korva::ListUpdate update;
    std::vector<std::string> converted;  // what --replace changed of a deck's texts
    if (KindOf(listPath) == FileKind::List) {
        const korva::WordListOptions options = korva::ListOptionsOf(args);
        korva::ReadWithinMemory([&] {
            update = korva::UpdateDeckFromList(deck, korva::ReadFileBytes(listPath), options, args.keepMissing);
        });
        subject = out;
        korva::RequireWithinLimit(update.update);
    } else {
        CardData list = OpenDeck(listPath, args).deck.cards;
        const auto tell = [&converted](const std::string& line) {
            converted.push_back(line);
        };
        if (list.encoding != deck.encoding) {
            list = deck.encoding == korva::ItemEncoding::Utf8
                       ? ToUtf8Cards(list, args.replace, tell)
                       : ToCp932Cards(list, args.replace, "--replace で元の文字 (é → e) か〓に置き換えます。", tell);
        }
        subject = out;
        update.update = korva::UpdateDeck(deck, list, args.keepMissing);
    }
    // Standard output is the counts' one line, for scripts; how the list was
    // read and what --replace changed are told beside it.
    const std::string reading = ReadingReport(update.reading);
    if (!reading.empty()) {
        std::fprintf(stderr, "korva-deck: %s: %s\n", listPath.c_str(), reading.c_str());
    }
    if (update.replaced.count > 0) {
        std::fprintf(stderr, "korva-deck: %s: %s\n", listPath.c_str(), ReplacementReport(update.replaced).c_str());
    }
    for (const std::string& line : converted) {
        std::fprintf(stderr, "korva-deck: %s: %s\n", listPath.c_str(), line.c_str());
    }
    // As convert's report: printed before the deck is replaced.
    PrintLine(korva::UpdateCountsToJson(update.update.counts));
    if (deckKind == FileKind::Korva) {
        korva::SaveKorvaFile(out, UpdatedKorvaDeck(std::move(opened.deck), update.update));
    } else {
        korva::SaveCardFile(out, update.update.deck);
    }
}

void Inspect(const ToolArguments& args, Subject& subject) {
    subject = args.files[0];
    if (KindOf(subject) != FileKind::List) {
        throw Refusal("inspect は .csv .tsv .txt のファイルにだけ使えます。");
    }
    korva::WordListOptions options = korva::ListOptionsOf(args);
    options.replace = true;  // to list every character that would need it
    const std::string bytes = korva::ReadFileBytes(subject);
    korva::WordList list;
    korva::ReadWithinMemory([&] { list = korva::ReadWordList(bytes, options); });
    PrintLine(korva::WordListToJson(list));
}

void Export(const ToolArguments& args, Subject& subject) {
    const std::string& in = args.files[0];
    const std::string& out = args.files[1];
    // A word list written over a deck file would lose its marks and modes.
    subject = out;
    if (KindOf(out) != FileKind::List) {
        throw Refusal("出力ファイル名が .csv .tsv .txt のどれでも終わっていません。");
    }
    // Checked before the deck is read, as a command line that names nothing.
    korva::WriteFormatOf(args, out, korva::ItemEncoding::Cp932);
    subject = in;
    CardData cards = OpenDeck(in, ToolArguments{.files = args.files}).deck.cards;
    const korva::CsvWriteFormat format = korva::WriteFormatOf(args, out, cards.encoding);
    if (cards.encoding == korva::ItemEncoding::Utf8 && format.encoding == CsvEncoding::Cp932) {
        cards = ToCp932Cards(cards, false, "--encoding utf-8 で書き出してください。", [](const std::string&) {});
    }
    const std::string csv = korva::WriteCsv(cards, format);
    subject = out;
    korva::WriteFileAtomically(out, csv);
}

// The deck with its memory as at the time --at names, or now: the record's
// rows up to that time, replayed; without --at the kept memory, brought up to
// the whole record. Cards of a .krv file or a word list have never been
// reviewed: every card is new.
KorvaDeck ScheduledDeck(OpenedDeck opened, const std::optional<int64_t>& at) {
    if (opened.kind != FileKind::Korva) {
        return korva::MakeKorvaDeck(std::move(opened.deck.cards), 0, "");
    }
    KorvaDeck& deck = opened.deck;
    if (at) {
        std::erase_if(deck.record, [&](const korva::ReviewRow& row) { return row.timeMs > *at; });
        deck.memory.clear();
        deck.memoryRows = 0;
    }
    korva::CatchUpMemory(deck);
    return std::move(deck);
}

std::optional<int64_t> AtOf(const ToolArguments& args) {
    return args.at ? std::optional(korva::AtTimeOf(*args.at)) : std::nullopt;
}

void Show(const ToolArguments& args, Subject& subject) {
    const std::optional<int64_t> at = AtOf(args);
    subject = args.files[0];
    OpenedDeck opened = OpenDeck(args.files[0], args);
    if (opened.kind != FileKind::Korva) {
        PrintLine(korva::DeckToJson(opened.deck.cards));
        return;
    }
    PrintLine(korva::DeckToJson(ScheduledDeck(std::move(opened), at)));
}

void Stats(const ToolArguments& args, Subject& subject) {
    const std::optional<int64_t> at = AtOf(args);
    subject = args.files[0];
    OpenedDeck opened = OpenDeck(args.files[0], args);
    if (!args.json) {
        PrintLine(korva::DeckStatsToJson(opened.deck.cards));
        return;
    }
    const CardData cards = opened.deck.cards;
    KorvaDeck deck = ScheduledDeck(std::move(opened), at);
    // The deck's own cards as read, whatever a .krv deck's copy dropped.
    deck.cards = cards;
    PrintLine(korva::DeckStatsToJson(deck, korva::StudyDays(at.value_or(NowMs()), QTimeZone::systemTimeZone())));
}

void Log(const ToolArguments& args, Subject& subject) {
    subject = args.files[0];
    if (KindOf(subject) != FileKind::Korva) {
        throw Refusal("学習の記録は .korva のデッキファイルにだけあります。");
    }
    const KorvaDeck deck = korva::LoadKorvaFile(subject);
    if (args.json) {
        PrintLine(korva::ReviewLogJson(deck));
        return;
    }
    const std::string csv = korva::ReviewLogCsv(deck);
    PrintLine(csv.substr(0, csv.size() - 1));
}

constexpr Command Commands[] = {
    {"convert",
     "korva-deck convert [--encoding auto|cp932|utf-8|utf-16] [--separator comma|tab|semicolon|pipe|space|colon] [--quoting rfc|none] "
     "[--header] [--columns A,B] [--replace] IN OUT.krv|OUT.korva",
     "単語リスト (.csv .tsv .txt) かデッキファイル (.krv .korva) を読み、出力ファイル名の末尾の形式のデッキファイル"
     "として保存します。単語リストの文字コード、区切り文字、引用符の使い方はプログラムと同じように見分けます。"
     "オプションで指定すると、その指定で読みます。--header は1行目を見出しとして読み飛ばし、--columns は項目1と"
     "項目2にする列 (1から数えます) を選びます。.korva にはどの言語の文字もそのまま (合成済みの形で) 入ります。"
     ".krv にはShift_JISの文字だけが入り、ない文字は断ります。--replace ではそれを元の文字 (é → e) か〓にし、"
     "置き換えた文字と行 (デッキからはカードと項目) を表示します。.krv から .korva へは、カード、チェック、出題項目"
     "とモードをそのまま移し、Shift_JISとして読めないバイトはカードと項目を示して断ります (--replace では"
     "「\xEF\xBF\xBD」にします)。.korva から .krv へは、学習の記録が残らないことを標準エラーに表示します。",
     2, korva::ListReadingOptions | korva::ReplaceOption, Convert},
    {"inspect",
     "korva-deck inspect [--encoding auto|cp932|utf-8|utf-16] [--separator comma|tab|semicolon|pipe|space|colon] "
     "[--quoting rfc|none] [--header] [--columns A,B] IN",
     "単語リストについて、見分けた文字コード、行末、区切り文字、引用符、従来の形式かどうか、行数、列数、1行目の項目、"
     "Shift_JISにない文字をJSONで表示します。",
     1, korva::ListReadingOptions, Inspect},
    {"export",
     "korva-deck export IN OUT.csv [--encoding cp932|utf-8] [--separator comma|tab|semicolon|pipe|space|colon] [--quoting rfc|none]",
     "カード1から最後までを「項目1,項目2」の行 (行末はCR LF) として単語リストに書き出します。既定の文字コードは"
     ".krv と単語リストからはShift_JISで引用符を使わず、.korva からはUTF-8です。UTF-8では、区切り文字、引用符、"
     "改行を含む項目を引用符で囲み (RFC 4180)、表計算ソフトで開けるようにします。引用符を使うときは、Ankiの指定行と"
     "読まれないよう、「#」で始まるカード1の項目1も囲みます。.korva をShift_JISで書き出すとき、Shift_JISにない"
     "文字はカードと項目を示して断ります。チェックとモードは書き出しません。",
     2, korva::ListWritingOptions, Export},
    {"update",
     "korva-deck update [--encoding auto|cp932|utf-8|utf-16] [--separator comma|tab|semicolon|pipe|space|colon] "
     "[--quoting rfc|none] [--header] [--columns A,B] [--replace] [--out OUT] [--keep-missing] DECK LIST",
     "編集した単語リスト LIST (convert と同じように読みます) を、学習中のデッキ DECK (.krv か .korva) に戻します。"
     "カードは LIST の順になります。項目1が DECK のカードと同じ文字の行 (Shift_JISに2つの符号がある文字はどちらの"
     "符号でも同じ文字です。同じ項目1のカードが複数あれば前から順に) は、そのカードのチェック、出題項目と項目1を"
     "そのまま残し、項目2が違う文字なら LIST のものにします。ほかの行は新しいカード (チェックなし、項目1を出題) "
     "になります。どの行とも合わないカードは削除し、--keep-missing では最後にそのまま残します。モードは変えません。"
     ".korva のデッキでは、残したカードはカードの番号 (ID) を保ち、新しいカードには新しい番号を付け、学習の記録も"
     "そのまま残します。DECK を書き換え (--out では DECK と同じ形式の OUT に保存し)、{\"kept\":同じ,"
     "\"changed\":項目2を変えた,\"added\":追加,\"removed\":削除} の枚数をJSONで1行表示します。--encoding がなく "
     "LIST がUTF-8としてもShift_JISとしても読めるとき、また先頭の「#」で始まる行がAnkiの指定行ともカードとも読める"
     "ときは、DECK のカードと多く合う読み方をとり (同じなら、ほかのコマンドと同じ読み方)、カードで決めた読み方を"
     "標準エラーに1行表示します。",
     2, korva::ListReadingOptions | korva::ReplaceOption | korva::OutOption | korva::KeepMissingOption, Update},
    {"show", "korva-deck show [--at TIME] FILE",
     "デッキをJSON (UTF-8) で表示します。カードごとの \"memory\":[項目1を出題, 項目2を出題] は、その向きの記憶の状態 "
     "(stability: 安定度 (日)、difficulty: 難しさ (1〜10)、due: 次の出題時刻、lastReview: 最後に答えた時刻 (UTC)、"
     "reviews: 答えた回数、lapses: 覚えたあと忘れた回数) で、まだ答えていない向きは null です。.krv のデッキと"
     "単語リストでは、どれも null です。--at では、その時刻 (ISO 8601: 2024-06-01T12:00:00Z、Z も +09:00 も"
     "なければこのコンピューターの時刻) までの記録だけで求めます。",
     1, korva::AtOption, Show},
    {"stats", "korva-deck stats [--json] [--at TIME] FILE",
     "カードの枚数、出題項目ごとの枚数、項目ごとのチェックの数、覚えたカード (「チェックのみ」で表示されるカード) "
     "の数をJSONで表示します。--json では、学習の予定 \"schedule\":{\"due\":今日の復習,\"new\":今日の新しいカード,"
     "\"forecast\":[今日から30日の各日に出題するカード],\"retention30\":過去30日の正答率,\"streak\":続けて"
     "学習した日数} を加えます。1日はこのコンピューターの時間帯の午前4時に始まり、まだ今日学習していなければ昨日まで"
     "の日数を数えます。正答率は出題の時期が来ていたカードの答えのうちチェックした割合で、ない日は null です。"
     ".krv のデッキと単語リストでは、どのカードも新しいカードです。--at では、その時刻を今として、その時刻までの記録で"
     "求めます。",
     1, korva::JsonOption | korva::AtOption, Stats},
    {"log", "korva-deck log [--json] DECK.korva",
     ".korva のデッキの学習の記録を、答えた順に1回1行のCSV (見出し行 time,card,item,result,style,judged) で"
     "表示します。time は答えた時刻 (UTC、ISO 8601、ミリ秒まで: 2026-12-09T12:30:05.123Z)、card はそのカードの"
     "いまの番号 (削除したカードは空)、item は出題した項目 (1 か 2)、result は答えたあとのチェック "
     "(checked か unchecked)、style は答え方 (normal: 答えを表示、test: 入力)、judged は入力した答えの判定 "
     "(right か wrong、表示だけなら空) です。--json では同じ項目のオブジェクトのJSON配列を1行で表示します "
     "(空の項目は null)。.krv のデッキと単語リストには記録がないため、そう表示して終了コード1で終わります。",
     1, korva::JsonOption, Log},
};

std::string HelpText() {
    std::string text = "使い方:\n";
    for (const Command& command : Commands) {
        text += "  " + std::string(command.usage) + "\n      " + std::string(command.summary) + "\n";
    }
    text +=
        "  korva-deck --help\n      この説明を表示します。\n"
        "IN、FILE、DECK と LIST は、名前の末尾が .krv か .korva ならデッキファイル、.csv .tsv .txt なら単語リストとして\n"
        "(大文字でも小文字でも)、プログラムと同じように読みます。\n"
        "失敗すると理由を1行表示して終了コード1で終わり、出力ファイルは作らず、元のファイルも変えません。\n";
    return text;
}

const Command* FindCommand(std::string_view name) {
    for (const Command& command : Commands) {
        if (command.name == name) {
            return &command;
        }
    }
    return nullptr;
}

bool AsksForHelp(std::span<char* const> words) {
    for (const std::string_view word : words) {
        if (word == "--help" || word == "-h") {
            return true;
        }
    }
    return false;
}

int Run(const Command& command, std::span<char* const> words) {
    if (AsksForHelp(words)) {
        PrintLine("使い方: " + std::string(command.usage) + "\n  " + std::string(command.summary));
        return 0;
    }
    Subject subject;
    try {
        command.run(korva::ParseArguments(words, command.options, command.files), subject);
        return 0;
    } catch (const UsageError& e) {
        std::fprintf(stderr, "korva-deck %s: %s 使い方: %s\n", std::string(command.name).c_str(), e.what(),
                     std::string(command.usage).c_str());
    } catch (const DeckError& e) {
        std::fprintf(stderr, "korva-deck: %s: %s\n", subject.c_str(), korva::DescribeDeckError(e).c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "korva-deck: %s: %s\n", subject.c_str(), e.what());
    }
    return 1;
}

int Dispatch(std::span<char* const> words) {
    if (words.empty()) {
        std::fputs(HelpText().c_str(), stderr);
        return 1;
    }
    const std::string_view name = words[0];
    if (name == "--help" || name == "-h") {
        std::fputs(HelpText().c_str(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    const Command* command = FindCommand(name);
    if (command == nullptr) {
        std::fprintf(stderr, "korva-deck: 「%s」というコマンドはありません。korva-deck --help で使い方を表示します。\n",
                     std::string(name).c_str());
        return 1;
    }
    return Run(*command, words.subspan(1));
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Dispatch(std::span<char* const>(argv + 1, static_cast<std::size_t>(argc > 0 ? argc - 1 : 0)));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "korva-deck: %s\n", e.what());
        return 1;
    }
}
