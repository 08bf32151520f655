// Any bytes read as a word list, with options taken from the first byte, give
// cards or a DeckError, never a crash. What is read agrees with itself: the
// detected format is the one read, a classic file gives the classic rows,
// every card text from a UTF encoding is valid code page 932, and with
// replacement no character is refused. Leading directives are never cards
// and make a file not classic, and an HTML field never ends in a line break.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "deck/Cp932Text.h"
#include "deck/CsvRows.h"
#include "deck/DeckError.h"
#include "deck/WordList.h"
#include "fuzz/FuzzFile.h"

using korva::fuzz::Require;

namespace {

// Bit 0 replace, bit 1 header, bits 2-3 item 2's column (1 to 4), bits 4-5
// the separator forced or not, bits 6-7 the encoding forced or not.
korva::WordListOptions OptionsOf(unsigned char b) {
    korva::WordListOptions options;
    options.replace = (b & 1) != 0;
    options.header = (b & 2) != 0;
    options.itemColumn2 = 1 + ((b >> 2) & 3);
    constexpr char separators[] = {',', '\t', ';'};
    if (((b >> 4) & 3) < 3) {
        options.separator = separators[(b >> 4) & 3];
    }
    constexpr korva::TextEncoding encodings[] = {korva::TextEncoding::Cp932, korva::TextEncoding::Utf8,
                                                 korva::TextEncoding::Utf16Le};
    if ((b >> 6) < 3) {
        options.encoding = encodings[b >> 6];
    }
    return options;
}

void CheckDefaultRead(std::string_view bytes) {
    const korva::WordListFormat detected = korva::DetectWordListFormat(bytes);
    korva::WordList list;
    try {
        list = korva::ReadWordList(bytes);
    } catch (const korva::DeckError&) {
        Require(!detected.classic || bytes.size() >= 32767, "a classic file refused");
        return;
    }
    Require(list.format == detected, "the format read is not the format detected");
    if (list.format.classic) {
        Require(list.rows == korva::ReadCsvRows(bytes), "a classic file read otherwise than by the classic rules");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    CheckDefaultRead(bytes);
    const korva::WordListOptions options = OptionsOf(data[0]);
    try {
        const korva::WordList list = korva::ReadWordList(bytes, options);
        const int header = options.header && list.records > 0 ? 1 : 0;
        Require(list.rows.size() == static_cast<std::size_t>(list.records - header), "a record lost or gained");
        Require(options.replace || list.replaced.count == 0, "a character replaced without replace");
        Require(list.replaced.first.size() == std::min(list.replaced.count, korva::Replacements::Kept),
                "replacements kept other than the first ones");
        Require(list.directives.empty() || !list.format.classic, "a file with directives read as classic");
        const bool html =
            std::any_of(list.directives.begin(), list.directives.end(),
                        [](const korva::WordListDirective& d) { return d.key == "html" && d.value == "true"; });
        for (const korva::CsvRow& row : list.rows) {
            for (const std::string& text : row) {
                const bool utf = list.format.encoding != korva::TextEncoding::Cp932;
                Require(!utf || korva::Cp932ToUtf8Exact(text).has_value(), "a stored text is not code page 932");
                Require(!html || !text.ends_with('\n'), "an HTML field ends in a line break");
            }
        }
    } catch (const korva::DeckError& e) {
        const bool refusedCharacter = std::string(e.what()).find("Shift_JISにない") != std::string::npos;
        Require(!options.replace || !refusedCharacter, "a character refused despite replace");
    }
    return 0;
}
