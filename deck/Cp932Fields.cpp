#include "deck/Cp932Fields.h"

#include <QList>
#include <QString>
#include <algorithm>
#include <optional>
#include <unordered_map>

#include "deck/Cp932Text.h"
#include "deck/DeckError.h"
#include "deck/Utf8Char.h"

namespace korva {

namespace {

// The base letter of a character with diacritics, in code page 932, when its
// canonical decomposition starts with one that is not the character itself.
std::optional<std::string> BaseLetter(std::string_view character) {
    const QString decomposed = QString::fromUtf8(character.data(), static_cast<qsizetype>(character.size()))
                                   .normalized(QString::NormalizationForm_D);
    const QList<uint> codePoints = decomposed.toUcs4();
    if (codePoints.size() < 2) {
        return std::nullopt;
    }
    const std::string base = QString::fromUcs4(reinterpret_cast<const char32_t*>(codePoints.data()), 1).toStdString();
    return Utf8ToCp932(base);
}

// What a character code page 932 cannot hold becomes. A list that needs
// replacing mostly repeats a few such letters, millions of times: each is
// decomposed once. The memory stays small, as a list holds few distinct ones,
// and the table starts over should one hold very many.
std::string ReplacementFor(std::string_view character) {
    constexpr std::size_t remembered = 4096;
    thread_local std::unordered_map<std::string, std::string> known;
    const std::string key(character);
    if (const auto found = known.find(key); found != known.end()) {
        return found->second;
    }
    if (known.size() == remembered) {
        known.clear();
    }
    std::string replacement = BaseLetter(character).value_or(std::string(MissingCharacterMark));
    known.emplace(key, replacement);
    return replacement;
}

bool EndsLine(std::string_view text, std::size_t pos) {
    return text[pos] == '\n' || (text[pos] == '\r' && (pos + 1 == text.size() || text[pos + 1] != '\n'));
}

}  // namespace

std::string FieldToCp932(std::string_view utf8, int line, bool replace, Replacements& replaced) {
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
        if (!replace) {
            throw DeckError(std::to_string(line) + "行目: 「" + std::string(character) + "」はShift_JISにない文字です");
        }
        out += ReplacementFor(character);
        replaced.Note(line, character);
    }
    return out;
}

}  // namespace korva
