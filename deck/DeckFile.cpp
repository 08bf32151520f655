#include "deck/DeckFile.h"

#include "deck/DeckError.h"
#include "deck/DeckRecord.h"
#include "deck/FileBytes.h"

namespace korva {

void LoadCardFile(const std::string& path, CardData& data, bool DataKeep) {
    ReadWithinMemory([&] { LoadCardBytes(ReadFileBytes(path), data, DataKeep); });
}

void LoadCardBytes(std::string_view bytes, CardData& data, bool DataKeep) {
    // The file's record is read and checked whole before the deck is touched.
    ReadWithinMemory([&] {
        CardData f = ReadDeckRecord(bytes);
        if (DataKeep) {
            AppendCards(data, std::move(f));
        } else {
            data = std::move(f);
        }
    });
}

void SaveCardFile(const std::string& path, const CardData& data) { WriteFileAtomically(path, WriteDeckRecord(data)); }

}  // namespace korva
