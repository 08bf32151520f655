#include "bench/BenchDecks.h"

namespace korva::bench {

std::string JapaneseText(int card, int item) {
    std::string text;
    for (int i = 0; i < 10; ++i) {
        text.push_back('\x82');
        text.push_back(static_cast<char>(0x9F + (card * 7 + item * 3 + i) % 83));
    }
    return text;
}

CardData MakeDeck(int total) {
    CardData d;
    d.Items.resize(static_cast<std::size_t>(total) + 1);
    d.Checks.resize(static_cast<std::size_t>(total) + 1);
    d.QuestionItems.assign(static_cast<std::size_t>(total) + 1, 1);
    for (int c = 1; c <= total; ++c) {
        d.Items[c][1] = JapaneseText(c, 1);
        d.Items[c][2] = JapaneseText(c, 2);
        d.Checks[c][1] = c % 3 == 0 ? True16 : False16;
    }
    d.Modes = ImportedModes;
    return d;
}

}  // namespace korva::bench
