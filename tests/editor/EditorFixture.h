#pragma once

#include <string>
#include <vector>

#include <QString>

#include "editor/CardTableModel.h"
#include "editor/CardTableView.h"
#include "editor/frmEditor.h"
#include "tests/cardwindow/CardWindowFixture.h"

namespace korva::test {

// Keys go where the focus is, as the user's do.
void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Each character typed on its own key, wherever the focus then is.
void Type(const QString& text);

// A card window opened from a deck file in a shown area, and its editor,
// both opened by the window manager as the frame opens them.
class EditorTest : public CardAreaTest {
protected:
    frmCard& OpenDeck(const std::vector<CardText>& cards, const QString& name = QStringLiteral("words.krv"));
    frmEditor& OpenEditor(frmCard& card);

    // The cell the editor shows as current: its card and column.
    int16_t CurrentCard(const frmEditor& editor) const { return editor.CurrentCard(); }
    int CurrentColumn(const frmEditor& editor) const;
    void GoTo(frmEditor& editor, int16_t card, int column);

    // Item 1 (or 2) of every card, in UTF-8 with CR LF as the deck keeps it.
    std::vector<std::string> Items(const frmCard& card, int16_t item = 1) const;
    CellEditor* OpenCell() const;
};

}  // namespace korva::test
