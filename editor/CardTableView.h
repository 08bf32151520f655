#pragma once

#include <functional>

#include <QPlainTextEdit>
#include <QStyledItemDelegate>
#include <QTableView>

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
    CellEditor(platform::Dialogs& dialogs, QWidget* parent);

    // The text the editor opens with; it is what the cell keeps when the
    // user changes nothing.
    void setCellText(const QString& text, bool selectAll);
    const QString& getOpeningText() const { return Opening_; }
    bool isOpened() const { return Opened_; }
    // A refusal is on screen: the focus it takes does not end the edit.
    bool isRefusing() const { return Refusing_ > 0; }
    // The sentence that refuses the text as it stands, or empty when the
    // cell may keep it.
    QString Refusal() const;
    void Refuse(const QString& text);

private:
    void ContentsChanged(int position, int removed, int added);

    platform::Dialogs& Dialogs_;
    QString Opening_;
    QString Accepted_;
    bool Opened_ = false;
    bool Reverting_ = false;
    int Refusing_ = 0;
};

// Puts a CellEditor on an item. Enter commits and Escape cancels;
// Shift+Enter and Ctrl+Enter break the line.
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

    platform::Dialogs& Dialogs_;
    bool ReplaceOnOpen_ = false;
};

// The cards' table with the keys of a spreadsheet: F2, Enter or a typed
// character starts an edit; Space turns a mark or the asked item, through
// the command the window gives it.
class CardTableView : public QTableView {
public:
    CardTableView(platform::Dialogs& dialogs, QWidget* parent);

    bool isEditing() const { return state() == EditingState; }
    // Space on the current cell; false leaves the key to the cell, where it
    // starts an edit as any character does.
    void setSpaceCommand(std::function<bool()> command) { SpaceCommand_ = std::move(command); }
    // Edits the current cell, as F2 does.
    void EditCurrent();
    // Ends an open edit as Enter does; false when its text is refused and
    // the cell stays in edit.
    bool CommitEdit();

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    CardDelegate* Delegate_;
    std::function<bool()> SpaceCommand_;
};

}  // namespace korva
