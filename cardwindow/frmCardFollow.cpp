// The card window follows changes that another view makes through the
// document. Its own commands draw for themselves, as often as they always
// did, so a change of its own is not drawn here a second time.
#include <QScopeGuard>

#include "cardwindow/frmCard.h"

namespace korva {

void frmCard::DeckChanged(const DeckChange& change) {
    if (isOwnChange()) {
        return;
    }
    // The view that made the change keeps the focus: the redraw only draws.
    Following_ = true;
    const auto followed = qScopeGuard([this] { Following_ = false; });
    switch (change.kind) {
        case DeckChangeKind::EditedFlag: return;  // nothing on screen shows it
        case DeckChangeKind::File: setWindowTitle(getFileName()); return;
        case DeckChangeKind::Replaced: Start(); return;  // a new deck deals anew, as if opened
        case DeckChangeKind::CardsAdded:
        case DeckChangeKind::CardsRemoved:
        case DeckChangeKind::CardsMoved:
            if (FollowCards(change)) {
                NextCard();
            }
            break;
        case DeckChangeKind::Texts:
        case DeckChangeKind::Marks:
        case DeckChangeKind::QuestionItems:
        case DeckChangeKind::Modes: break;
    }
    FreshScreen();
}

}  // namespace korva
