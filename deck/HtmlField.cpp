#include "deck/HtmlField.h"

#include <QString>
#include <algorithm>
#include <cctype>
#include <optional>
#include <utility>

namespace korva {

namespace {

enum class TagKind { Break, Block, Other };

struct Tag {
    std::size_t length = 0;  // 0: no tag starts here
    TagKind kind = TagKind::Other;
};

bool IsLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return lower;
}

// The end of a tag's `>`, outside any quoted attribute value.
std::size_t TagEnd(std::string_view html, std::size_t pos) {
    char quote = '\0';
    for (; pos < html.size(); ++pos) {
        const char c = html[pos];
        if (quote != '\0') {
            quote = c == quote ? '\0' : quote;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return pos;
        }
    }
    return std::string_view::npos;
}

Tag TagAt(std::string_view html, std::size_t pos) {
    const std::string_view rest = html.substr(pos);
    if (rest.starts_with("<!--")) {
        const std::size_t end = rest.find("-->", 4);
        return end == std::string_view::npos ? Tag{} : Tag{end + 3, TagKind::Other};
    }
    const std::size_t nameStart = rest.starts_with("</") ? 2 : 1;
    if (rest.size() <= nameStart || (!IsLetter(rest[nameStart]) && rest[nameStart] != '!')) {
        return {};
    }
    const std::size_t end = TagEnd(rest, nameStart);
    if (end == std::string_view::npos) {
        return {};
    }
    const std::size_t nameEnd = std::min(rest.find_first_of(" \t\r\n/>", nameStart), end);
    const std::string name = Lower(rest.substr(nameStart, nameEnd - nameStart));
    const TagKind kind = name == "br"                                   ? TagKind::Break
                         : name == "div" || name == "p" || name == "li" ? TagKind::Block
                                                                        : TagKind::Other;
    return {end + 1, kind};
}

std::string Utf8Of(char32_t codePoint) { return QString::fromUcs4(&codePoint, 1).toStdString(); }

std::optional<char32_t> NumericReference(std::string_view digits) {
    const bool hex = digits.starts_with('x') || digits.starts_with('X');
    digits.remove_prefix(hex ? 1 : 0);
    const std::string_view allowed = hex ? "0123456789abcdefABCDEF" : "0123456789";
    if (digits.empty() || digits.size() > 7 || digits.find_first_not_of(allowed) != std::string_view::npos) {
        return std::nullopt;
    }
    const auto value = static_cast<char32_t>(std::stoul(std::string(digits), nullptr, hex ? 16 : 10));
    if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return std::nullopt;
    }
    return value;
}

// The text of the reference that starts at html[pos] with `&`, and its
// length; nullopt when none starts there.
std::optional<std::pair<std::string, std::size_t>> ReferenceAt(std::string_view html, std::size_t pos) {
    constexpr std::size_t longest = 10;  // "&#x10FFFF;"
    const std::size_t semicolon = html.substr(pos, longest + 1).find(';');
    if (semicolon == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view name = html.substr(pos + 1, semicolon - 1);
    // A no-break space becomes a space: code page 932 has none.
    constexpr std::pair<std::string_view, std::string_view> named[] = {{"amp", "&"},   {"lt", "<"},   {"gt", ">"},
                                                                       {"quot", "\""}, {"apos", "'"}, {"nbsp", " "}};
    for (const auto& [entity, text] : named) {
        if (name == entity) {
            return std::pair{std::string(text), semicolon + 1};
        }
    }
    if (name.starts_with('#')) {
        if (const std::optional<char32_t> codePoint = NumericReference(name.substr(1))) {
            return std::pair{Utf8Of(*codePoint), semicolon + 1};
        }
    }
    return std::nullopt;
}

// Spaces before a line break show nothing.
void BreakLine(std::string& out, TagKind kind) {
    while (!out.empty() && out.back() == ' ') {
        out.pop_back();
    }
    if (kind == TagKind::Break || (!out.empty() && out.back() != '\n')) {
        out.push_back('\n');
    }
}

}  // namespace

std::string HtmlFieldText(std::string_view html) {
    std::string out;
    out.reserve(html.size());
    for (std::size_t pos = 0; pos < html.size();) {
        const char c = html[pos];
        if (c == '<') {
            if (const Tag tag = TagAt(html, pos); tag.length > 0) {
                if (tag.kind != TagKind::Other) {
                    BreakLine(out, tag.kind);
                }
                pos += tag.length;
                continue;
            }
        } else if (c == '&') {
            if (const auto reference = ReferenceAt(html, pos)) {
                out += reference->first;
                pos += reference->second;
                continue;
            }
        } else if (c == '\r' || c == '\n' || c == ' ') {
            // As a browser shows it: a line break of the source is a space,
            // and no space starts a line.
            if (!out.empty() && out.back() != '\n' && (c == ' ' || out.back() != ' ')) {
                out.push_back(' ');
            }
            pos += html.substr(pos).starts_with("\r\n") ? 2 : 1;
            continue;
        }
        out.push_back(c);
        ++pos;
    }
    while (!out.empty() && out.back() == '\n') {
        out.pop_back();
    }
    return out;
}

}  // namespace korva
