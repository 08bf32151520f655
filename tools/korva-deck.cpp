// korva-deck: decks from the command line, read exactly as the program opens
// them, and word lists to and from spreadsheets. `korva-deck --help` lists
// the commands.

#include <algorithm>
#include <cstdio>
#include <exception>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "deck/DeckError.h"
#include "deck/DeckFile.h"
#include "deck/DeckPath.h"
#include "deck/FileBytes.h"
#include "deck/WordList.h"
#include "tools/CsvExport.h"
#include "tools/DeckJson.h"
#include "tools/DeckStats.h"
#include "tools/WordListJson.h"

namespace {

using korva::CardData;
using korva::CsvEncoding;
using korva::DeckError;

// A command line that does not fit its command; answered with the usage.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The options a command takes, as bits.
enum OptionBit : unsigned { Encoding = 1, Separator = 2, QuotingBit = 4, Header = 8, Columns = 16, Replace = 32 };
constexpr unsigned ListReading = Encoding | Separator | QuotingBit | Header | Columns;
constexpr unsigned ListWriting = Encoding | Separator | QuotingBit;

struct Arguments {
    std::vector<std::string> files;
    // Values as given; each command reads those it takes.
    std::optional<std::string> encoding;
    std::optional<std::string> separator;
    std::optional<std::string> quoting;
    std::optional<std::string> columns;
    bool header = false;
    bool replace = false;

    bool AnyListOption() const { return encoding || separator || quoting || columns || header || replace; }
};

// The file a failure is about, named on the one line of standard error.
using Subject = std::string;

struct Command {
    std::string_view name;
    std::string_view usage;
    std::string_view summary;
    std::size_t files;
    unsigned options;
    void (*run)(const Arguments&, Subject&);
};

constexpr std::string_view EncodingHint = "--encoding には auto、cp932、utf-8、utf-16 のどれかを指定します。";
constexpr std::string_view ExportEncodingHint = "--encoding には cp932 か utf-8 を指定します。";
constexpr std::string_view SeparatorHint = "--separator には comma、tab、semicolon のどれかを指定します。";
constexpr std::string_view QuotingHint = "--quoting には rfc か none を指定します。";
constexpr std::string_view ColumnsHint = "--columns には 1,3 のように列の番号を2つ指定します。";

std::optional<char> SeparatorOf(const Arguments& args) {
    if (!args.separator) {
        return std::nullopt;
    }
    for (const auto& [name, separator] : {std::pair{"comma", ','}, {"tab", '\t'}, {"semicolon", ';'}}) {
        if (*args.separator == name) {
            return separator;
        }
    }
    throw UsageError(std::string(SeparatorHint));
}

std::optional<korva::Quoting> QuotingOf(const Arguments& args) {
    if (!args.quoting) {
        return std::nullopt;
    }
    if (*args.quoting == "rfc" || *args.quoting == "none") {
        return *args.quoting == "rfc" ? korva::Quoting::Rfc : korva::Quoting::None;
    }
    throw UsageError(std::string(QuotingHint));
}

int ColumnNumber(std::string_view text) {
    if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != std::string_view::npos ||
        std::stoi(std::string(text)) == 0) {
        throw UsageError(std::string(ColumnsHint));
    }
    return std::stoi(std::string(text));
}

// How convert and inspect read a word list: what is not given is detected.
korva::WordListOptions ListOptionsOf(const Arguments& args) {
    korva::WordListOptions options;
    if (args.encoding && *args.encoding != "auto") {
        constexpr std::pair<std::string_view, korva::TextEncoding> names[] = {
            {"cp932", korva::TextEncoding::Cp932},
            {"utf-8", korva::TextEncoding::Utf8},
            {"utf-16", korva::TextEncoding::Utf16Le},  // the byte-order mark decides the byte order
        };
        const auto* found = std::find_if(std::begin(names), std::end(names),
                                         [&](const auto& name) { return name.first == *args.encoding; });
        if (found == std::end(names)) {
            throw UsageError(std::string(EncodingHint));
        }
        options.encoding = found->second;
    }
    options.separator = SeparatorOf(args);
    options.quoting = QuotingOf(args);
    if (args.columns) {
        const std::size_t comma = args.columns->find(',');
        if (comma == std::string::npos) {
            throw UsageError(std::string(ColumnsHint));
        }
        options.itemColumn1 = ColumnNumber(std::string_view(*args.columns).substr(0, comma));
        options.itemColumn2 = ColumnNumber(std::string_view(*args.columns).substr(comma + 1));
    }
    options.header = args.header;
    options.replace = args.replace;
    return options;
}

// UTF-8 is written for spreadsheets, with RFC 4180 quoting; code page 932
// as the classic reader reads it, unquoted, unless --quoting rfc.
korva::CsvWriteFormat WriteFormatOf(const Arguments& args) {
    korva::CsvWriteFormat format;
    if (args.encoding && *args.encoding != "cp932" && *args.encoding != "utf-8") {
        throw UsageError(std::string(ExportEncodingHint));
    }
    format.encoding = args.encoding == "utf-8" ? CsvEncoding::Utf8 : CsvEncoding::Cp932;
    format.separator = SeparatorOf(args).value_or(',');
    format.quoted =
        QuotingOf(args).value_or(format.encoding == CsvEncoding::Utf8 ? korva::Quoting::Rfc : korva::Quoting::None) ==
        korva::Quoting::Rfc;
    return format;
}

// The reader is chosen by the path's ending, as the program chooses it; the
// word-list options are for word lists only.
CardData OpenDeck(const std::string& path, const Arguments& args) {
    if (args.AnyListOption() && korva::KindOfPath(path) != korva::DeckPathKind::Csv) {
        throw DeckError("--encoding などの単語リストのオプションは .csv .tsv .txt のファイルにだけ使えます。");
    }
    CardData data;
    korva::ReadDeckOrCsvFile(path, data, false, ListOptionsOf(args));
    return data;
}

void PrintLine(const std::string& text) {
    const std::string line = text + "\n";
    if (std::fwrite(line.data(), 1, line.size(), stdout) != line.size() || std::fflush(stdout) != 0) {
        throw DeckError("出力に書き込めません。");
    }
}

void Convert(const Arguments& args, Subject& subject) {
    const std::string& in = args.files[0];
    const std::string& out = args.files[1];
    // Writing a deck over a path the program would read as a word list would
    // destroy that file's text.
    subject = out;
    if (korva::KindOfPath(out) != korva::DeckPathKind::Deck) {
        throw DeckError("出力ファイル名が .krv で終わっていません。");
    }
    subject = in;
    const CardData data = OpenDeck(in, args);
    subject = out;
    korva::SaveCardFile(out, data);
}

void Inspect(const Arguments& args, Subject& subject) {
    subject = args.files[0];
    if (korva::KindOfPath(subject) != korva::DeckPathKind::Csv) {
        throw DeckError("inspect は .csv .tsv .txt のファイルにだけ使えます。");
    }
    korva::WordListOptions options = ListOptionsOf(args);
    options.replace = true;  // to list every character that would need it
    const std::string bytes = korva::ReadFileBytes(subject);
    korva::WordList list;
    korva::ReadWithinMemory([&] { list = korva::ReadWordList(bytes, options); });
    PrintLine(korva::WordListToJson(list));
}

void Export(const Arguments& args, Subject& subject) {
    const std::string& in = args.files[0];
    const std::string& out = args.files[1];
    // A word list written over a deck file would lose its marks and modes.
    subject = out;
    if (korva::KindOfPath(out) != korva::DeckPathKind::Csv) {
        throw DeckError("出力ファイル名が .csv .tsv .txt のどれでも終わっていません。");
    }
    const korva::CsvWriteFormat format = WriteFormatOf(args);
    subject = in;
    const std::string csv = korva::WriteCsv(OpenDeck(in, Arguments{.files = args.files}), format);
    subject = out;
    korva::WriteFileAtomically(out, csv);
}

void Show(const Arguments& args, Subject& subject) {
    subject = args.files[0];
    PrintLine(korva::DeckToJson(OpenDeck(args.files[0], args)));
}

void Stats(const Arguments& args, Subject& subject) {
    subject = args.files[0];
    PrintLine(korva::DeckStatsToJson(OpenDeck(args.files[0], args)));
}

constexpr Command Commands[] = {
    {"convert",
     "korva-deck convert [--encoding auto|cp932|utf-8|utf-16] [--separator comma|tab|semicolon] [--quoting rfc|none] "
     "[--header] [--columns A,B] [--replace] IN OUT.krv",
     "単語リスト (.csv .tsv .txt) かデッキファイルを読み、デッキファイルとして保存します。単語リストの文字コード、"
     "区切り文字、引用符の使い方はプログラムと同じように見分けます。オプションで指定すると、その指定で読みます。"
     "--header は1行目を見出しとして読み飛ばし、--columns は項目1と項目2にする列 (1から数えます) を選び、"
     "--replace はShift_JISにない文字を元の文字 (é → e) か〓にします。",
     2, ListReading | Replace, Convert},
    {"inspect",
     "korva-deck inspect [--encoding auto|cp932|utf-8|utf-16] [--separator comma|tab|semicolon] "
     "[--quoting rfc|none] [--header] [--columns A,B] IN",
     "単語リストについて、見分けた文字コード、行末、区切り文字、引用符、従来の形式かどうか、行数、列数、1行目の項目、"
     "Shift_JISにない文字をJSONで表示します。",
     1, ListReading, Inspect},
    {"export",
     "korva-deck export IN OUT.csv [--encoding cp932|utf-8] [--separator comma|tab|semicolon] [--quoting rfc|none]",
     "カード1から最後までを「項目1,項目2」の行 (行末はCR LF) として単語リストに書き出します。既定の文字コードは"
     "Shift_JISで、引用符を使いません。--encoding utf-8 では、区切り文字、引用符、改行を含む項目を引用符で囲み "
     "(RFC 4180)、表計算ソフトで開けるようにします。チェックとモードは書き出しません。",
     2, ListWriting, Export},
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
        "IN と FILE は、名前の末尾が .krv ならデッキファイル、.csv .tsv .txt なら単語リストとして (大文字でも小文字でも)、\n"
        "プログラムと同じように読みます。\n"
        "失敗すると理由を1行表示して終了コード1で終わり、出力ファイルは作りません。\n";
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

struct OptionSpec {
    std::string_view name;
    OptionBit bit;
    std::string_view hint;  // empty for a switch without a value
    std::optional<std::string> Arguments::*value;
};

constexpr OptionSpec ValueOptions[] = {
    {"--encoding", Encoding, EncodingHint, &Arguments::encoding},
    {"--separator", Separator, SeparatorHint, &Arguments::separator},
    {"--quoting", QuotingBit, QuotingHint, &Arguments::quoting},
    {"--columns", Columns, ColumnsHint, &Arguments::columns},
};

// Reads the option at words[i]; false when the command takes no such option.
bool ReadOption(const Command& command, std::span<char* const> words, std::size_t& i, Arguments& args) {
    const std::string_view word = words[i];
    if (word == "--header" && (command.options & Header) != 0) {
        args.header = true;
        return true;
    }
    if (word == "--replace" && (command.options & Replace) != 0) {
        args.replace = true;
        return true;
    }
    for (const OptionSpec& option : ValueOptions) {
        if (word == option.name && (command.options & option.bit) != 0) {
            if (i + 1 == words.size()) {
                const bool exporting = option.bit == Encoding && command.options == ListWriting;
                throw UsageError(std::string(exporting ? ExportEncodingHint : option.hint));
            }
            args.*option.value = words[++i];
            return true;
        }
    }
    return false;
}

Arguments ParseArguments(const Command& command, std::span<char* const> words) {
    Arguments args;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string_view word = words[i];
        if (ReadOption(command, words, i, args)) {
            continue;
        }
        if (word.size() > 1 && word.front() == '-') {
            throw UsageError("「" + std::string(word) + "」というオプションはありません。");
        }
        args.files.emplace_back(word);
    }
    if (args.files.size() != command.files) {
        throw UsageError("ファイルの数が違います。");
    }
    return args;
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
        command.run(ParseArguments(command, words), subject);
        return 0;
    } catch (const UsageError& e) {
        std::fprintf(stderr, "korva-deck %s: %s 使い方: %s\n", std::string(command.name).c_str(), e.what(),
                     std::string(command.usage).c_str());
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
