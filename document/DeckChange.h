#pragma once

namespace korva {

// What a change of a deck document touched. Cards are counted as the deck
// counts them: card 0 is the slot never shown, 1..total the cards.
enum class DeckChangeKind {
    Texts,          // the items of cards first..first+count-1
    Marks,          // their check marks
    QuestionItems,  // which item they ask
    Modes,          // the study modes: order, answer style, view filter
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
class DeckListener {
public:
    virtual void DeckChanged(const DeckChange& change) = 0;
    // The changes of one action that moves cards run by run (a removal of
    // scattered cards, a move of the cards a search found, their undo) come
    // between these two: a view may take in the cards' new order once, at
    // the end, instead of after every run.
    virtual void DeckGroupBegun() {}
    virtual void DeckGroupEnded() {}

protected:
    DeckListener() = default;
    DeckListener(const DeckListener&) = default;
    DeckListener& operator=(const DeckListener&) = default;
    ~DeckListener() = default;
};

}  // namespace korva
