#include "deck/CsvRows.h"

#include "deck/DeckError.h"
#include "deck/GrowArrays.h"

namespace korva {

std::vector<std::string_view> SplitCsvLines(std::string_view bytes, std::size_t maxLines) {
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        if (lines.size() == maxLines) {
            throw DeckError(DeckErrorKind::TooManyCsvLines);
        }
        // Only CR ends a line (alone or followed by LF); a lone LF is text.
        const std::size_t cr = bytes.find('\r', pos);
        if (cr == std::string_view::npos) {
            lines.push_back(bytes.substr(pos));
            break;
        }
        lines.push_back(bytes.substr(pos, cr - pos));
        pos = cr + 1;
        if (pos < bytes.size() && bytes[pos] == '\n') {
            ++pos;
        }
    }
    return lines;
}

CsvRow SplitCsvFields(std::string_view line) {
    CsvRow row;
    const std::size_t first = line.find(',');
    row[0].assign(line.substr(0, first));
    if (first != std::string_view::npos) {
        const std::size_t second = line.find(',', first + 1);
        const std::size_t end = second == std::string_view::npos ? line.size() : second;
        row[1].assign(line.substr(first + 1, end - first - 1));
    }
    return row;
}

std::vector<CsvRow> ReadCsvRows(std::string_view bytes) {
    const std::vector<std::string_view> lines = SplitCsvLines(bytes);
    std::vector<CsvRow> rows;
    rows.reserve(lines.size());
    for (const std::string_view line : lines) {
        rows.push_back(SplitCsvFields(line));
    }
    return rows;
}

void ImportCsvRows(std::vector<CsvRow>&& rows, CardData& data, bool DataKeep) {
    const int n = static_cast<int>(rows.size());
    if (!DataKeep) {
        CardData fresh;
        fresh.Modes = ImportedModes;
        fresh.Items.reserve(static_cast<std::size_t>(n) + 1);
        for (int i = 1; i <= n; ++i) {
            SetItemText(fresh, std::move(rows[i - 1][0]), 1, static_cast<int16_t>(i));
            SetItemText(fresh, std::move(rows[i - 1][1]), 2, static_cast<int16_t>(i));
        }
        ResetCardState(fresh);
        data = std::move(fresh);
        return;
    }

    const int m = data.Total();
    if (m + n > MaxCards) {
        throw DeckError(DeckErrorKind::AppendPastMaxCards);
    }
    // After these reservations nothing below can fail, so the deck is never
    // left half-imported.
    data.Items.reserve(static_cast<std::size_t>(m + n) + 1);
    data.Checks.reserve(static_cast<std::size_t>(m + n) + 1);
    data.QuestionItems.reserve(static_cast<std::size_t>(m + n) + 1);
    int j = 0;
    for (int i = m + 1; i <= m + n; ++i) {
        ++j;
        SetItemText(data, std::move(rows[j - 1][0]), 1, static_cast<int16_t>(i));
        SetItemText(data, std::move(rows[j - 1][1]), 2, static_cast<int16_t>(i));
    }
    ResetCardState(data);
}

void ResetCardState(CardData& data) {
    const std::size_t cards = data.Items.size();
    data.Checks.assign(cards, CardData::ItemChecks{False16, False16, False16});
    data.QuestionItems.assign(cards, 1);
}

void SetItemText(CardData& data, std::string text, int16_t itemIndex, int16_t cardIndex) {
    SetGridValue(data.Items, itemIndex, cardIndex, std::move(text));
}

}  // namespace korva
