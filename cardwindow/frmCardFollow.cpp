// The card window draws what the deck's notices tell, whoever changed it: its
// own commands and another view alike change the deck and return. The
// notices of one action are drawn once, when it ends.
#include <utility>

#include <QApplication>
#include <QScopeGuard>

#include "cardwindow/frmCard.h"

namespace korva {

void frmCard::DeckChanged(const DeckChange& change) {
    switch (change.kind) {
        case DeckChangeKind::EditedFlag:        // nothing on screen shows it
        case DeckChangeKind::Schedule: return;  // the next deal reads it
        case DeckChangeKind::File: setWindowTitle(getFileName()); return;
        case DeckChangeKind::Replaced: Pending_.restart = true; break;
        case DeckChangeKind::CardsAdded:
        case DeckChangeKind::CardsRemoved:
        case DeckChangeKind::CardsMoved:
            // The cycle follows every run as it comes; the deal and the
            // redraw wait for the action's end.
            Pending_.deal = FollowCards(change) || Pending_.deal;
            Pending_.draw = true;
            break;
        case DeckChangeKind::Texts:
        case DeckChangeKind::Marks:
        case DeckChangeKind::QuestionItems:
        case DeckChangeKind::Modes: Pending_.draw = true; break;
    }
}

// Every other view (the editor's table) shows the deck as it now is before
// a deal here can show the "no card" message.
void frmCard::DeckActionEnded() {
    if (!Reacting_) {
        React();
    }
}

// A deal may fall back to every card, which changes the view filter: that
// change is part of this reaction and drawn by its redraw.
void frmCard::React() {
    const Reaction reaction = std::exchange(Pending_, {});
    Reacting_ = true;
    // A failed redraw reaches the program's guard; the window goes on.
    const auto reacted = qScopeGuard([this] {
        Reacting_ = false;
        Pending_ = {};
    });
    if (reaction.restart) {
        Start();
    } else {
        if (reaction.deal) {
            NextCard();
        }
        if (reaction.draw) {
            FreshScreen();
        }
    }
}

// A redraw places the focus only in a window that holds it: in the frame's
// area, a control that takes the focus brings its window to the front, so a
// change made in another view leaves the focus there.
bool frmCard::HoldsFocus() const {
    const QWidget* focus = QApplication::focusWidget();
    return focus == nullptr || focus == this || isAncestorOf(focus);
}

}  // namespace korva
