// korva-deck: decks from the command line, read exactly as the program opens
// them, and word lists to and from spreadsheets. `korva-deck --help` lists
// the commands.

#include <algorithm>
#include <cstdio>
#include <exception>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "deck/DeckError.h"
#include "deck/DeckErrorText.h"
#include "deck/DeckFile.h"
#include "deck/DeckPath.h"
#include "deck/FileBytes.h"
#include "deck/WordList.h"
#include "tools/CsvExport.h"
#include "tools/DeckJson.h"
#include "tools/DeckStats.h"
#include "tools/DeckUpdate.h"
#include "tools/ToolArguments.h"
#include "tools/WordListJson.h"

namespace {

using korva::CardData;
using korva::CsvEncoding;
using korva::DeckError;
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

// The reader is chosen by the path's ending, as the program chooses it; the
// word-list options are for word lists only.
CardData OpenDeck(const std::string& path, const ToolArguments& args) {
    if (args.AnyListOption() && korva::KindOfPath(path) != korva::DeckPathKind::Csv) {
        throw Refusal("--encoding などの単語リストのオプションは .csv .tsv .txt のファイルにだけ使えます。");
    }
    CardData data;
    korva::ReadDeckOrCsvFile(path, data, false, korva::ListOptionsOf(args));
    return data;
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

// Writing a deck over a path the program would read as a word list would
// destroy that file's text.
void RefuseDeckOutput(const std::string& out) {
    if (korva::KindOfPath(out) != korva::DeckPathKind::Deck) {
        throw Refusal("出力ファイル名が .krv で終わっていません。");
    }
}

// A word list or a deck as convert reads it, with what --replace changed.
CardData ReadInput(const std::string& in, const ToolArguments& args, korva::Replacements& replaced) {
    if (korva::KindOfPath(in) != korva::DeckPathKind::Csv) {
        return OpenDeck(in, args);
    }
    CardData data;
    korva::ReadWithinMemory([&] {
        korva::WordList list = korva::ReadWordList(korva::ReadFileBytes(in), korva::ListOptionsOf(args));
        replaced = std::move(list.replaced);
        korva::ImportWordList(std::move(list), data, false);
    });
    return data;
}

void Convert(const ToolArguments& args, Subject& subject) {
    const std::string& in = args.files[0];
    const std::string& out = args.files[1];
    subject = out;
    RefuseDeckOutput(out);
    subject = in;
    korva::Replacements replaced;
    const CardData data = ReadInput(in, args, replaced);
    // Told before the file is replaced: output that cannot be written (a
    // full disk, a closed pipe) ends the command with the old file in place.
    subject = out;
    if (replaced.count > 0) {
        PrintLine(ReplacementReport(replaced));
    }
    korva::SaveCardFile(out, data);
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

void Update(const ToolArguments& args, Subject& subject) {
    const std::string& deckPath = args.files[0];
    const std::string& listPath = args.files[1];
    const std::string& out = args.out ? *args.out : deckPath;
    // The deck itself must be a deck file: it is the one written back.
    subject = deckPath;
    if (korva::KindOfPath(deckPath) != korva::DeckPathKind::Deck) {
        throw Refusal("デッキファイル名が .krv で終わっていません。");
    }
    subject = out;
    RefuseDeckOutput(out);
    subject = deckPath;
    CardData deck;
    korva::LoadCardFile(deckPath, deck, false);
    subject = listPath;
    korva::ListUpdate update;
    if (korva::KindOfPath(listPath) == korva::DeckPathKind::Csv) {
        const korva::WordListOptions options = korva::ListOptionsOf(args);
        korva::ReadWithinMemory([&] {
            update = korva::UpdateDeckFromList(deck, korva::ReadFileBytes(listPath), options, args.keepMissing);
        });
        subject = out;
        korva::RequireWithinLimit(update.update);
    } else {
        const CardData list = OpenDeck(listPath, args);
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
    // As convert's report: printed before the deck is replaced.
    PrintLine(korva::UpdateCountsToJson(update.update.counts));
    korva::SaveCardFile(out, update.update.deck);
}

void Inspect(const ToolArguments& args, Subject& subject) {
    subject = args.files[0];
    if (korva::KindOfPath(subject) != korva::DeckPathKind::Csv) {
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
    if (korva::KindOfPath(out) != korva::DeckPathKind::Csv) {
        throw Refusal("出力ファイル名が .csv .tsv .txt のどれでも終わっていません。");
    }
    const korva::CsvWriteFormat format = korva::WriteFormatOf(args, out);
    subject = in;
    const std::string csv = korva::WriteCsv(OpenDeck(in, ToolArguments{.files = args.files}), format);
    subject = out;
    korva::WriteFileAtomically(out, csv);
}

void Show(const ToolArguments& args, Subject& subject) {
    subject = args.files[0];
    PrintLine(korva::DeckToJson(OpenDeck(args.files[0], args)));
}

void Stats(const ToolArguments& args, Subject& subject) {
    subject = args.files[0];
    PrintLine(korva::DeckStatsToJson(OpenDeck(args.files[0], args)));
}

constexpr Command Commands[] = {
    {"convert",
     "korva-deck convert [--encoding auto|cp932|utf-8|utf-16] [--separator comma|tab|semicolon|pipe|space|colon] [--quoting rfc|none] "
     "[--header] [--columns A,B] [--replace] IN OUT.krv",
     "単語リスト (.csv .tsv .txt) かデッキファイルを読み、デッキファイルとして保存します。単語リストの文字コード、"
     "区切り文字、引用符の使い方はプログラムと同じように見分けます。オプションで指定すると、その指定で読みます。"
     "--header は1行目を見出しとして読み飛ばし、--columns は項目1と項目2にする列 (1から数えます) を選び、"
     "--replace はShift_JISにない文字を元の文字 (é → e) か〓にし、置き換えた文字と行を表示します。",
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
     "Shift_JISで、引用符を使いません。--encoding utf-8 では、区切り文字、引用符、改行を含む項目を引用符で囲み "
     "(RFC 4180)、表計算ソフトで開けるようにします。引用符を使うときは、Ankiの指定行と読まれないよう、「#」で始まる"
     "カード1の項目1も囲みます。チェックとモードは書き出しません。",
     2, korva::ListWritingOptions, Export},
    {"update",
     "korva-deck update [--encoding auto|cp932|utf-8|utf-16] [--separator comma|tab|semicolon|pipe|space|colon] "
     "[--quoting rfc|none] [--header] [--columns A,B] [--replace] [--out OUT.krv] [--keep-missing] DECK.krv LIST",
     "編集した単語リスト LIST (convert と同じように読みます) を、学習中のデッキ DECK.krv に戻します。カードは LIST "
     "の順になります。項目1が DECK.krv のカードと同じ文字の行 (Shift_JISに2つの符号がある文字はどちらの符号でも同じ"
     "文字です。同じ項目1のカードが複数あれば前から順に) は、そのカードのチェック、出題項目と項目1をそのまま残し、"
     "項目2が違う文字なら LIST のものにします。ほかの行は新しいカード (チェックなし、項目1を出題) "
     "になります。どの行とも合わないカードは削除し、--keep-missing では最後にそのまま残します。モードは変えません。"
     "DECK.krv を書き換え (--out では OUT.krv に保存し)、{\"kept\":同じ,\"changed\":項目2を変えた,\"added\":追加,"
     "\"removed\":削除} の枚数をJSONで1行表示します。--encoding がなく LIST がUTF-8としてもShift_JISとしても読める"
     "とき、また先頭の「#」で始まる行がAnkiの指定行ともカードとも読めるときは、DECK.krv のカードと多く合う読み方をとり "
     "(同じなら、ほかのコマンドと同じ読み方)、カードで決めた読み方を標準エラーに1行表示します。",
     2, korva::ListReadingOptions | korva::ReplaceOption | korva::OutOption | korva::KeepMissingOption, Update},
    {"show", "korva-deck show FILE", "デッキをJSON (UTF-8) で表示します。", 1, 0, Show},
    {"stats", "korva-deck stats FILE",
     "カードの枚数、出題項目ごとの枚数、項目ごとのチェックの数、覚えたカード (「チェックのみ」で表示されるカード) "
     "の数をJSONで表示します。",
     1, 0, Stats},
};

std::string HelpText() {
    std::string text = "使い方:\n";
    for (const Command& command : Commands) {
        text += "  " + std::string(command.usage) + "\n      " + std::string(command.summary) + "\n";
    }
    text +=
        "  korva-deck --help\n      この説明を表示します。\n"
        "IN、FILE と LIST は、名前の末尾が .krv ならデッキファイル、.csv .tsv .txt なら単語リストとして (大文字でも小文字でも)、\n"
        "プログラムと同じように読みます。\n"
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
