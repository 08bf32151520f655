#include "tools/WordListJson.h"

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
        case LineEnd::None: return "null";
        case LineEnd::CrLf: return "\"CRLF\"";
        case LineEnd::Lf: return "\"LF\"";
        case LineEnd::Cr: return "\"CR\"";
        case LineEnd::Mixed: return "\"mixed\"";
    }
    return "null";
}

const char* Bool(bool value) { return value ? "true" : "false"; }

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
    out += ",\"firstLine\":[";
    for (std::size_t i = 0; i < list.firstRecord.size(); ++i) {
        out += i > 0 ? "," : "";
        AppendJsonString(out, list.firstRecord[i]);
    }
    out += "],\"unrepresentable\":[";
    for (std::size_t i = 0; i < list.replaced.size(); ++i) {
        out += i > 0 ? ",{\"line\":" : "{\"line\":";
        out += std::to_string(list.replaced[i].line) + ",\"char\":";
        AppendJsonString(out, list.replaced[i].character);
        out += "}";
    }
    out += "]}";
    return out;
}

}  // namespace korva
