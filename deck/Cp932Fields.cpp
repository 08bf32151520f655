#include "deck/Cp932Fields.h"

#include <QList>
#include <QString>
#include <algorithm>
#include <optional>
#include <unordered_map>
#include <utility>

#include "deck/Cp932Text.h"
#include "deck/DeckError.h"
#include "deck/Utf8Char.h"

namespace korva {

namespace {

QString QStringOf(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

// The base letter of a character with diacritics, in code page 932, when its
// canonical decomposition starts with one that is not the character itself.
std::optional<std::string> BaseLetter(std::string_view character) {
    const QString decomposed = QStringOf(character).normalized(QString::NormalizationForm_D);
    const QList<uint> codePoints = decomposed.toUcs4();
    if (codePoints.size() < 2) {
        return std::nullopt;
    }
    const std::string base = QString::fromUcs4(reinterpret_cast<const char32_t*>(codePoints.data()), 1).toStdString();
    return Utf8ToCp932(base);
}

// Code page 932's characters by their NFKC form, where that differs from the
// character itself (half-width katakana, full-width letters, the NEC and IBM
// duplicates, …); where several share a form, the lowest code point. Built
// once, on the first character that needs it.
const std::unordered_map<std::string, std::string>& Cp932ByNfkcForm() {
    static const std::unordered_map<std::string, std::string> forms = [] {
        std::unordered_map<std::string, std::string> built;
        for (const char32_t c : Cp932Characters()) {
            const QString character = QString::fromUcs4(&c, 1);
            const QString form = character.normalized(QString::NormalizationForm_KC);
            if (form != character) {
                built.emplace(form.toStdString(), Utf8ToCp932(character.toStdString()).value_or(std::string()));
            }
        }
        return built;
    }();
    return forms;
}

// The same character as code page 932 holds it: the NFKC form when code page
// 932 has all of it, else a code page 932 character of the same form.
std::optional<std::string> EquivalentOf(std::string_view character) {
    const std::string form = QStringOf(character).normalized(QString::NormalizationForm_KC).toStdString();
    if (form != character) {
        if (std::optional<std::string> held = Utf8ToCp932(form)) {
            return held;
        }
    }
    const auto& forms = Cp932ByNfkcForm();
    if (const auto found = forms.find(form); found != forms.end()) {
        return found->second;
    }
    return std::nullopt;
}

// What a character code page 932 cannot hold is read as.
struct Substitute {
    std::string bytes;        // code page 932
    bool equivalent = false;  // else a replacement: a base letter or 〓
};

// A list that needs substitutes mostly repeats a few characters, millions of
// times: each is normalized once. The memory stays small, as a list holds
// few distinct ones, and the table starts over should one hold very many.
Substitute SubstituteFor(std::string_view character) {
    constexpr std::size_t remembered = 4096;
    thread_local std::unordered_map<std::string, Substitute> known;
    const std::string key(character);
    if (const auto found = known.find(key); found != known.end()) {
        return found->second;
    }
    if (known.size() == remembered) {
        known.clear();
    }
    std::optional<std::string> equivalent = EquivalentOf(character);
    Substitute substitute{
        equivalent ? std::move(*equivalent) : BaseLetter(character).value_or(std::string(MissingCharacterMark)),
        equivalent.has_value()};
    known.emplace(key, substitute);
    return substitute;
}

bool EndsLine(std::string_view text, std::size_t pos) {
    return text[pos] == '\n' || (text[pos] == '\r' && (pos + 1 == text.size() || text[pos + 1] != '\n'));
}

}  // namespace

std::string FieldToCp932(std::string_view utf8, int line, bool replace, Replacements& equivalents,
                         Replacements& replaced) {
    if (std::optional<std::string> whole = Utf8ToCp932(utf8)) {
        return std::move(*whole);
    }
    // Character by character, to find the ones to name.
    std::string out;
    for (std::size_t pos = 0; pos < utf8.size();) {
        const std::string_view character = utf8.substr(pos, std::max<std::size_t>(1, Utf8CharLength(utf8, pos)));
        pos += character.size();
        if (std::optional<std::string> one = Utf8ToCp932(character)) {
            out += *one;
            line += EndsLine(utf8, pos - 1) ? 1 : 0;
            continue;
        }
        const Substitute substitute = SubstituteFor(character);
        if (!substitute.equivalent && !replace) {
            throw DeckError({.kind = DeckErrorKind::NotInCp932, .line = line, .text = std::string(character)});
        }
        out += substitute.bytes;
        (substitute.equivalent ? equivalents : replaced).Note(line, character);
    }
    return out;
}

void RequireItemFits(std::size_t bytes, int line, int column) {
    if (bytes > MaxItemBytes) {
        throw DeckError({.kind = DeckErrorKind::ItemTooLong, .line = line, .column = column});
    }
}

}  // namespace korva
