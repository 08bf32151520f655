#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "deck/WordList.h"
#include "tools/CsvExport.h"

namespace korva {

// korva-deck's command lines: the options each command takes and what they
// mean for reading and writing word lists.

// A command line that does not fit its command; answered with the usage.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The options a command takes, as bits.
enum ToolOption : unsigned {
    EncodingOption = 1,
    SeparatorOption = 2,
    QuotingOption = 4,
    HeaderOption = 8,
    ColumnsOption = 16,
    ReplaceOption = 32,
    OutOption = 64,
    KeepMissingOption = 128,
    JsonOption = 256,
    AtOption = 512
};
constexpr unsigned ListReadingOptions = EncodingOption | SeparatorOption | QuotingOption | HeaderOption | ColumnsOption;
constexpr unsigned ListWritingOptions = EncodingOption | SeparatorOption | QuotingOption;

struct ToolArguments {
    std::vector<std::string> files;
    // Values as given; each command reads those it takes.
    std::optional<std::string> encoding{};
    std::optional<std::string> separator{};
    std::optional<std::string> quoting{};
    std::optional<std::string> columns{};
    std::optional<std::string> out{};
    std::optional<std::string> at{};  // the time to reckon as now, ISO 8601
    bool header = false;
    bool replace = false;
    bool keepMissing = false;
    bool json = false;

    // The options that say how to read a word list; --replace is not among
    // them, as it also says how to carry a deck's texts between encodings.
    bool AnyListOption() const { return encoding || separator || quoting || columns || header; }
};

// The files and options of one command line. Throws UsageError for an option
// the command does not take, an option without its value, or another number
// of files than files.
ToolArguments ParseArguments(std::span<char* const> words, unsigned options, std::size_t files);

// How convert and inspect read a word list: what is not given is detected.
// Throws UsageError for a value that names nothing.
WordListOptions ListOptionsOf(const ToolArguments& args);

// How export writes to out: UTF-8 for spreadsheets with RFC 4180 quoting,
// code page 932 as the classic reader reads it, unquoted, unless --quoting
// rfc. Without --encoding, a deck held in code page 932 (.krv) is written in
// it, and a UTF-8 deck (.korva) in UTF-8. The separator is a tab for a .tsv file and a comma for any other,
// unless --separator says. Throws UsageError for a value that names nothing.
CsvWriteFormat WriteFormatOf(const ToolArguments& args, std::string_view out, ItemEncoding held);

// The time --at names, in milliseconds since the epoch: ISO 8601, with Z or
// an offset, or without either as local time. Throws UsageError for a text
// that is no such time.
int64_t AtTimeOf(const std::string& text);

}  // namespace korva
