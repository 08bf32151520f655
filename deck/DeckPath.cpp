#include "deck/DeckPath.h"

#include <algorithm>

#include "deck/DeckError.h"
#include "deck/DeckFile.h"
#include "deck/DeckRecord.h"
#include "deck/FileBytes.h"
#include "deck/KorvaFile.h"

namespace korva {

namespace {

// ASCII only: a look-alike letter from elsewhere in Unicode is no ending.
char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EndsWithIgnoringCase(std::string_view path, std::string_view lowerEnding) {
    if (path.size() < lowerEnding.size()) {
        return false;
    }
    const std::string_view tail = path.substr(path.size() - lowerEnding.size());
    return std::equal(tail.begin(), tail.end(), lowerEnding.begin(), [](char a, char b) { return LowerAscii(a) == b; });
}

}  // namespace

DeckPathKind KindOfPath(std::string_view path) {
    if (EndsWithIgnoringCase(path, ".krv")) {
        return DeckPathKind::Deck;
    }
    if (EndsWithIgnoringCase(path, ".korva")) {
        return DeckPathKind::Korva;
    }
    for (const std::string_view ending : {".csv", ".tsv", ".txt"}) {
        if (EndsWithIgnoringCase(path, ending)) {
            return DeckPathKind::Csv;
        }
    }
    return DeckPathKind::Other;
}

void ReadDeckOrCsvFile(const std::string& path, CardData& data, bool DataKeep, const WordListOptions& options) {
    switch (KindOfPath(path)) {
        case DeckPathKind::Deck: LoadCardFile(path, data, DataKeep); break;
        case DeckPathKind::Csv:
            // The whole list is read before the deck is touched.
            ReadWithinMemory([&] { ImportWordList(ReadWordList(ReadFileBytes(path), options), data, DataKeep); });
            break;
        case DeckPathKind::Korva: {
            CardData read = DataKeep ? data : CardData{};
            AppendCards(read, LoadKorvaFile(path).cards);
            data = std::move(read);
            break;
        }
        case DeckPathKind::Other: throw DeckError(DeckErrorKind::UnknownFileKind);
    }
}

}  // namespace korva
