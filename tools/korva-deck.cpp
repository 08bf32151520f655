// korva-deck: decks from the command line, read exactly as the program
// opens them.
//   korva-deck convert IN OUT.krv   IN ends in "krv" (deck) or "csv" (import)
//   korva-deck show FILE            the deck as JSON on standard output

#include <cstdio>
#include <exception>
#include <string>
#include <string_view>

#include "deck/CsvImport.h"
#include "deck/DeckError.h"
#include "deck/DeckFile.h"
#include "tools/DeckJson.h"

namespace {

using korva::CardData;
using korva::DeckError;

bool EndsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// The program chooses the reader by the last three characters of the path,
// exactly and case-sensitively.
CardData OpenDeck(const std::string& path) {
    CardData data;
    if (EndsWith(path, "krv")) {
        korva::LoadCardFile(path, data, false);
    } else if (EndsWith(path, "csv")) {
        korva::ImportCsvFile(path, data, false);
    } else {
        throw DeckError("ファイル名が krv でも csv でも終わっていません。");
    }
    return data;
}

int Usage() {
    std::fputs("使い方: korva-deck convert IN OUT.krv | korva-deck show FILE\n", stderr);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return Usage();
    }
    const std::string_view command = argv[1];
    // The file a failure is about, for the one line on standard error.
    std::string subject = argc >= 3 ? argv[2] : "";
    try {
        if (command == "convert" && argc == 4) {
            const std::string out = argv[3];
            // Writing a deck over a path the program would read as CSV would
            // destroy that file's text.
            if (!EndsWith(out, ".krv")) {
                subject = out;
                throw DeckError("出力ファイル名が .krv で終わっていません。");
            }
            const CardData data = OpenDeck(argv[2]);
            subject = out;
            korva::SaveCardFile(out, data);
            return 0;
        }
        if (command == "show" && argc == 3) {
            const std::string json = korva::DeckToJson(OpenDeck(argv[2])) + "\n";
            if (std::fwrite(json.data(), 1, json.size(), stdout) != json.size() || std::fflush(stdout) != 0) {
                throw DeckError("出力に書き込めません。");
            }
            return 0;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "korva-deck: %s: %s\n", subject.c_str(), e.what());
        return 1;
    }
    return Usage();
}
