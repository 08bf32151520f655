// Any bytes given to the deck reader are a DeckError that leaves the deck as
// it was, or a deck that writes back as the very bytes it was read from.

#include <cstddef>
#include <cstdint>

#include "deck/DeckError.h"
#include "deck/DeckFile.h"
#include "deck/DeckRecord.h"
#include "fuzz/FuzzFile.h"

namespace {

using korva::CardData;
using korva::fuzz::Require;

CardData WindowDeck() {
    CardData d;
    d.Items = {{"", "", ""}, {"", "q", "a"}};
    d.Checks = {{0, 0, 0}, {0, -1, 0}};
    d.QuestionItems = {1, 2};
    d.Modes = korva::ImportedModes;
    return d;
}

bool Same(const CardData& a, const CardData& b) {
    return a.Items == b.Items && a.Checks == b.Checks && a.QuestionItems == b.QuestionItems &&
           korva::WriteDeckRecord(a) == korva::WriteDeckRecord(b);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    bool parsed = false;
    std::size_t recordSize = 0;
    int total = 0;
    try {
        const CardData f = korva::ReadDeckRecord(bytes, &recordSize);
        parsed = true;
        total = f.Total();
        Require(recordSize <= size, "record larger than its bytes");
        Require(korva::WriteDeckRecord(f) == bytes.substr(0, recordSize), "round trip changed bytes");
    } catch (const korva::DeckError&) {
    }

    const std::string& path = korva::fuzz::WriteInputFile(bytes, ".krv");
    const CardData window = WindowDeck();
    for (const bool keep : {false, true}) {
        CardData deck = window;
        try {
            korva::LoadCardFile(path, deck, keep);
            Require(parsed, "file loaded where the bytes did not parse");
            Require(deck.Total() == (keep ? window.Total() + total : total), "wrong total after load");
            Require(deck.Items.size() == deck.Checks.size() && deck.Items.size() == deck.QuestionItems.size(),
                    "arrays of different lengths");
        } catch (const korva::DeckError&) {
            Require(!parsed || keep, "file refused where the bytes parsed");
            Require(Same(deck, window), "deck changed by a refused load");
        }
    }
    return 0;
}
