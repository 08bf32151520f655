#include "deck/CsvDialect.h"

#include <algorithm>
#include <array>
#include <map>
#include <vector>

#include "deck/CsvRecords.h"
#include "deck/DeckError.h"

namespace korva {

namespace {

// Enough records to tell a table from chance, few enough that a file of any
// size is judged at once: at most so many records from the first bytes.
constexpr int SampleRecords = 1000;
constexpr std::size_t SampleBytes = std::size_t{1} << 20;

int AgreeingRecords(std::string_view text, char separator) {
    CsvRecordReader reader(text.substr(0, SampleBytes), separator, Quoting::Rfc);
    std::vector<CsvField> none;
    std::map<std::size_t, int> recordsByFieldCount;
    try {
        for (int i = 0; i < SampleRecords; ++i) {
            const std::size_t count = reader.Next(none, 0);
            if (count == 0) {
                break;
            }
            if (count >= 2) {
                ++recordsByFieldCount[count];
            }
        }
    } catch (const DeckError&) {
        // A quote that never closes, or one the sample cuts, ends the sample;
        // reading reports the first.
    }
    int best = 0;
    for (const auto& [count, records] : recordsByFieldCount) {
        best = std::max(best, records);
    }
    return best;
}

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

}  // namespace

bool IsWordListSeparator(char c) { return std::string_view(",\t;| :").find(c) != std::string_view::npos; }

char GuessSeparator(std::string_view text) {
    char best = ',';
    int bestRecords = 0;
    for (const char separator : {',', '\t', ';'}) {
        const int records = AgreeingRecords(text, separator);
        if (records > bestRecords) {
            best = separator;
            bestRecords = records;
        }
    }
    return best;
}

bool HasQuotedField(std::string_view text, char separator) {
    // The first quote that stands at a field's start is one: any quote before
    // it stood inside an unquoted field, where it is text.
    for (std::size_t quote = text.find('"'); quote != std::string_view::npos; quote = text.find('"', quote + 1)) {
        if (quote == 0 || text[quote - 1] == separator || IsLineBreak(text[quote - 1])) {
            return true;
        }
    }
    return false;
}

LineEnd LineEndsOf(std::string_view text, char separator, bool quoted, bool classic) {
    // Only these bytes change the state; the others are skipped in a tight
    // loop, as detection reads files of up to 256 MB.
    std::array<bool, 256> special{};
    for (const char c : {'\r', '\n', '"', separator}) {
        special[static_cast<unsigned char>(c)] = true;
    }
    bool seen[3] = {false, false, false};  // CR LF, LF, CR
    bool inQuotes = false;
    bool fieldStart = true;
    const std::size_t size = text.size();
    for (std::size_t i = 0; i < size; ++i) {
        if (!special[static_cast<unsigned char>(text[i])]) {
            fieldStart = false;
            while (i + 1 < size && !special[static_cast<unsigned char>(text[i + 1])]) {
                ++i;
            }
            continue;
        }
        const char c = text[i];
        if (inQuotes) {
            // A doubled quote is one quote of the text; a single one closes.
            const bool doubled = c == '"' && i + 1 < size && text[i + 1] == '"';
            inQuotes = c != '"' || doubled;
            i += doubled ? 1 : 0;
            continue;
        }
        inQuotes = quoted && fieldStart && c == '"';
        fieldStart = c == separator;
        if (c == '\r') {
            const bool pair = i + 1 < size && text[i + 1] == '\n';
            seen[pair ? 0 : 2] = true;
            i += pair ? 1 : 0;
            fieldStart = true;
        } else if (c == '\n' && !classic) {
            seen[1] = true;
            fieldStart = true;
        }
    }
    if (int{seen[0]} + int{seen[1]} + int{seen[2]} > 1) {
        return LineEnd::Mixed;
    }
    return seen[0] ? LineEnd::CrLf : seen[1] ? LineEnd::Lf : seen[2] ? LineEnd::Cr : LineEnd::None;
}

bool IsClassic(std::string_view text, bool cp932OrAscii, bool bom, char separator, bool quoted) {
    if (!cp932OrAscii || bom || quoted || separator == '\t') {
        return false;
    }
    return text.find('\r') != std::string_view::npos || text.find('\n') == std::string_view::npos;
}

}  // namespace korva
