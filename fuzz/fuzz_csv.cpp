// Any bytes imported as CSV give one card per line with fields that hold no
// comma and no CR, appended after the deck's cards, or a DeckError that leaves
// the deck as it was.

#include <cstddef>
#include <cstdint>

#include "deck/CsvImport.h"
#include "deck/CsvRows.h"
#include "deck/DeckError.h"
#include "deck/DeckRecord.h"
#include "fuzz/FuzzFile.h"

using korva::CardData;
using korva::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    std::size_t crs = 0;
    for (const char c : bytes) {
        crs += c == '\r';
    }
    std::vector<korva::CsvRow> rows;
    try {
        rows = korva::ReadCsvRows(bytes);
    } catch (const korva::DeckError&) {
        Require(crs >= static_cast<std::size_t>(korva::MaxCards), "short file refused");
        return 0;
    }
    Require(rows.size() <= crs + 1, "more rows than lines");
    Require(!bytes.empty() || rows.empty(), "rows from nothing");
    for (const auto& row : rows) {
        for (const auto& field : row) {
            Require(field.find(',') == std::string::npos && field.find('\r') == std::string::npos,
                    "separator inside a field");
        }
    }

    const std::string& path = korva::fuzz::WriteInputFile(bytes, ".csv");
    CardData deck;
    deck.Items = {{"", "", ""}, {"", "old", "card"}};
    deck.Checks = {{0, 0, 0}, {0, -1, -1}};
    deck.QuestionItems = {1, 2};
    deck.Modes = korva::StudyModes{korva::TurnShuffle, 9, korva::ViewChecked, korva::AnswerTest};
    korva::ImportCsvFile(path, deck, true);
    Require(deck.Total() == 1 + static_cast<int>(rows.size()), "wrong total after append");
    Require(deck.Items[1][1] == "old" && deck.Modes.ReservedMode == 9, "append changed the deck's own card");
    for (std::size_t i = 0; i < rows.size(); ++i) {
        Require(deck.Items[i + 2][1] == rows[i][0] && deck.Items[i + 2][2] == rows[i][1], "card differs from its row");
    }
    for (std::size_t c = 0; c < deck.Items.size(); ++c) {
        Require(deck.Checks[c] == CardData::ItemChecks{0, 0, 0} && deck.QuestionItems[c] == 1, "marks not reset");
    }
    // What was imported can be saved and read again.
    Require(korva::WriteDeckRecord(korva::ReadDeckRecord(korva::WriteDeckRecord(deck))) == korva::WriteDeckRecord(deck),
            "imported deck does not round trip");
    return 0;
}
