#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/CardSlot.h"
#include "document/DeckChange.h"
#include "document/DeckDocument.h"

namespace korva {

// The card editor's changes of a document, each one step that Undo takes
// back and Redo makes again, for as long as the editor's deck stays the one
// it opened with. Every step, its undo and its redo mark the deck edited, so
// the close question, the save and the recovery copy treat it as a check mark;
// an undo or redo that returns the deck to the state it was last opened or
// saved in (the clean point) clears the flag again, as a text editor does. A
// change the history did not make (a mark set in the study window) leaves no
// way back to that state until the next save.
//
// Cards are numbered as the deck numbers them, 1..total. Each command checks
// its arguments and the deck's limits before it changes anything: a card or
// item outside the deck throws std::out_of_range, a deck past MaxCards or an
// item past MaxItemBytes throws DeckError.
//
// Another view may change marks and asked items meanwhile; the steps restore
// what they found, so those stay undoable. A deck read anew, or cards added,
// removed or moved from elsewhere, ends the history: its card numbers would
// no longer hold.
class DeckEdits final : public DeckListener {
public:
    explicit DeckEdits(std::shared_ptr<DeckDocument> document);
    ~DeckEdits();
    DeckEdits(const DeckEdits&) = delete;
    DeckEdits& operator=(const DeckEdits&) = delete;

    const std::shared_ptr<DeckDocument>& getDocument() const { return Document_; }

    // No step when the bytes are already the item's.
    void setText(int16_t card, int16_t item, std::string bytes);
    void ToggleCheck(int16_t card, int16_t item);
    // Asks item 2 of a card asking 1, and item 1 of any other.
    void ToggleQuestionItem(int16_t card);
    // The cards then stand at at, at + 1, ...; at is 1..total + 1. It is an
    // int, so the place after the last card of a full deck is the limit's
    // refusal, not a card number turned negative.
    void Insert(int at, std::vector<CardSlot> cards);
    // Any cards, in any order, duplicates ignored: one step.
    void Remove(std::vector<int16_t> cards);
    // Each of the cards one place up (down), the others closing round them;
    // a card already at the top (bottom), or behind one that is, stays; no
    // step when none moves. Returns where the cards stand afterwards.
    std::vector<int16_t> MoveUp(std::vector<int16_t> cards);
    std::vector<int16_t> MoveDown(std::vector<int16_t> cards);

    bool CanUndo() const;
    bool CanRedo() const;
    // Told whenever CanUndo or CanRedo may have turned, so a view greys its
    // items; one listener, the deck's editor while it is open.
    void setAvailabilityListener(std::function<void()> listener);
    // The cards the step touched, where they stand afterwards (for the
    // caret); empty when there was nothing to take back or make again.
    std::vector<int16_t> Undo();
    std::vector<int16_t> Redo();

    void DeckChanged(const DeckChange& change) override;

    // One undoable change: Redo makes it, Undo takes it back; each returns
    // the cards it touched.
    struct Step;

private:
    class Own;
    using Steps = std::vector<std::unique_ptr<Step>>;

    void Push(std::unique_ptr<Step> step);
    std::vector<int16_t> Walk(Steps& from, Steps& to, std::vector<int16_t> (Step::*apply)(DeckDocument&) const);
    void Clear();
    void TellAvailability() const;

    std::shared_ptr<DeckDocument> Document_;
    Steps Done_;
    Steps Undone_;
    // How many steps were done when the deck last equalled its file; none
    // when no walk through the history can bring that state back.
    std::optional<std::size_t> CleanAt_;
    std::function<void()> Availability_;
    int OwnChanges_ = 0;
};

}  // namespace korva
