#include "tools/WordListJson.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "deck/Utf8Char.h"
#include "tools/DeckJson.h"

namespace korva {

namespace {

const char* EncodingName(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Cp932: return "\"cp932\"";
        case TextEncoding::Utf8: return "\"utf-8\"";
        case TextEncoding::Utf16Le: return "\"utf-16le\"";
        case TextEncoding::Utf16Be: return "\"utf-16be\"";
    }
    return "null";
}

const char* LineEndName(LineEnd lineEnd) {
    switch (lineEnd) {
        case LineEnd::None:
        case LineEnd::Unknown: return "null";
        case LineEnd::CrLf: return "\"CRLF\"";
        case LineEnd::Lf: return "\"LF\"";
        case LineEnd::Cr: return "\"CR\"";
        case LineEnd::Mixed: return "\"mixed\"";
    }
    return "null";
}

const char* Bool(bool value) { return value ? "true" : "false"; }

// The first line is there to name the columns for --columns; a file of one
// 256 MB line would otherwise print all of it, escaped, several times over.
constexpr std::size_t FirstLineCharacters = 256;

// At most FirstLineCharacters characters, never half of one, and "…" when cut.
std::string CutField(const std::string& utf8) {
    std::size_t pos = 0;
    for (std::size_t characters = 0; pos < utf8.size() && characters < FirstLineCharacters; ++characters) {
        pos += std::max<std::size_t>(1, Utf8CharLength(utf8, pos));
    }
    return pos < utf8.size() ? utf8.substr(0, pos) + "…" : utf8;
}

// What names column index + 1: a directive, else the first record.
const std::string& ColumnName(const WordList& list, std::size_t index) {
    if (index < list.columnNames.size() && !list.columnNames[index].empty()) {
        return list.columnNames[index];
    }
    static const std::string none;
    return index < list.firstRecord.size() ? list.firstRecord[index] : none;
}

std::string DirectivesJson(const std::vector<WordListDirective>& directives) {
    std::string out = "{";
    for (const WordListDirective& directive : directives) {
        out += out.size() > 1 ? "," : "";
        AppendJsonString(out, directive.key);
        out += ":";
        AppendJsonString(out, directive.value);
    }
    return out + "}";
}

// [{"line":L,"char":"é"},...]
void AppendCharacters(std::string& out, const std::vector<ReplacedCharacter>& characters) {
    out += "[";
    for (std::size_t i = 0; i < characters.size(); ++i) {
        out += i > 0 ? ",{\"line\":" : "{\"line\":";
        out += std::to_string(characters[i].line) + ",\"char\":";
        AppendJsonString(out, characters[i].character);
        out += "}";
    }
    out += "]";
}

}  // namespace

std::string WordListToJson(const WordList& list) {
    const WordListFormat& format = list.format;
    std::string out = "{\"encoding\":" + std::string(EncodingName(format.encoding));
    out += ",\"bom\":" + std::string(Bool(format.bom));
    out += ",\"lineEnd\":" + std::string(LineEndName(format.lineEnd));
    out += ",\"separator\":";
    AppendJsonString(out, std::string(1, format.separator));
    out += ",\"quoting\":" + std::string(format.quoting == Quoting::Rfc ? "\"rfc\"" : "\"none\"");
    out += ",\"classic\":" + std::string(Bool(format.classic));
    out += ",\"lines\":" + std::to_string(list.records) + ",\"fields\":" + std::to_string(list.fields);
    out += ",\"directives\":" + DirectivesJson(list.directives);
    out += ",\"firstLine\":[";
    const std::size_t named =
        std::min(std::max(list.firstRecord.size(), list.columnNames.size()), WordList::NamedColumns);
    for (std::size_t i = 0; i < named; ++i) {
        out += i > 0 ? "," : "";
        AppendJsonString(out, CutField(ColumnName(list, i)));
    }
    out += "],\"unrepresentable\":";
    AppendCharacters(out, list.replaced.first);
    out += ",\"unrepresentableCount\":" + std::to_string(list.replaced.count);
    out += ",\"equivalents\":{\"count\":" + std::to_string(list.equivalents.count) + ",\"first\":";
    AppendCharacters(out, list.equivalents.first);
    out += "},\"dropped\":" + std::to_string(list.dropped) + "}";
    return out;
}

}  // namespace korva
