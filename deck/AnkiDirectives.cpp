#include "deck/AnkiDirectives.h"

#include <algorithm>
#include <cctype>

#include "deck/Cp932Text.h"
#include "deck/CsvRecords.h"

namespace korva {

namespace {

// The keys as Anki writes them, and the columns those of the form
// "… column" name, as the preview and inspect show them.
struct KnownKey {
    std::string_view key;
    std::string_view columnName;  // "" for a key that names no column
};

constexpr KnownKey KnownKeys[] = {
    {"separator", ""},
    {"html", ""},
    {"columns", ""},
    {"tags", ""},
    {"deck", ""},
    {"notetype", ""},
    {"tags column", "タグ"},
    {"deck column", "デッキ"},
    {"notetype column", "ノートタイプ"},
    {"guid column", "GUID"},
};

const KnownKey* FindKey(std::string_view key) {
    const auto* found = std::find_if(std::begin(KnownKeys), std::end(KnownKeys),
                                     [&](const KnownKey& known) { return known.key == key; });
    return found == std::end(KnownKeys) ? nullptr : found;
}

bool SameLetters(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

// Anki names a separator in words or gives the character itself.
std::optional<char> SeparatorNamed(std::string_view value) {
    constexpr std::pair<std::string_view, char> names[] = {{"tab", '\t'}, {"comma", ','}, {"semicolon", ';'},
                                                           {"pipe", '|'}, {"space", ' '}, {"colon", ':'}};
    for (const auto& [name, separator] : names) {
        if (SameLetters(value, name) || (value.size() == 1 && value[0] == separator)) {
            return separator;
        }
    }
    return std::nullopt;
}

std::optional<int> ColumnNumber(std::string_view value) {
    if (value.empty() || value.size() > 5 || value.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    const int number = std::stoi(std::string(value));
    return number > 0 ? std::optional<int>(number) : std::nullopt;
}

LineEnd LineEndOf(std::string_view end) {
    return end == "\r\n" ? LineEnd::CrLf : end == "\n" ? LineEnd::Lf : end == "\r" ? LineEnd::Cr : LineEnd::None;
}

void Name(std::vector<std::string>& names, std::size_t column, std::string_view name) {
    if (names.size() < column) {
        names.resize(column);
    }
    if (names[column - 1].empty()) {
        names[column - 1] = name;
    }
}

}  // namespace

AnkiHeader ReadAnkiHeader(std::string_view text, bool utf8) {
    AnkiHeader header;
    while (header.length < text.size() && text[header.length] == '#') {
        const std::string_view rest = text.substr(header.length);
        const std::size_t lineLength = std::min(rest.find_first_of("\r\n"), rest.size());
        const std::string_view line = rest.substr(0, lineLength);
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos || FindKey(line.substr(1, colon - 1)) == nullptr) {
            break;
        }
        const std::string_view value = line.substr(colon + 1);
        header.directives.push_back(
            WordListDirective{std::string(line.substr(1, colon - 1)), utf8 ? std::string(value) : Cp932ToUtf8(value)});
        const std::string_view key = header.directives.back().key;
        if (key == "separator") {
            header.separator = SeparatorNamed(value);
        } else if (key == "html") {
            header.html = SameLetters(value, "true");
        }
        const std::string_view lineEnd = rest.substr(lineLength, rest.substr(lineLength).starts_with("\r\n") ? 2 : 1);
        header.lineEnd = CombineLineEnds(header.lineEnd, LineEndOf(lineEnd));
        header.length += lineLength + lineEnd.size();
        ++header.lines;
    }
    return header;
}

std::vector<std::string> AnkiHeader::ColumnNames(char separator) const {
    std::vector<std::string> names;
    for (const WordListDirective& directive : directives) {
        if (directive.key != "columns") {
            continue;
        }
        std::string_view value = directive.value;
        for (std::size_t column = 1; !value.empty(); ++column) {
            const std::size_t cut = std::min(value.find(separator), value.size());
            Name(names, column, value.substr(0, cut));
            value.remove_prefix(std::min(cut + 1, value.size()));
        }
    }
    for (const WordListDirective& directive : directives) {
        const KnownKey* known = FindKey(directive.key);
        const std::optional<int> column = ColumnNumber(directive.value);
        if (!known->columnName.empty() && column) {
            Name(names, static_cast<std::size_t>(*column), known->columnName);
        }
    }
    return names;
}

}  // namespace korva
