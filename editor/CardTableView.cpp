#include "editor/CardTableView.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QTextBlock>

#include "deck/CardData.h"
#include "deck/DeckErrorText.h"
#include "editor/ItemText.h"
#include "platform/Dialogs.h"

namespace korva {

CellEditor::CellEditor(platform::Dialogs& dialogs, QWidget* parent) : QPlainTextEdit(parent), Dialogs_(dialogs) {
    setFrameShape(QFrame::NoFrame);
    setTabChangesFocus(true);
    connect(document(), &QTextDocument::contentsChange, this, &CellEditor::ContentsChanged);
}

void CellEditor::setCellText(const QString& text, bool selectAll) {
    Opening_ = text;
    Accepted_ = text;
    Opened_ = true;
    Reverting_ = true;
    setPlainText(text);
    Reverting_ = false;
    QTextCursor cursor = textCursor();
    cursor.movePosition(QTextCursor::End);
    if (selectAll) {
        cursor.movePosition(QTextCursor::Start, QTextCursor::KeepAnchor);
    }
    setTextCursor(cursor);
}

// Only what came in is looked at: an item read from a file may hold bytes
// that do not decode, and it keeps them until the user changes the item.
void CellEditor::ContentsChanged(int position, int /*removed*/, int added) {
    if (Reverting_) {
        return;
    }
    const QString text = toPlainText();
    const QString character = FirstCharacterNotInCp932(text.mid(position, added));
    if (character.isEmpty()) {
        Accepted_ = text;
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
    const QString text = toPlainText();
    if (text == Opening_) {
        return {};
    }
    const std::optional<std::string> bytes = TextToItem(text);
    if (!bytes) {
        return CharacterRefusal(FirstCharacterNotInCp932(text));
    }
    if (bytes->size() > MaxItemBytes) {
        return DeckErrorText(DeckErrorDetail{.kind = DeckErrorKind::ItemTooLongToKeep});
    }
    return {};
}

void CellEditor::Refuse(const QString& text) {
    ++Refusing_;
    Dialogs_.Message(text, platform::MessageButtons::Ok);
    --Refusing_;
    setFocus(Qt::OtherFocusReason);
}

CardDelegate::CardDelegate(platform::Dialogs& dialogs, QObject* parent)
    : QStyledItemDelegate(parent), Dialogs_(dialogs) {}

QWidget* CardDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& /*option*/,
                                    const QModelIndex& /*index*/) const {
    return new CellEditor(Dialogs_, parent);
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
    if (cell && cell->toPlainText() != cell->getOpeningText()) {
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
    if (enter) {
        const QString refusal = cell->Refusal();
        if (!refusal.isEmpty()) {
            cell->Refuse(refusal);
            return true;
        }
        emit commitData(cell);
        emit closeEditor(cell, NoHint);
        FocusView();
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
    setTabKeyNavigation(false);
    // One height for every row: a deck of 32,767 cards opens without
    // measuring one of them.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().lineSpacing() + 6);
    verticalHeader()->hide();
    horizontalHeader()->setHighlightSections(false);
}

void CardTableView::EditCurrent() { edit(currentIndex(), EditKeyPressed, nullptr); }

bool CardTableView::CommitEdit() {
    if (!isEditing()) {
        return true;
    }
    auto* cell = qobject_cast<CellEditor*>(indexWidget(currentIndex()));
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

}  // namespace korva
