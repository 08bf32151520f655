#include "tests/editor/EditorFixture.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>

#include "deck/Cp932Text.h"
#include "deck/DeckText.h"

namespace korva::test {

frmCard& EditorTest::OpenDeck(const std::vector<CardText>& cards, const QString& name) {
    frmCard* card = windows.OpenFile(WriteDeckFile(name, cards));
    if (!card) {
        throw std::logic_error("the deck did not open");
    }
    return *card;
}

frmEditor& EditorTest::OpenEditor(frmCard& card) {
    frmEditor* editor = windows.OpenEditor(card);
    if (!editor) {
        throw std::logic_error("no editor opened");
    }
    QApplication::setActiveWindow(&area);
    editor->FocusTable();
    return *editor;
}

void Press(int key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key), modifiers);
}

void Type(const QString& text) {
    for (const uint codePoint : text.toUcs4()) {
        const QString character = QString::fromUcs4(reinterpret_cast<const char32_t*>(&codePoint), 1);
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, character);
        QApplication::sendEvent(QApplication::focusWidget(), &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, character);
        QApplication::sendEvent(QApplication::focusWidget(), &release);
    }
}

int EditorTest::CurrentColumn(const frmEditor& editor) const { return editor.grdCards->currentIndex().column(); }

void EditorTest::GoTo(frmEditor& editor, int16_t card, int column) {
    editor.GoToCards({card}, column);
    editor.FocusTable();
}

std::vector<std::string> EditorTest::Items(const frmCard& card, int16_t item) const {
    std::vector<std::string> items;
    for (int16_t i = 1; i <= card.getTotal(); ++i) {
        items.push_back(ItemToUtf8(card.getCardData().encoding, card.getItem(item, i)));
    }
    return items;
}

CellEditor* EditorTest::OpenCell() const { return qobject_cast<CellEditor*>(QApplication::focusWidget()); }

}  // namespace korva::test
