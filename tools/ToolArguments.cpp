#include "tools/ToolArguments.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <string_view>
#include <utility>

#include <QDateTime>

namespace korva {

namespace {

constexpr std::string_view EncodingHint = "--encoding には auto、cp932、utf-8、utf-16 のどれかを指定します。";
constexpr std::string_view ExportEncodingHint = "--encoding には cp932 か utf-8 を指定します。";
constexpr std::string_view SeparatorHint =
    "--separator には comma、tab、semicolon、pipe、space、colon のどれかを指定します。";
constexpr std::string_view QuotingHint = "--quoting には rfc か none を指定します。";
constexpr std::string_view ColumnsHint = "--columns には 1,3 のように列の番号を2つ指定します。";
constexpr std::string_view AtHint = "--at には 2024-06-01T12:00:00Z のような時刻 (ISO 8601) を指定します。";
constexpr std::string_view OutHint = "--out には保存するデッキファイルの名前を指定します。";

std::optional<char> SeparatorOf(const ToolArguments& args) {
    if (!args.separator) {
        return std::nullopt;
    }
    constexpr std::pair<std::string_view, char> names[] = {{"comma", ','}, {"tab", '\t'},  {"semicolon", ';'},
                                                           {"pipe", '|'},  {"space", ' '}, {"colon", ':'}};
    for (const auto& [name, separator] : names) {
        if (*args.separator == name) {
            return separator;
        }
    }
    throw UsageError(std::string(SeparatorHint));
}

std::optional<Quoting> QuotingOf(const ToolArguments& args) {
    if (!args.quoting) {
        return std::nullopt;
    }
    if (*args.quoting == "rfc" || *args.quoting == "none") {
        return *args.quoting == "rfc" ? Quoting::Rfc : Quoting::None;
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

// An option with a value: the field it fills, and what to say when the
// value is missing.
struct OptionSpec {
    std::string_view name;
    ToolOption bit;
    std::string_view hint;
    std::optional<std::string> ToolArguments::*value;
};

constexpr OptionSpec ValueOptions[] = {
    {"--encoding", EncodingOption, EncodingHint, &ToolArguments::encoding},
    {"--separator", SeparatorOption, SeparatorHint, &ToolArguments::separator},
    {"--quoting", QuotingOption, QuotingHint, &ToolArguments::quoting},
    {"--columns", ColumnsOption, ColumnsHint, &ToolArguments::columns},
    {"--out", OutOption, OutHint, &ToolArguments::out},
    {"--at", AtOption, AtHint, &ToolArguments::at},
};

// Reads the option at words[i]; false when the command takes no such option.
bool ReadOption(unsigned options, std::span<char* const> words, std::size_t& i, ToolArguments& args) {
    const std::string_view word = words[i];
    if (word == "--header" && (options & HeaderOption) != 0) {
        args.header = true;
        return true;
    }
    if (word == "--replace" && (options & ReplaceOption) != 0) {
        args.replace = true;
        return true;
    }
    if (word == "--json" && (options & JsonOption) != 0) {
        args.json = true;
        return true;
    }
    if (word == "--keep-missing" && (options & KeepMissingOption) != 0) {
        args.keepMissing = true;
        return true;
    }
    for (const OptionSpec& option : ValueOptions) {
        if (word == option.name && (options & option.bit) != 0) {
            if (i + 1 == words.size()) {
                const bool exporting = option.bit == EncodingOption && options == ListWritingOptions;
                throw UsageError(std::string(exporting ? ExportEncodingHint : option.hint));
            }
            args.*option.value = words[++i];
            return true;
        }
    }
    return false;
}

// A .tsv file is tab-separated by its very name, in any case of its letters,
// as the program reads it.
bool EndsWithTsv(std::string_view path) {
    constexpr std::string_view tsv = ".tsv";
    if (path.size() < tsv.size()) {
        return false;
    }
    const std::string_view end = path.substr(path.size() - tsv.size());
    return std::equal(end.begin(), end.end(), tsv.begin(),
                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

}  // namespace

WordListOptions ListOptionsOf(const ToolArguments& args) {
    WordListOptions options;
    if (args.encoding && *args.encoding != "auto") {
        constexpr std::pair<std::string_view, TextEncoding> names[] = {
            {"cp932", TextEncoding::Cp932},
            {"utf-8", TextEncoding::Utf8},
            {"utf-16", TextEncoding::Utf16Le},  // the byte-order mark decides the byte order
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

CsvWriteFormat WriteFormatOf(const ToolArguments& args, std::string_view out, ItemEncoding held) {
    CsvWriteFormat format;
    if (args.encoding && *args.encoding != "cp932" && *args.encoding != "utf-8") {
        throw UsageError(std::string(ExportEncodingHint));
    }
    const std::string_view named =
        args.encoding ? std::string_view(*args.encoding) : (held == ItemEncoding::Utf8 ? "utf-8" : "cp932");
    format.encoding = named == "utf-8" ? CsvEncoding::Utf8 : CsvEncoding::Cp932;
    format.separator = SeparatorOf(args).value_or(EndsWithTsv(out) ? '\t' : ',');
    format.quoted =
        QuotingOf(args).value_or(format.encoding == CsvEncoding::Utf8 ? Quoting::Rfc : Quoting::None) == Quoting::Rfc;
    return format;
}

ToolArguments ParseArguments(std::span<char* const> words, unsigned options, std::size_t files) {
    ToolArguments args;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string_view word = words[i];
        if (ReadOption(options, words, i, args)) {
            continue;
        }
        if (word.size() > 1 && word.front() == '-') {
            throw UsageError("「" + std::string(word) + "」というオプションはありません。");
        }
        args.files.emplace_back(word);
    }
    if (args.files.size() != files) {
        throw UsageError("ファイルの数が違います。");
    }
    return args;
}

int64_t AtTimeOf(const std::string& text) {
    const QDateTime time = QDateTime::fromString(QString::fromStdString(text), Qt::ISODateWithMs);
    if (!time.isValid()) {
        throw UsageError(std::string(AtHint));
    }
    return time.toMSecsSinceEpoch();
}

}  // namespace korva
