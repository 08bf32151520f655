// Any bytes read as a UTF-8 word list give the rows the code page 932 reader
// cuts from the same lines, every text valid code page 932, or a DeckError;
// a refusal for bytes that are not UTF-8 agrees with Qt's own decoder.

#include <QString>

#include <cstddef>
#include <cstdint>
#include <string>

#include "deck/Cp932Text.h"
#include "deck/CsvRows.h"
#include "deck/DeckError.h"
#include "deck/Utf8Csv.h"
#include "fuzz/FuzzFile.h"

using korva::fuzz::Require;

namespace {

// Qt's decoder drops a leading byte-order mark, which is valid UTF-8 in any
// case, so the test is made on what follows the leading ones.
bool QtReadsAsUtf8(std::string_view bytes) {
    while (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    }
    const QByteArray raw(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return QString::fromUtf8(raw).toUtf8() == raw;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<korva::CsvRow> rows;
    try {
        rows = korva::ReadUtf8CsvRows(bytes);
    } catch (const korva::DeckError& e) {
        const bool notUtf8 = std::string(e.what()).find("UTF-8") != std::string::npos;
        Require(!notUtf8 || !QtReadsAsUtf8(bytes), "valid UTF-8 refused as not UTF-8");
        return 0;
    }
    Require(QtReadsAsUtf8(bytes), "bytes that are not UTF-8 accepted");
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    }
    const std::vector<korva::CsvRow> sameLines = korva::ReadCsvRows(bytes);
    Require(rows.size() == sameLines.size(), "a different number of rows than the code page 932 reader");
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t f = 0; f < 2; ++f) {
            const auto text = korva::Cp932ToUtf8Exact(rows[r][f]);
            Require(text.has_value(), "a stored text is not code page 932");
            Require(text->find_first_of(",\r") == std::string::npos, "separator inside a field");
            Require(sameLines[r][f].empty() == text->empty(), "a field lost or gained its text");
        }
    }
    return 0;
}
