#include "tests/deck/DeckTestSupport.h"

#include <sys/stat.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace korva::test {

TempFolder::TempFolder() {
    if (!Dir_.isValid()) {
        throw std::runtime_error("no temporary folder");
    }
}

std::string TempFolder::Path(const std::string& name) const { return Dir_.path().toStdString() + "/" + name; }

// By the path's bytes: some tests name files that are not UTF-8.
void WriteBytes(const std::string& path, std::string_view bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())).flush()) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::string ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw std::runtime_error("cannot read " + path);
    }
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

std::string FromHex(std::string_view hex) {
    std::string out;
    int high = -1;
    for (const char c : hex) {
        int v;
        if (c >= '0' && c <= '9') {
            v = c - '0';
        } else if (c >= 'A' && c <= 'F') {
            v = c - 'A' + 10;
        } else if (c >= 'a' && c <= 'f') {
            v = c - 'a' + 10;
        } else {
            continue;
        }
        if (high < 0) {
            high = v;
        } else {
            out.push_back(static_cast<char>(high * 16 + v));
            high = -1;
        }
    }
    return out;
}

bool SameDeck(const CardData& a, const CardData& b) {
    return a.Items == b.Items && a.Checks == b.Checks && a.QuestionItems == b.QuestionItems &&
           a.Modes.TurnMode == b.Modes.TurnMode && a.Modes.ReservedMode == b.Modes.ReservedMode &&
           a.Modes.ViewKind == b.Modes.ViewKind && a.Modes.AnswerMode == b.Modes.AnswerMode;
}

CardData VariedDeck(int total, const std::string& tag) {
    CardData d;
    d.Items.resize(static_cast<std::size_t>(total) + 1);
    d.Checks.resize(static_cast<std::size_t>(total) + 1);
    d.QuestionItems.resize(static_cast<std::size_t>(total) + 1);
    for (int c = 0; c <= total; ++c) {
        const std::string n = tag + std::to_string(c);
        // "単語" in code page 932, then a lone lead byte and a byte no code maps.
        d.Items[c] = {"zero" + n, "\x92\x50\x8C\xEA" + n, "\x81" + n + "\xFF"};
        d.Checks[c] = {static_cast<int16_t>(c * 7 + 3), static_cast<int16_t>(c % 2 ? True16 : False16),
                       static_cast<int16_t>(0x1234 + c)};
        // Slot 0 belongs to no card and may hold anything; a card's may be 0.
        d.QuestionItems[c] = static_cast<int16_t>(c == 0 ? -2 : c % 3);
    }
    d.Modes = StudyModes{TurnShuffle, 0xA5, ViewChecked, AnswerTest};
    return d;
}

}  // namespace korva::test
