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
    switch (change.kind) {
        case DeckChangeKind::EditedFlag: return;  // nothing on screen shows it
        case DeckChangeKind::File: setWindowTitle(getFileName()); return;
        case DeckChangeKind::Replaced: {
            Following_ = true;
            const auto followed = qScopeGuard([this] { Following_ = false; });
            Start();  // a new deck deals anew, as if opened
            return;
        }
        case DeckChangeKind::CardsAdded:
        case DeckChangeKind::CardsRemoved:
        case DeckChangeKind::CardsMoved: {
            const bool deal = FollowCards(change);
            if (InGroup_) {
                DealAfterGroup_ = DealAfterGroup_ || deal;
                return;
            }
            DrawFollowed(deal);
            return;
        }
        case DeckChangeKind::Texts:
        case DeckChangeKind::Marks:
        case DeckChangeKind::QuestionItems:
        case DeckChangeKind::Modes:
            if (!InGroup_) {
                DrawFollowed(false);
            }
            return;
    }
}

// The cycle follows every run as it comes; the deal and the redraw wait for
// the action's end.
void frmCard::DeckGroupBegun() {
    InGroup_ = true;
    DealAfterGroup_ = false;
}

void frmCard::DeckGroupEnded() {
    InGroup_ = false;
    DrawFollowed(DealAfterGroup_);
}

// The view that made the change keeps the focus: the redraw only draws.
void frmCard::DrawFollowed(bool deal) {
    Following_ = true;
    const auto followed = qScopeGuard([this] { Following_ = false; });
    if (deal) {
        NextCard();
    }
    FreshScreen();
}

}  // namespace korva
