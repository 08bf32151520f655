// korva-mark-sample DECK: checks every third card of the sample deck, so a
// first start shows both kinds of card and what チェックのみ and
// チェックなしのみ deal. The file is written again with the revision and
// times it was made with, so every build still makes the same bytes.
#include <cstdio>
#include <cstdlib>

#include "deck/DeckError.h"
#include "deck/DeckErrorText.h"
#include "deck/KorvaFile.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: korva-mark-sample DECK\n", stderr);
        return EXIT_FAILURE;
    }
    try {
        korva::KorvaSnapshot made;
        korva::KorvaDeck deck = korva::LoadKorvaFile(argv[1], made);
        for (int card = 3; card <= deck.cards.Total(); card += 3) {
            deck.cards.Checks[static_cast<std::size_t>(card)][1] = korva::True16;
        }
        korva::SaveKorvaFile(argv[1], deck, made.revision);
    } catch (const korva::DeckError& error) {
        std::fprintf(stderr, "korva-mark-sample: %s\n", korva::DeckErrorText(error.detail()).toUtf8().constData());
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}
