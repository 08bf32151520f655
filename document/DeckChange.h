#pragma once

namespace korva {

// What a change of a deck document touched. Cards are counted as the deck
// counts them: card 0 is the slot never shown, 1..total the cards.
enum class DeckChangeKind {
    Texts,          // the items of cards first..first+count-1
    Marks,          // their check marks
    QuestionItems,  // which item they ask
    Modes,          // the study modes: order, answer style, view filter
    Schedule,       // the schedule's settings: new cards a day, desired retention
    CardsAdded,     // count cards now stand at first
    CardsRemoved,   // count cards that stood at first are gone
    CardsMoved,     // count cards that stood at first now stand at to
    Replaced,       // a whole deck read anew: opened, appended to or restored
    File,           // the file's path or name
    EditedFlag,     // set or cleared; a save clears it
};

struct DeckChange {
    DeckChangeKind kind = DeckChangeKind::Replaced;
    int first = 0;
    int count = 0;
    int to = 0;
    bool edited = false;  // the edited flag after the change

    bool operator==(const DeckChange&) const = default;
};

// Told of every change of a document, after it is made, in the order the
// changes are made. A listener that goes first takes itself off the document.
//
// One action of the user (a check and its deal, a paste, an undo, a file
// read) may make many changes; they come between DeckGroupBegun and
// DeckGroupEnded. DeckActionEnded follows every action, grouped or a change
// told alone, once every listener has heard all of it: a view that acts on
// the deck (deals, shows a message) does it there, when every other view
// already shows the deck as it now is.
class DeckListener {
public:
    // Before cards are inserted, removed or moved, or a whole deck read: a
    // view that mirrors the rows (a Qt model) begins its change here.
    virtual void DeckChanging(const DeckChange& /*change*/) {}
    virtual void DeckChanged(const DeckChange& change) = 0;
    virtual void DeckGroupBegun() {}
    virtual void DeckGroupEnded() {}
    virtual void DeckActionEnded() {}

protected:
    DeckListener() = default;
    DeckListener(const DeckListener&) = default;
    DeckListener& operator=(const DeckListener&) = default;
    ~DeckListener() = default;
};

}  // namespace korva
