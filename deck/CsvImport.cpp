#include "deck/CsvImport.h"

#include "deck/CsvRows.h"
#include "deck/DeckError.h"
#include "deck/FileBytes.h"

namespace korva {

void ImportCsvFile(const std::string& path, CardData& data, bool DataKeep) {
    // The file is read and cut into rows before the deck is touched, so a
    // file that cannot be read or is too long leaves the deck as it was.
    ReadWithinMemory([&] { ImportCsvRows(ReadCsvRows(ReadFileBytes(path)), data, DataKeep); });
}

}  // namespace korva
