#pragma once

#include <functional>
#include <optional>

#include <QPlainTextEdit>
#include <QStyledItemDelegate>
#include <QTableView>

#include "editor/ItemText.h"

namespace korva {

namespace platform {
class Dialogs;
}  // namespace platform

// An item's editor: several lines, and only characters that code page 932
// holds. A character it cannot hold is taken back as it comes in (typed,
// pasted or composed) and the user is told which one; the cell stays in edit.
class CellEditor : public QPlainTextEdit {
    Q_OBJECT

public:
    CellEditor(platform::Dialogs& dialogs, ItemEncoding encoding, QWidget* parent);

    // The text the editor opens with. What it shows of it (a lone CR is a
    // line break on screen) is what the cell keeps when the user changes
    // nothing, so such an item is never written back.
    void setCellText(const QString& text, bool selectAll);
    bool isChanged() const { return toPlainText() != Opening_; }
    bool isOpened() const { return Opened_; }
    // A refusal is on screen: the focus it takes does not end the edit.
    bool isRefusing() const { return Refusing_ > 0; }
    // The sentence that refuses the text as it stands, or empty when the
    // cell may keep it.
    QString Refusal() const;
    // The text as the deck would keep it, checked once for each state of
    // the text, however often it is asked.
    const TypedItem& Checked() const;
    void Refuse(const QString& text);

private:
    void ContentsChanged(int position, int removed, int added);

    platform::Dialogs& Dialogs_;
    ItemEncoding Encoding_;
    QString Opening_;
    QString Accepted_;
    mutable std::optional<TypedItem> Checked_;
    bool Opened_ = false;
    bool Reverting_ = false;
    int Refusing_ = 0;
};

// Puts a CellEditor on an item. Enter commits and Escape cancels; Tab and
// Shift+Tab commit and go on along the row; Shift+Enter and Ctrl+Enter break
// the line.
class CardDelegate : public QStyledItemDelegate {
public:
    CardDelegate(platform::Dialogs& dialogs, QObject* parent);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;
    // A key typed on the cell replaces its text, as in a spreadsheet; F2 and
    // Enter keep it, the caret at its end.
    void setReplaceOnOpen(bool replace) { ReplaceOnOpen_ = replace; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FocusView() const;
    bool Commit(CellEditor* cell);

    platform::Dialogs& Dialogs_;
    bool ReplaceOnOpen_ = false;
};

// The cards' table with the keys of a spreadsheet: F2, Enter or a typed
// character starts an edit; Tab goes on along the row; Space turns a mark or
// the asked item, through the command the window gives it. The selection
// follows the caret wherever a key takes it, so what is highlighted is what
// the commands act on.
class CardTableView : public QTableView {
public:
    CardTableView(platform::Dialogs& dialogs, QWidget* parent);

    bool isEditing() const { return state() == EditingState; }
    // A refusal of the open cell's text is on screen: nothing may change the
    // table under it until the user has read it.
    bool isRefusing() const;
    // Space on the current cell; false leaves the key to the cell, where it
    // starts an edit as any character does.
    void setSpaceCommand(std::function<bool()> command) { SpaceCommand_ = std::move(command); }
    // Edits the current cell, as F2 does.
    void EditCurrent();
    // Ends an open edit as Enter does; false when its text is refused and
    // the cell stays in edit.
    bool CommitEdit();
    // The sentence that refuses the open cell's text; empty when it may be
    // kept or no cell is open.
    QString OpenCellRefusal() const;
    // Ends an open edit as Escape does.
    void DropEdit();

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index, const QEvent* event) const override;

private:
    CellEditor* OpenCell() const;

    CardDelegate* Delegate_;
    std::function<bool()> SpaceCommand_;
};

}  // namespace korva
