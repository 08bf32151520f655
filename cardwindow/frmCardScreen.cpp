#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "cardwindow/frmCard.h"
#include "deck/DeckText.h"

namespace korva {

QString frmCard::ItemText(int16_t itemIndex, int16_t CardIndex) const {
    return QString::fromStdString(ItemToUtf8(getCardData().encoding, getItem(itemIndex, CardIndex)));
}

// Qt hands the focus of a control it greys to the next one in tab order,
// which after the check buttons is the answer box; that box would take the
// pass for the user's own move there and make cmdAnswer the default button.
// The window holds the focus instead until the redraw or the command that
// greyed the control places it.
void frmCard::EnableControl(QWidget* control, bool enabled) {
    if (!enabled && window()->focusWidget() == control) {
        setFocus(Qt::OtherFocusReason);
    }
    control->setEnabled(enabled);
}

void frmCard::FreshScreen() {
    const bool cardOnShow = isCardOnShow();
    const int16_t q = cardOnShow ? getQuestionItemIndex(getShowCardIndex()) : int16_t{0};

    txtItem[0]->setPlainText(cardOnShow ? ItemText(q, getShowCardIndex()) : QString());
    if (cardOnShow && isOpenItem()) {
        const int16_t a = getAnswerItemIndex(getShowCardIndex());
        txtItem[1]->setPlainText(ItemText(a, getShowCardIndex()));
    } else {
        txtItem[1]->setPlainText(QString());
    }
    txtAnswer->clear();

    const bool open = isOpenItem();
    EnableControl(cmdOpen, cardOnShow && !open);
    EnableControl(cmdCheck, cardOnShow && open);
    EnableControl(cmdRecheck, cardOnShow && open);
    EnableControl(cmdAnswer, cardOnShow);
    EnableControl(txtAnswer, cardOnShow);

    lblCheck->setVisible(cardOnShow && isCheck(q, getShowCardIndex()));
    lblCount->setText(QString::number(getCardCount()) + QStringLiteral(" / ") + QString::number(getTotal()));
    lblCount->adjustSize();

    FreshMenuList();

    // Moving the focus in a window that is not on screen yet would only
    // decide where the caret lands once it is shown; the first redraw leaves
    // that to the tab order.
    if (!isVisible() || !HoldsFocus()) {
        return;
    }
    switch (getAnswerMode()) {
        case AnswerNormal: cmdOpen->setFocus(); break;
        case AnswerTest: txtAnswer->setFocus(); break;
        default: break;
    }
}

void frmCard::FreshMenuList() {
    for (QAction* item : {mnuFunctionTurnNormal, mnuFunctionTurnShuffle, mnuFunctionAnswerNormal, mnuFunctionAnswerTest,
                          mnuViewCardAll, mnuViewCardCheck, mnuViewCardNatural, mnuViewCardDue}) {
        item->setChecked(false);
    }

    switch (getTurnMode()) {
        case TurnNormal: mnuFunctionTurnNormal->setChecked(true); break;
        case TurnShuffle: mnuFunctionTurnShuffle->setChecked(true); break;
        default: break;
    }
    switch (getAnswerMode()) {
        case AnswerNormal: mnuFunctionAnswerNormal->setChecked(true); break;
        case AnswerTest: mnuFunctionAnswerTest->setChecked(true); break;
        default: break;
    }
    switch (getViewKind()) {
        case ViewChecked: mnuViewCardCheck->setChecked(true); break;
        case ViewUnchecked: mnuViewCardNatural->setChecked(true); break;
        case ViewAll: mnuViewCardAll->setChecked(true); break;
        default: break;
    }
    // A deck that keeps no record deals all cards in it, as in a kind unknown.
    mnuViewCardDue->setChecked(isDueView(getCardData()));
}

}  // namespace korva
