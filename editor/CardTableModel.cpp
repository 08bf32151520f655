#include "editor/CardTableModel.h"

#include <algorithm>
#include <utility>

#include "deck/DeckErrorText.h"
#include "document/DeckEdits.h"
#include "editor/ItemText.h"

namespace korva {

CardTableModel::CardTableModel(std::shared_ptr<DeckEdits> edits, std::function<void(const QString&)> refuse,
                               QObject* parent)
    : QAbstractTableModel(parent), Edits_(std::move(edits)), Refuse_(std::move(refuse)) {
    Edits_->getDocument()->AddListener(*this);
}

CardTableModel::~CardTableModel() { Edits_->getDocument()->RemoveListener(*this); }

const DeckDocument& CardTableModel::Document() const { return *Edits_->getDocument(); }

int CardTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Document().getCardData().Total();
}

int CardTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant CardTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const CardData& deck = Document().getCardData();
    const auto card = static_cast<std::size_t>(CardOfRow(index.row()));
    if (card >= deck.Items.size()) {
        return {};
    }
    const int column = index.column();
    if (role == ItemEncodingRole) {
        return static_cast<int>(deck.encoding);
    }
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        switch (column) {
            case ColumnNumber: return static_cast<int>(card);
            case ColumnItem1:
            case ColumnItem2:
                return ItemToText(deck.encoding, deck.Items[card][static_cast<std::size_t>(ItemOfColumn(column))]);
            case ColumnQuestion:
                return card < deck.QuestionItems.size() ? QVariant(deck.QuestionItems[card]) : QVariant();
            default: return {};
        }
    }
    if (role == Qt::CheckStateRole && (column == ColumnCheck1 || column == ColumnCheck2) && card < deck.Checks.size()) {
        const std::size_t item = column == ColumnCheck1 ? 1 : 2;
        return deck.Checks[card][item] != 0 ? Qt::Checked : Qt::Unchecked;
    }
    if (role == Qt::TextAlignmentRole && (column == ColumnNumber || column == ColumnQuestion)) {
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
}

QVariant CardTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    switch (section) {
        case ColumnNumber: return QStringLiteral("番号");
        case ColumnItem1: return QStringLiteral("項目1");
        case ColumnItem2: return QStringLiteral("項目2");
        case ColumnQuestion: return QStringLiteral("出題");
        case ColumnCheck1: return QStringLiteral("チェック (項目1)");
        case ColumnCheck2: return QStringLiteral("チェック (項目2)");
        default: return {};
    }
}

Qt::ItemFlags CardTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    switch (index.column()) {
        case ColumnItem1:
        case ColumnItem2: return flags | Qt::ItemIsEditable;
        case ColumnCheck1:
        case ColumnCheck2: return flags | Qt::ItemIsUserCheckable;
        default: return flags;
    }
}

bool CardTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.row() >= rowCount()) {
        return false;
    }
    const int16_t card = CardOfRow(index.row());
    const int column = index.column();
    try {
        if (role == ItemBytesRole && (column == ColumnItem1 || column == ColumnItem2)) {
            Edits_->setText(card, static_cast<int16_t>(ItemOfColumn(column)), value.toByteArray().toStdString());
            return true;
        }
        if (role == Qt::EditRole && (column == ColumnItem1 || column == ColumnItem2)) {
            TypedItem item = CheckTypedItem(Document().getCardData().encoding, value.toString());
            if (!item.bytes) {
                Refuse_(item.refusal);
                return false;
            }
            Edits_->setText(card, static_cast<int16_t>(ItemOfColumn(column)), std::move(*item.bytes));
            return true;
        }
        if (role == Qt::CheckStateRole && (column == ColumnCheck1 || column == ColumnCheck2)) {
            const bool checked = value.toInt() == Qt::Checked;
            if (data(index, Qt::CheckStateRole).toInt() == Qt::Checked) {
                if (checked) {
                    return true;
                }
            } else if (!checked) {
                return true;
            }
            Edits_->ToggleCheck(card, column == ColumnCheck1 ? 1 : 2);
            return true;
        }
    } catch (const DeckError& error) {
        Refuse_(DeckErrorText(error));
    }
    return false;
}

void CardTableModel::RowsChanged(int first, int count) {
    const int top = std::max(first - 1, 0);
    const int bottom = std::min(first - 1 + count - 1, rowCount() - 1);
    if (top <= bottom) {
        emit dataChanged(index(top, 0), index(bottom, ColumnCount - 1));
    }
}

// Rows stand where the deck's cards stand: the document tells before it
// inserts, removes or moves cards and after, so the begin and end calls of
// the views frame each change and the count is always the deck's own.
//
// A proxy (the search) filters the whole table again at every move of rows:
// an action of many runs is taken in by one reset from its second run on.
void CardTableModel::DeckGroupBegun() {
    InGroup_ = true;
    RunsInGroup_ = 0;
}

void CardTableModel::DeckGroupEnded() {
    InGroup_ = false;
    if (Resetting_) {
        Resetting_ = false;
        endResetModel();
    }
}

void CardTableModel::DeckChanging(const DeckChange& change) {
    if (Resetting_) {
        return;
    }
    if (InGroup_ && ++RunsInGroup_ > 1) {
        Resetting_ = true;
        beginResetModel();
        return;
    }
    switch (change.kind) {
        case DeckChangeKind::CardsAdded:
            if (change.count > 0) {
                beginInsertRows({}, change.first - 1, change.first - 1 + change.count - 1);
            }
            return;
        case DeckChangeKind::CardsRemoved:
            if (change.count > 0) {
                beginRemoveRows({}, change.first - 1, change.first - 1 + change.count - 1);
            }
            return;
        case DeckChangeKind::CardsMoved: {
            // Qt names the row the moved ones go before, counted before the move.
            const int destination = change.to < change.first ? change.to - 1 : change.to - 1 + change.count;
            if (change.count > 0 && change.to != change.first &&
                !beginMoveRows({}, change.first - 1, change.first - 1 + change.count - 1, {}, destination)) {
                beginResetModel();
                MoveIsReset_ = true;
            }
            return;
        }
        default: beginResetModel(); return;
    }
}

void CardTableModel::DeckChanged(const DeckChange& change) {
    if (Resetting_) {
        return;
    }
    switch (change.kind) {
        case DeckChangeKind::Texts:
        case DeckChangeKind::Marks:
        case DeckChangeKind::QuestionItems: RowsChanged(change.first, change.count); return;
        case DeckChangeKind::CardsAdded:
            if (change.count > 0) {
                endInsertRows();
            }
            return;
        case DeckChangeKind::CardsRemoved:
            if (change.count > 0) {
                endRemoveRows();
            }
            return;
        case DeckChangeKind::CardsMoved:
            if (std::exchange(MoveIsReset_, false)) {
                endResetModel();
            } else if (change.count > 0 && change.to != change.first) {
                endMoveRows();
            }
            return;
        case DeckChangeKind::Replaced: endResetModel(); return;
        case DeckChangeKind::Modes:
        case DeckChangeKind::Schedule:
        case DeckChangeKind::File:
        case DeckChangeKind::EditedFlag: return;
    }
}

}  // namespace korva
