#pragma once

#include <functional>
#include <memory>

#include <QAbstractTableModel>

#include "document/DeckChange.h"

namespace korva {

class DeckDocument;
class DeckEdits;

// The deck's cards as table rows, row r being card r + 1. It follows the
// document as one more listener, beginning a change of rows when the
// document is about to make it and ending it once made. Every change the user makes goes through the deck's
// edits, never the document's setters, so each is one undoable step.
class CardTableModel : public QAbstractTableModel, private DeckListener {
public:
    enum Column { ColumnNumber, ColumnItem1, ColumnItem2, ColumnQuestion, ColumnCheck1, ColumnCheck2, ColumnCount };
    // An item's bytes, already checked as the deck keeps them (the cell's).
    static constexpr int ItemBytesRole = Qt::UserRole;
    // How the deck holds its items (ItemEncoding), for a cell that checks
    // what is typed.
    static constexpr int ItemEncodingRole = Qt::UserRole + 1;

    // refuse shows why a change was not made (an item past the deck's limit).
    CardTableModel(std::shared_ptr<DeckEdits> edits, std::function<void(const QString&)> refuse,
                   QObject* parent = nullptr);
    ~CardTableModel() override;
    CardTableModel(const CardTableModel&) = delete;
    CardTableModel& operator=(const CardTableModel&) = delete;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Edit role on an item: the typed text; ItemBytesRole: its bytes; check
    // state on a mark.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    static int16_t CardOfRow(int row) { return static_cast<int16_t>(row + 1); }
    static int RowOfCard(int card) { return card - 1; }
    static int ItemOfColumn(int column) { return column == ColumnItem2 ? 2 : 1; }

private:
    void DeckChanging(const DeckChange& change) override;
    void DeckChanged(const DeckChange& change) override;
    void DeckGroupBegun() override;
    void DeckGroupEnded() override;
    const DeckDocument& Document() const;
    void RowsChanged(int first, int count);

    std::shared_ptr<DeckEdits> Edits_;
    std::function<void(const QString&)> Refuse_;
    bool InGroup_ = false;
    int RunsInGroup_ = 0;
    bool Resetting_ = false;    // an action of many runs, taken in at its end
    bool MoveIsReset_ = false;  // a move the views could not take as one
};

}  // namespace korva
