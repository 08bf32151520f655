#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <QLineEdit>
#include <QPushButton>

#include "cardwindow/CardWindowHost.h"
#include "cardwindow/VirtualKey.h"
#include "cardwindow/frmCard.h"
#include "deck/DeckText.h"
#include "platform/Dialogs.h"

namespace korva {

// Card 0 is never shown: with an empty deck nothing can be revealed, judged
// or checked, even by a command that reaches past the greyed controls.
bool frmCard::isCardOnShow() const { return getShowCardIndex() != 0; }

void frmCard::cmdOpen_Click() {
    if (!isCardOnShow()) {
        return;
    }
    {
        const DeckGroup shown(getDocument());
        setOpenItem(true);
        setAnswerMode(AnswerNormal);
    }
    cmdCheck->setFocus();
}

void frmCard::cmdOpen_KeyPress() { cmdOpen_Click(); }

void frmCard::cmdAnswer_Click() {
    if (!isCardOnShow()) {
        return;
    }
    setOpenItem(true);
    const int16_t a = getAnswerItemIndex(getShowCardIndex());
    // Judged as the deck stores its texts, so the two Unicode forms an input
    // method may type for one character (〜 and ～ in a code page 932 deck, a
    // composed and a decomposed é in a UTF-8 one) are the same answer; a
    // character the deck could not hold matches nothing.
    const ItemEncoding encoding = getCardData().encoding;
    const std::optional<std::string> typed = ItemFromUtf8(encoding, txtAnswer->text().toStdString());
    const bool correct = typed && *typed == ItemForComparison(encoding, getItem(a, getShowCardIndex()));
    Judged_ = {getCardIds()[static_cast<std::size_t>(getShowCardIndex())], correct};
    {
        // The verdict stands before the answer is drawn.
        const DeckGroup judged(getDocument());
        setAnswerMode(AnswerTest);
        ShowMessage(correct ? QStringLiteral("正解です。") : QStringLiteral("不正解です。"));
    }
    cmdCheck->setFocus();
}

void frmCard::txtAnswer_GotFocus() { cmdAnswer->setDefault(true); }

void frmCard::cmdCheck_Click() { MarkAndNext(true); }

void frmCard::cmdRecheck_Click() { MarkAndNext(false); }

void frmCard::MarkAndNext(bool checked) {
    if (!isCardOnShow()) {
        return;
    }
    // The mark makes the deck edited before the deal, whose "no card" message
    // may stand while the program is ended: the copy has heard of it by then.
    // The mark and the deal are one action, drawn once.
    const DeckGroup marked(getDocument());
    const int16_t shown = getShowCardIndex();
    // A typed answer's verdict goes with the mark of the card it was given for.
    const bool judged = Judged_ && Judged_->first == getCardIds()[static_cast<std::size_t>(shown)];
    getDocument().Review(checked, getQuestionItemIndex(shown), shown,
                         judged ? static_cast<int8_t>(Judged_->second ? 1 : 0) : int8_t{-1});
    Judged_.reset();
    NextCard();
}

void frmCard::cmdCheck_KeyDown(int16_t& KeyCode, int16_t& Shift) { ProgressKeyboard(KeyCode, Shift); }

void frmCard::cmdRecheck_KeyDown(int16_t& KeyCode, int16_t& Shift) { ProgressKeyboard(KeyCode, Shift); }

void frmCard::ProgressKeyboard(int16_t& KeyCode, int16_t& /*Shift*/) {
    if (KeyCode == VirtualKeyCheck) {
        cmdCheck_Click();
    } else if (KeyCode == VirtualKeyUncheck) {
        cmdRecheck_Click();
    }
}

void frmCard::mnuFunctionTurnNormal_Click() { ChangeTurnMode(TurnNormal); }

void frmCard::mnuFunctionTurnShuffle_Click() { ChangeTurnMode(TurnShuffle); }

// Another order deals a new cycle.
void frmCard::ChangeTurnMode(uint8_t mode) {
    const DeckGroup turned(getDocument());
    setTurnMode(mode);
    Restart();
}

void frmCard::mnuFunctionAnswerNormal_Click() { setAnswerMode(AnswerNormal); }

void frmCard::mnuFunctionAnswerTest_Click() { setAnswerMode(AnswerTest); }

// Marks and asked items are the user's work, saved with the deck: a command
// that changes any of them leaves the deck edited, as a check does, so the
// close question and the recovery copy guard it. The document decides that:
// one that changes none, as checking every card already checked, leaves the
// flag alone.
void frmCard::mnuFunctionReversalAll_Click() { AllReversal(); }

void frmCard::mnuFunctionReversalPersonal_Click() {
    if (isCardOnShow()) {
        setReversal(getShowCardIndex(), false);
    }
}

void frmCard::mnuFunctionLumpCheck_Click() { LumpMark(true); }

void frmCard::mnuFunctionLumpNatural_Click() { LumpMark(false); }

void frmCard::LumpMark(bool checked) {
    if (isCardOnShow()) {
        setCheckLump(checked, getQuestionItemIndex(getShowCardIndex()));
    }
}

void frmCard::mnuViewCardAll_Click() { ApplyFilter(ViewAll); }
void frmCard::mnuViewCardCheck_Click() { ApplyFilter(ViewChecked); }
void frmCard::mnuViewCardNatural_Click() { ApplyFilter(ViewUnchecked); }

void frmCard::mnuViewCardDue_Click() {
    FreshMenuList();
    if (KeepsRecordOrSavedAsKorva(QStringLiteral("復習するカードを選ぶ"))) {
        ApplyFilter(ViewDue);
    }
}

void frmCard::mnuFunctionRecord_Click() {
    if (KeepsRecordOrSavedAsKorva(QStringLiteral("学習の記録を見る"))) {
        Host_.OpenRecordWindow(*this);
    }
}

void frmCard::mnuFunctionSettings_Click() {
    if (!KeepsRecordOrSavedAsKorva(QStringLiteral("学習の設定をする"))) {
        return;
    }
    if (const auto settings = Dialogs_.ShowScheduleSettings(getDocument().getDeck().settings)) {
        getDocument().setScheduleSettings(*settings);
    }
}

// The schedule reads the study record, which only a .korva deck keeps: a
// code page 932 deck is offered a save as one first.
bool frmCard::KeepsRecordOrSavedAsKorva(const QString& command) {
    if (getCardData().encoding == ItemEncoding::Utf8) {
        return true;
    }
    const auto answer =
        Dialogs_.Message(QStringLiteral("%1には学習の記録が要ります。記録は .korva のデッキに残ります。\r\n"
                                        "このデッキを .korva のデッキとして名前を付けて保存しますか。")
                             .arg(command),
                         platform::MessageButtons::YesNo);
    return answer == platform::MessageResult::Yes && NewFileSave(true) && getCardData().encoding == ItemEncoding::Utf8;
}

// Stepping back one position makes NextCard deal again from the card on show,
// which stays if it passes the new filter.
void frmCard::ApplyFilter(uint8_t viewKind) {
    const DeckGroup filtered(getDocument());
    setViewKind(viewKind);
    if (getTotal() != 0) {
        // With nothing on show (the due view's day done) the deal starts over.
        setCardCount(static_cast<int16_t>(std::max(0, getCardCount() - 1)));
        NextCard();
    }
}

}  // namespace korva
