#include "deck/CsvImport.h"

#include "deck/CsvRows.h"
#include "deck/DeckError.h"
#include "deck/FileBytes.h"
#include "deck/GrowArrays.h"

namespace korva {

void ImportCsvFile(const std::string& path, CardData& data, bool DataKeep) {
    // The file is read and cut into rows before the deck is touched, so a
    // file that cannot be read or is too long leaves the deck as it was.
    ReadWithinMemory([&] { ImportCsvRows(ReadCsvRows(ReadFileBytes(path)), data, DataKeep); });
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
