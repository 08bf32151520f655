// korva-deck: decks from the command line, read exactly as the program opens
// them, and word lists to and from spreadsheets. `korva-deck --help` lists
// the commands.

#include <cstdio>
#include <exception>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "deck/DeckError.h"
#include "deck/DeckFile.h"
#include "deck/DeckPath.h"
#include "deck/FileBytes.h"
#include "deck/WordList.h"
#include "tools/CsvExport.h"
#include "tools/DeckJson.h"
#include "tools/DeckStats.h"

namespace {

using korva::CardData;
using korva::CsvEncoding;
using korva::DeckError;

// A command line that does not fit its command; answered with the usage.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Arguments {
    std::vector<std::string> files;
    std::optional<CsvEncoding> encoding;
};

// The file a failure is about, named on the one line of standard error.
using Subject = std::string;

struct Command {
    std::string_view name;
    std::string_view usage;
    std::string_view summary;
    std::size_t files;
    bool takesEncoding;
    void (*run)(const Arguments&, Subject&);
};

// The reader is chosen by the path's ending, as the program chooses it;
// --encoding only names the encoding of a word list.
CardData OpenDeck(const std::string& path, std::optional<CsvEncoding> csvEncoding = std::nullopt) {
    if (csvEncoding == CsvEncoding::Utf8 && korva::KindOfPath(path) != korva::DeckPathKind::Csv) {
        throw DeckError("--encoding utf-8 はCSVファイルにだけ使えます。");
    }
    korva::WordListOptions options;
    if (csvEncoding) {
        options.encoding = *csvEncoding == CsvEncoding::Utf8 ? korva::TextEncoding::Utf8 : korva::TextEncoding::Cp932;
    }
    CardData data;
    korva::ReadDeckOrCsvFile(path, data, false, options);
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
    // Writing a deck over a path the program would read as CSV would destroy
    // that file's text.
    subject = out;
    if (korva::KindOfPath(out) != korva::DeckPathKind::Deck) {
        throw DeckError("出力ファイル名が .krv で終わっていません。");
    }
    subject = in;
    const CardData data = OpenDeck(in, args.encoding);
    subject = out;
    korva::SaveCardFile(out, data);
}

void Export(const Arguments& args, Subject& subject) {
    const std::string& in = args.files[0];
    const std::string& out = args.files[1];
    // A word list written over a deck file would lose its marks and modes.
    subject = out;
    if (korva::KindOfPath(out) != korva::DeckPathKind::Csv) {
        throw DeckError("出力ファイル名が .csv で終わっていません。");
    }
    subject = in;
    const std::string csv = korva::WriteCsv(OpenDeck(in), args.encoding.value_or(CsvEncoding::Cp932));
    subject = out;
    korva::WriteFileAtomically(out, csv);
}

void Show(const Arguments& args, Subject& subject) {
    subject = args.files[0];
    PrintLine(korva::DeckToJson(OpenDeck(args.files[0])));
}

void Stats(const Arguments& args, Subject& subject) {
    subject = args.files[0];
    PrintLine(korva::DeckStatsToJson(OpenDeck(args.files[0])));
}

constexpr Command Commands[] = {
    {"convert", "korva-deck convert [--encoding utf-8|cp932] IN OUT.krv",
     "CSVファイルかデッキファイルを読み、デッキファイルとして保存します。CSVファイルは既定でShift_JIS、"
     "--encoding utf-8 でUTF-8 (先頭のBOMは読み飛ばします) として読みます。",
     2, true, Convert},
    {"export", "korva-deck export IN OUT.csv [--encoding cp932|utf-8]",
     "カード1から最後までを「項目1,項目2」の行 (行末はCR LF) としてCSVファイルに書き出します。"
     "既定の文字コードはShift_JISです。チェックとモードは書き出しません。",
     2, true, Export},
    {"show", "korva-deck show FILE", "デッキをJSON (UTF-8) で表示します。", 1, false, Show},
    {"stats", "korva-deck stats FILE",
     "カードの枚数、出題項目ごとの枚数、項目ごとのチェックの数、覚えたカード (「チェックのみ」で表示されるカード) "
     "の数をJSONで表示します。",
     1, false, Stats},
};

std::string HelpText() {
    std::string text = "使い方:\n";
    for (const Command& command : Commands) {
        text += "  " + std::string(command.usage) + "\n      " + std::string(command.summary) + "\n";
    }
    text +=
        "  korva-deck --help\n      この説明を表示します。\n"
        "IN と FILE は、名前の末尾が .krv ならデッキファイル、.csv ならCSVファイルとして（大文字でも小文字でも）、\n"
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

CsvEncoding ParseEncoding(std::string_view value) {
    if (value == "utf-8") {
        return CsvEncoding::Utf8;
    }
    if (value == "cp932") {
        return CsvEncoding::Cp932;
    }
    throw UsageError("--encoding には utf-8 か cp932 を指定します。");
}

Arguments ParseArguments(const Command& command, std::span<char* const> words) {
    Arguments args;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string_view word = words[i];
        if (word == "--encoding" && command.takesEncoding) {
            if (i + 1 == words.size()) {
                throw UsageError("--encoding には utf-8 か cp932 を指定します。");
            }
            args.encoding = ParseEncoding(words[++i]);
        } else if (word.size() > 1 && word.front() == '-') {
            throw UsageError("「" + std::string(word) + "」というオプションはありません。");
        } else {
            args.files.emplace_back(word);
        }
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
