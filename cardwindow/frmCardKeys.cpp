#include <QEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "cardwindow/VirtualKey.h"
#include "cardwindow/frmCard.h"

namespace korva {

namespace {

bool IsEnter(const QKeyEvent& key) { return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter; }

}  // namespace

void frmCard::ConnectControls() {
    connect(cmdOpen, &QPushButton::clicked, this, &frmCard::cmdOpen_Click);
    connect(cmdAnswer, &QPushButton::clicked, this, &frmCard::cmdAnswer_Click);
    connect(cmdCheck, &QPushButton::clicked, this, &frmCard::cmdCheck_Click);
    connect(cmdRecheck, &QPushButton::clicked, this, &frmCard::cmdRecheck_Click);
    for (QWidget* control :
         {static_cast<QWidget*>(cmdOpen), static_cast<QWidget*>(cmdCheck), static_cast<QWidget*>(cmdRecheck),
          static_cast<QWidget*>(cmdAnswer), static_cast<QWidget*>(txtAnswer)}) {
        control->installEventFilter(this);
    }
}

bool frmCard::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtAnswer && event->type() == QEvent::FocusIn) {
        txtAnswer_GotFocus();
        return false;
    }
    if (watched == txtAnswer) {
        TrackComposition(*event);
    }
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const auto& key = static_cast<const QKeyEvent&>(*event);

    // While an input method is composing, its proposal is not yet the
    // answer: Enter there is the input method's, never a verdict.
    if (watched == txtAnswer && Composing_ && IsEnter(key)) {
        return true;
    }

    if (watched == cmdOpen && ProducesCharacter(key)) {
        cmdOpen_KeyPress();
        return true;
    }
    if (watched == cmdCheck || watched == cmdRecheck) {
        int16_t keyCode = VirtualKeyCode(key);
        if (keyCode == VirtualKeyCheck || keyCode == VirtualKeyUncheck) {
            int16_t shift = (key.modifiers() & Qt::ShiftModifier) ? 1 : 0;
            if (watched == cmdCheck) {
                cmdCheck_KeyDown(keyCode, shift);
            } else {
                cmdRecheck_KeyDown(keyCode, shift);
            }
            return true;
        }
    }
    // Outside a dialog a push button ignores Enter; here a focused button
    // answers Enter itself, as Windows buttons do.
    if (IsEnter(key) && (watched == cmdCheck || watched == cmdRecheck || watched == cmdAnswer)) {
        static_cast<QPushButton*>(watched)->click();
        return true;
    }
    return false;
}

void frmCard::TrackComposition(const QEvent& event) {
    if (event.type() == QEvent::InputMethod) {
        Composing_ = !static_cast<const QInputMethodEvent&>(event).preeditString().isEmpty();
    } else if (event.type() == QEvent::FocusOut) {
        Composing_ = false;  // leaving the box commits or drops the proposal
    }
}

// Enter pressed on a control that is not a button ends up here: once the
// answer box has had the focus, it clicks the default button.
void frmCard::keyPressEvent(QKeyEvent* event) {
    if (IsEnter(*event) && cmdAnswer->isDefault() && cmdAnswer->isEnabled()) {
        cmdAnswer->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace korva
