#pragma once

namespace korva {

class frmCard;

// What a card window asks of the frame window that holds it: the commands of
// its menus that reach beyond the window itself.
class CardWindowHost {
public:
    virtual ~CardWindowHost() = default;

    virtual void OpenCardWindow() = 0;  // File > Open: a new card window
    virtual void NewCardWindow() = 0;   // File > New: an empty card window
    virtual void ExitProgram() = 0;     // the card window's File > Exit walk
    virtual void ShowHelp() = 0;        // Help > HTML help
    virtual void OpenSampleDeck() = 0;  // Help > the sample deck, untitled
    virtual void ShowVersion() = 0;     // Help > Version information
    // The card editor of the window's deck, opened or brought to the front.
    virtual void OpenCardEditor(frmCard& card) = 0;
    // The window of the deck's study record, opened or brought to the front.
    virtual void OpenRecordWindow(frmCard& card) = 0;
};

}  // namespace korva
