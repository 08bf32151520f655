#include "editor/CardTableView.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPointer>
#include <QTextBlock>

#include "editor/CardTableModel.h"
#include "editor/ItemText.h"
#include "platform/Dialogs.h"

namespace korva {

CellEditor::CellEditor(platform::Dialogs& dialogs, ItemEncoding encoding, QWidget* parent)
    : QPlainTextEdit(parent), Dialogs_(dialogs), Encoding_(encoding) {
    setFrameShape(QFrame::NoFrame);
    setTabChangesFocus(true);
    connect(document(), &QTextDocument::contentsChange, this, &CellEditor::ContentsChanged);
}

void CellEditor::setCellText(const QString& text, bool selectAll) {
    Opened_ = true;
    Reverting_ = true;
    setPlainText(text);
    Reverting_ = false;
    Opening_ = toPlainText();
    Accepted_ = Opening_;
    Checked_.reset();
    QTextCursor cursor = textCursor();
    cursor.movePosition(QTextCursor::End);
    if (selectAll) {
        cursor.movePosition(QTextCursor::Start, QTextCursor::KeepAnchor);
    }
    setTextCursor(cursor);
}

// Only what came in is looked at: an item read from a file may hold bytes
// that do not decode, and it keeps them until the user changes the item. A
// UTF-8 deck holds any character.
void CellEditor::ContentsChanged(int position, int /*removed*/, int added) {
    if (Reverting_) {
        return;
    }
    const QString text = toPlainText();
    const QString character =
        Encoding_ == ItemEncoding::Cp932 ? FirstCharacterNotInCp932(text.mid(position, added)) : QString();
    if (character.isEmpty()) {
        Accepted_ = text;
        Checked_.reset();
        return;
    }
    Reverting_ = true;
    setPlainText(Accepted_);
    Reverting_ = false;
    QTextCursor cursor = textCursor();
    cursor.setPosition(std::min(position, static_cast<int>(Accepted_.size())));
    setTextCursor(cursor);
    Refuse(CharacterRefusal(character));
}

QString CellEditor::Refusal() const {
    if (!isChanged()) {
        return {};
    }
    return Checked().refusal;
}

const TypedItem& CellEditor::Checked() const {
    if (!Checked_) {
        Checked_ = CheckTypedItem(Encoding_, toPlainText());
    }
    return *Checked_;
}

void CellEditor::Refuse(const QString& text) {
    const QPointer<CellEditor> self(this);
    ++Refusing_;
    Dialogs_.Message(text, platform::MessageButtons::Ok);
    // The box ran an event loop; should anything have closed the cell
    // meanwhile, this editor went with it.
    if (!self) {
        return;
    }
    --Refusing_;
    setFocus(Qt::OtherFocusReason);
}

CardDelegate::CardDelegate(platform::Dialogs& dialogs, QObject* parent)
    : QStyledItemDelegate(parent), Dialogs_(dialogs) {}

QWidget* CardDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& /*option*/,
                                    const QModelIndex& index) const {
    const auto encoding = static_cast<ItemEncoding>(index.data(CardTableModel::ItemEncodingRole).toInt());
    return new CellEditor(Dialogs_, encoding, parent);
}

void CardDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* cell = qobject_cast<CellEditor*>(editor);
    // The deck changed under an open edit (another view): the typing stays.
    if (cell && !cell->isOpened()) {
        cell->setCellText(index.data(Qt::EditRole).toString(), ReplaceOnOpen_);
    }
}

void CardDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const {
    const auto* cell = qobject_cast<CellEditor*>(editor);
    if (!cell || !cell->isChanged()) {
        return;
    }
    if (const std::optional<std::string>& bytes = cell->Checked().bytes) {
        model->setData(index, QByteArray::fromStdString(*bytes), CardTableModel::ItemBytesRole);
    } else {
        // Committed as the focus left, without Enter's check: the table
        // refuses the text and says why.
        model->setData(index, cell->toPlainText(), Qt::EditRole);
    }
}

// At least a row's height, and room for a few lines where the row is low.
void CardDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                        const QModelIndex& /*index*/) const {
    QRect rect = option.rect;
    rect.setHeight(std::max(rect.height(), editor->fontMetrics().lineSpacing() * 4));
    editor->setGeometry(rect);
}

// The keys that end an edit leave the caret on the table; the editor, hidden
// on its way out, would hand the focus on to whatever follows it.
void CardDelegate::FocusView() const {
    if (auto* view = qobject_cast<QWidget*>(parent())) {
        view->setFocus(Qt::OtherFocusReason);
    }
}

bool CardDelegate::Commit(CellEditor* cell) {
    const QString refusal = cell->Refusal();
    if (!refusal.isEmpty()) {
        cell->Refuse(refusal);
        return false;
    }
    emit commitData(cell);
    return true;
}

bool CardDelegate::eventFilter(QObject* watched, QEvent* event) {
    auto* cell = qobject_cast<CellEditor*>(watched);
    if (!cell) {
        return QStyledItemDelegate::eventFilter(watched, event);
    }
    if (event->type() == QEvent::FocusOut && cell->isRefusing()) {
        return false;
    }
    if (event->type() != QEvent::KeyPress) {
        return QStyledItemDelegate::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (enter && (key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier))) {
        cell->textCursor().insertText(QStringLiteral("\n"));
        return true;
    }
    const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
    if (enter || tab) {
        if (!Commit(cell)) {
            return true;
        }
        emit closeEditor(cell, NoHint);
        FocusView();
        // The table goes on to the neighbouring cell, closed: typing there
        // starts its edit, as in a spreadsheet.
        if (tab && parent()) {
            QKeyEvent onward(QEvent::KeyPress, key->key(), key->modifiers());
            QCoreApplication::sendEvent(parent(), &onward);
        }
        return true;
    }
    if (key->key() == Qt::Key_Escape) {
        emit closeEditor(cell, RevertModelCache);
        FocusView();
        return true;
    }
    return QStyledItemDelegate::eventFilter(watched, event);
}

CardTableView::CardTableView(platform::Dialogs& dialogs, QWidget* parent)
    : QTableView(parent), Delegate_(new CardDelegate(dialogs, this)) {
    setItemDelegate(Delegate_);
    setEditTriggers(EditKeyPressed | AnyKeyPressed | DoubleClicked);
    setSelectionBehavior(SelectItems);
    setSelectionMode(ExtendedSelection);
    setWordWrap(false);
    setTabKeyNavigation(true);
    // One height for every row: a deck of 32,767 cards opens without
    // measuring one of them.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().lineSpacing() + 6);
    verticalHeader()->hide();
    horizontalHeader()->setHighlightSections(false);
}

void CardTableView::EditCurrent() { edit(currentIndex(), EditKeyPressed, nullptr); }

CellEditor* CardTableView::OpenCell() const {
    return isEditing() ? qobject_cast<CellEditor*>(indexWidget(currentIndex())) : nullptr;
}

bool CardTableView::isRefusing() const {
    const CellEditor* cell = OpenCell();
    return cell && cell->isRefusing();
}

QString CardTableView::OpenCellRefusal() const {
    const CellEditor* cell = OpenCell();
    return cell ? cell->Refusal() : QString();
}

void CardTableView::DropEdit() {
    CellEditor* cell = OpenCell();
    if (!cell) {
        return;
    }
    const bool hadFocus = cell->hasFocus();
    closeEditor(cell, QAbstractItemDelegate::RevertModelCache);
    if (hadFocus) {
        setFocus(Qt::OtherFocusReason);
    }
}

bool CardTableView::CommitEdit() {
    CellEditor* cell = OpenCell();
    if (!cell) {
        return true;
    }
    const QString refusal = cell->Refusal();
    if (!refusal.isEmpty()) {
        cell->Refuse(refusal);
        return false;
    }
    const bool hadFocus = cell->hasFocus();
    commitData(cell);
    closeEditor(cell, QAbstractItemDelegate::NoHint);
    if (hadFocus) {
        setFocus(Qt::OtherFocusReason);
    }
    return true;
}

bool CardTableView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    Delegate_->setReplaceOnOpen(trigger == AnyKeyPressed);
    return QTableView::edit(index, trigger, event);
}

void CardTableView::keyPressEvent(QKeyEvent* event) {
    const bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    if (tab && !isEditing()) {
        // Along the row, and at the table's last cell nowhere: the focus
        // stays in the table.
        const QModelIndex next = moveCursor(event->key() == Qt::Key_Tab ? MoveNext : MovePrevious, Qt::NoModifier);
        if (next.isValid()) {
            selectionModel()->setCurrentIndex(next, QItemSelectionModel::ClearAndSelect);
            scrollTo(next);
        }
        event->accept();
        return;
    }
    if (!isEditing() && event->modifiers() == Qt::NoModifier) {
        switch (event->key()) {
            case Qt::Key_Space:
                if (SpaceCommand_ && SpaceCommand_()) {
                    event->accept();
                    return;
                }
                break;
            case Qt::Key_Return:
            case Qt::Key_Enter:
                EditCurrent();
                event->accept();
                return;
            default: break;
        }
    }
    if (event->key() == Qt::Key_Enter && event->modifiers() == Qt::KeypadModifier && !isEditing()) {
        EditCurrent();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

// Tab walks the cells a user fills in, item 1 to the last mark, then on to
// the next row's item 1; the card number is passed over.
QModelIndex CardTableView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) {
    const QModelIndex current = currentIndex();
    if ((cursorAction != MoveNext && cursorAction != MovePrevious) || !current.isValid()) {
        return QTableView::moveCursor(cursorAction, modifiers);
    }
    constexpr int first = CardTableModel::ColumnItem1;
    constexpr int last = CardTableModel::ColumnCount - 1;
    int row = current.row();
    int column = current.column();
    if (cursorAction == MoveNext) {
        if (column < first) {
            column = first;
        } else if (column < last) {
            ++column;
        } else if (row + 1 < model()->rowCount()) {
            ++row;
            column = first;
        }
    } else if (column > first) {
        --column;
    } else if (row > 0) {
        --row;
        column = last;
    }
    return model()->index(row, column);
}

// Ctrl with a caret key only jumps further, and a Ctrl+click adds to the
// selection without taking the caret's cell out of it: what is highlighted
// always holds the caret, so Delete never removes a card out of sight.
QItemSelectionModel::SelectionFlags CardTableView::selectionCommand(const QModelIndex& index,
                                                                    const QEvent* event) const {
    if (event && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        if (key->modifiers() & Qt::ControlModifier) {
            const QKeyEvent plain(QEvent::KeyPress, key->key(), key->modifiers() & ~Qt::ControlModifier);
            return QTableView::selectionCommand(index, &plain);
        }
    }
    QItemSelectionModel::SelectionFlags flags = QTableView::selectionCommand(index, event);
    if (flags & QItemSelectionModel::Toggle) {
        flags &= ~QItemSelectionModel::SelectionFlags(QItemSelectionModel::Toggle);
        flags |= QItemSelectionModel::Select;
    }
    return flags;
}

}  // namespace korva
