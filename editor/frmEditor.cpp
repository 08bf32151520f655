#include "editor/frmEditor.h"

#include <algorithm>
#include <set>

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScrollBar>
#include <QVBoxLayout>

#include "deck/DeckErrorText.h"
#include "document/DeckEdits.h"
#include "document/DeckSession.h"
#include "editor/CardClipboard.h"
#include "editor/CardFilter.h"
#include "editor/CardTableModel.h"
#include "editor/CardTableView.h"
#include "editor/EditorHost.h"
#include "platform/Dialogs.h"
#include "platform/Fonts.h"

namespace korva {

frmEditor::frmEditor(platform::Dialogs& dialogs, std::shared_ptr<DeckSession> session, EditorHost& host, int16_t openOn,
                     QWidget* parent)
    : QWidget(parent), Dialogs_(dialogs), Session_(std::move(session)), Host_(host), Edits_(Session_->getHistory()) {
    setFont(platform::WindowFont());
    BuildControls();
    BuildMenus();
    ShowTitle();
    Edits_->setAvailabilityListener([this] { ShowHistory(); });
    ShowHistory();
    Session_->getDocument().AddListener(*this);
    GoToCards({openOn > 0 ? openOn : int16_t{1}}, CardTableModel::ColumnItem1);
}

frmEditor::~frmEditor() {
    Session_->getDocument().RemoveListener(*this);
    Edits_->setAvailabilityListener(nullptr);
}

void frmEditor::DeckChanged(const DeckChange& change) {
    if (change.kind == DeckChangeKind::File) {
        ShowTitle();
    }
}

void frmEditor::ShowHistory() {
    mnuEditUndo->setEnabled(Edits_->CanUndo());
    mnuEditRedo->setEnabled(Edits_->CanRedo());
}

void frmEditor::BuildControls() {
    auto* layout = new QVBoxLayout(this);
    auto* searchRow = new QHBoxLayout;
    // No access key of its own: Alt+F is the ファイル menu's; Ctrl+F comes here.
    auto* searchLabel = new QLabel(QStringLiteral("検索:"), this);
    txtSearch = new QLineEdit(this);
    txtSearch->setObjectName(QStringLiteral("txtSearch"));
    txtSearch->setClearButtonEnabled(true);
    txtSearch->setAccessibleName(QStringLiteral("検索"));
    searchLabel->setBuddy(txtSearch);
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(txtSearch);
    layout->addLayout(searchRow);

    Model_ = new CardTableModel(
        Edits_, [this](const QString& text) { Refuse(text); }, this);
    Filter_ = new CardFilter(this);
    Filter_->setSourceModel(Model_);
    grdCards = new CardTableView(Dialogs_, this);
    grdCards->setObjectName(QStringLiteral("grdCards"));
    grdCards->setAccessibleName(QStringLiteral("カード"));
    grdCards->setModel(Filter_);
    grdCards->setSpaceCommand([this] { return ToggleCurrent(); });
    SizeColumns();
    layout->addWidget(grdCards);
    setFocusProxy(grdCards);

    connect(txtSearch, &QLineEdit::textChanged, this, &frmEditor::SearchChanged);
    txtSearch->installEventFilter(this);
}

// The short columns as wide as their headings (a number as wide as the
// largest card number), the items as wide as some twenty characters, so the
// whole row shows without scrolling sideways in a window of sizeHint's width.
void frmEditor::SizeColumns() {
    QHeaderView* header = grdCards->horizontalHeader();
    const QFontMetrics heading = header->fontMetrics();
    const int digit = grdCards->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    const int padding = 2 * digit;
    for (int column = 0; column < Model_->columnCount(); ++column) {
        const QString title = Model_->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        header->resizeSection(column, heading.horizontalAdvance(title) + padding);
    }
    header->resizeSection(CardTableModel::ColumnNumber,
                          std::max(header->sectionSize(CardTableModel::ColumnNumber), digit * 5 + padding));
    header->resizeSection(CardTableModel::ColumnItem1, digit * 20);
    header->resizeSection(CardTableModel::ColumnItem2, digit * 20);
}

QSize frmEditor::sizeHint() const {
    const QSize base = QWidget::sizeHint();
    const QMargins margins = layout()->contentsMargins();
    const int table = grdCards->horizontalHeader()->length() + 2 * grdCards->frameWidth() +
                      grdCards->verticalScrollBar()->sizeHint().width();
    return {std::max(base.width(), table + margins.left() + margins.right()), base.height()};
}

void frmEditor::ShowTitle() { setWindowTitle(Session_->getDisplayName() + QStringLiteral(" - カードの編集")); }

void frmEditor::FocusTable() { grdCards->setFocus(Qt::OtherFocusReason); }

bool frmEditor::CommitOpenCell(bool mayAsk) {
    const QString refusal = grdCards->OpenCellRefusal();
    if (refusal.isEmpty()) {
        return grdCards->CommitEdit();
    }
    if (!mayAsk) {
        return true;
    }
    const platform::MessageResult answer = Dialogs_.Message(
        refusal + QStringLiteral("\r\n\r\n入力中の項目を破棄しますか。"), platform::MessageButtons::YesNo);
    if (answer != platform::MessageResult::Yes) {
        return false;
    }
    grdCards->DropEdit();
    return true;
}

void frmEditor::closeEvent(QCloseEvent* event) {
    if (grdCards->isRefusing() || !CommitOpenCell(true)) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void frmEditor::Refuse(const QString& text) { Dialogs_.Message(text, platform::MessageButtons::Ok); }

void frmEditor::ChangeDeck(const std::function<void()>& change) {
    if (!grdCards->CommitEdit()) {
        return;
    }
    try {
        change();
    } catch (const DeckError& error) {
        Refuse(DeckErrorText(error));
    }
}

int frmEditor::CurrentColumn() const {
    const QModelIndex current = grdCards->currentIndex();
    return current.isValid() ? current.column() : CardTableModel::ColumnItem1;
}

int16_t frmEditor::CurrentCard() const {
    const QModelIndex current = Filter_->mapToSource(grdCards->currentIndex());
    return current.isValid() ? CardTableModel::CardOfRow(current.row()) : int16_t{0};
}

std::vector<int16_t> frmEditor::SelectedCards() const {
    std::set<int16_t> cards;
    for (const QModelIndex& index : grdCards->selectionModel()->selectedIndexes()) {
        cards.insert(CardTableModel::CardOfRow(Filter_->mapToSource(index).row()));
    }
    if (cards.empty() && CurrentCard() > 0) {
        cards.insert(CurrentCard());
    }
    return {cards.begin(), cards.end()};
}

void frmEditor::GoToCards(const std::vector<int16_t>& cards, int column) {
    std::vector<int16_t> inOrder = cards;
    std::sort(inOrder.begin(), inOrder.end());
    // Neighbouring rows make one range: a selection of every card is one
    // range, not 32,767 that the view would have to merge into its region.
    QItemSelection selection;
    QModelIndex first;
    QModelIndex runStart;
    QModelIndex runEnd;
    for (const int16_t card : inOrder) {
        const QModelIndex index = Filter_->mapFromSource(Model_->index(CardTableModel::RowOfCard(card), column));
        if (!index.isValid()) {
            continue;
        }
        if (!first.isValid()) {
            first = index;
        }
        if (runEnd.isValid() && index.row() == runEnd.row() + 1) {
            runEnd = index;
            continue;
        }
        if (runStart.isValid()) {
            selection.select(runStart, runEnd);
        }
        runStart = index;
        runEnd = index;
    }
    if (runStart.isValid()) {
        selection.select(runStart, runEnd);
    }
    if (!first.isValid() && !inOrder.empty()) {
        first = RowAtOrAfter(inOrder.front(), column);
    }
    if (!first.isValid()) {
        return;
    }
    QItemSelectionModel* model = grdCards->selectionModel();
    model->setCurrentIndex(first, QItemSelectionModel::ClearAndSelect);
    if (!selection.isEmpty()) {
        model->select(selection, QItemSelectionModel::ClearAndSelect);
    }
    grdCards->scrollTo(first);
}

QModelIndex frmEditor::RowAtOrAfter(int16_t card, int column) const {
    const int rows = Filter_->rowCount();
    int low = 0;
    int high = rows;
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (CardTableModel::CardOfRow(Filter_->mapToSource(Filter_->index(middle, 0)).row()) < card) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return Filter_->index(std::min(low, rows - 1), column);
}

// A new deck opens in a card window of its own, as the card window's 新規作成 opens it.
void frmEditor::mnuFileNew_Click() { Host_.NewDeck(); }

void frmEditor::mnuFileSave_Click() {
    if (grdCards->CommitEdit()) {
        Host_.SaveDeck(*Session_);
    }
}

void frmEditor::mnuFileSaveAs_Click() {
    if (grdCards->CommitEdit()) {
        Host_.SaveDeckAs(*Session_);
    }
}

void frmEditor::mnuFileClose_Click() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        sub->close();
    } else {
        close();
    }
}

// The caret goes to the cards the step touched; a step that leaves none
// (cards removed again) leaves it where the table put it.
void frmEditor::mnuEditUndo_Click() {
    const int column = CurrentColumn();
    ChangeDeck([&] { GoToTouched(Edits_->Undo(), column); });
}

void frmEditor::mnuEditRedo_Click() {
    const int column = CurrentColumn();
    ChangeDeck([&] { GoToTouched(Edits_->Redo(), column); });
}

void frmEditor::GoToTouched(const std::vector<int16_t>& cards, int column) {
    if (!cards.empty()) {
        GoToCards(cards, column);
    }
}

void frmEditor::mnuEditCopy_Click() {
    if (grdCards->isEditing()) {
        return;
    }
    const std::vector<int16_t> cards = SelectedCards();
    if (!cards.empty()) {
        QGuiApplication::clipboard()->setText(CardsToTabText(Session_->getDocument().getCardData(), cards));
    }
}

void frmEditor::mnuEditPaste_Click() {
    ChangeDeck([&] {
        PastedCards pasted =
            TabTextToCards(QGuiApplication::clipboard()->text(), Session_->getDocument().getCardData().encoding);
        if (pasted.cards.empty()) {
            return;
        }
        // In int: after the last card of a full deck this is past int16_t,
        // and the deck's limit, not the number, refuses it.
        const int at = CurrentCard() > 0 ? CurrentCard() + 1 : Session_->getDocument().getCardData().Total() + 1;
        const auto count = static_cast<int>(pasted.cards.size());
        Edits_->Insert(at, std::move(pasted.cards));
        std::vector<int16_t> inserted;
        inserted.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            inserted.push_back(static_cast<int16_t>(at + i));
        }
        GoToCards(inserted, CardTableModel::ColumnItem1);
        if (pasted.replaced.count > 0) {
            QStringList listed;
            for (const ReplacedCharacter& one : pasted.replaced.first) {
                listed << QStringLiteral("「%1」").arg(QString::fromStdString(one.character));
            }
            Refuse(
                QStringLiteral("シフトJISにない %1 字を 〓 か、アクセントのない文字に置き換えて貼り付けました。\r\n%2")
                    .arg(pasted.replaced.count)
                    .arg(listed.join(QStringLiteral("、"))));
        }
    });
}

void frmEditor::mnuEditInsert_Click() {
    ChangeDeck([&] {
        if (!Filter_->getSearchText().isEmpty()) {
            txtSearch->clear();  // an empty card would not show
        }
        const int at = CurrentCard() + 1;
        Edits_->Insert(at, {CardSlot{}});
        GoToCards({static_cast<int16_t>(at)}, CardTableModel::ColumnItem1);
        FocusTable();
        grdCards->EditCurrent();
    });
}

void frmEditor::mnuEditDelete_Click() {
    const int column = CurrentColumn();
    ChangeDeck([&] {
        const std::vector<int16_t> cards = SelectedCards();
        if (cards.empty()) {
            return;
        }
        Edits_->Remove(cards);
        const int total = Session_->getDocument().getCardData().Total();
        if (total > 0) {
            GoToCards({static_cast<int16_t>(std::min<int>(cards.front(), total))}, column);
        }
    });
}

void frmEditor::mnuEditUp_Click() {
    const int column = CurrentColumn();
    ChangeDeck([&] { GoToCards(Edits_->MoveUp(SelectedCards()), column); });
}

void frmEditor::mnuEditDown_Click() {
    const int column = CurrentColumn();
    ChangeDeck([&] { GoToCards(Edits_->MoveDown(SelectedCards()), column); });
}

void frmEditor::mnuEditFind_Click() {
    txtSearch->setFocus(Qt::ShortcutFocusReason);
    txtSearch->selectAll();
}

bool frmEditor::ToggleCurrent() {
    const int16_t card = CurrentCard();
    const int column = CurrentColumn();
    if (card == 0 || (column != CardTableModel::ColumnQuestion && column != CardTableModel::ColumnCheck1 &&
                      column != CardTableModel::ColumnCheck2)) {
        return false;
    }
    ChangeDeck([&] {
        if (column == CardTableModel::ColumnQuestion) {
            Edits_->ToggleQuestionItem(card);
        } else {
            Edits_->ToggleCheck(card, column == CardTableModel::ColumnCheck1 ? 1 : 2);
        }
    });
    return true;
}

void frmEditor::SearchChanged(const QString& text) {
    const int16_t card = CurrentCard();
    const int column = CurrentColumn();
    Filter_->setSearchText(text);
    GoToCards({card}, column);
}

bool frmEditor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtSearch && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape) {
            txtSearch->clear();
            FocusTable();
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down) {
            FocusTable();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace korva
