#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include <QList>
#include <QWidget>

#include "document/DeckChange.h"

class QAction;
class QLineEdit;
class QMenu;

namespace korva {

class CardFilter;
class CardTableModel;
class CardTableView;
class DeckEdits;
class DeckSession;
class EditorHost;
namespace platform {
class Dialogs;
}  // namespace platform

// The card editor of one deck: its cards as a table, edited through the
// session's undoable edits, so that the history outlives the editor. The
// card window follows each change through the document at once; the file
// commands go to the host, so they ask and report exactly as there.
class frmEditor : public QWidget, private DeckListener {
    Q_OBJECT

public:
    // The title names the deck as the session does; the editor opens on
    // openOn (the card on show), or the first card.
    frmEditor(platform::Dialogs& dialogs, std::shared_ptr<DeckSession> session, EditorHost& host, int16_t openOn,
              QWidget* parent = nullptr);
    ~frmEditor() override;
    frmEditor(const frmEditor&) = delete;
    frmEditor& operator=(const frmEditor&) = delete;

    QList<QMenu*> MenuBarMenus() const;
    // Puts the focus on the table, on the current cell.
    void FocusTable();
    // Before anything asks about the deck or keeps its copy, the text typed
    // into an open cell goes into the deck. A text the deck cannot hold is
    // told and, with mayAsk, dropped only if the user says so; false keeps
    // the cell open and whatever was closing stays open too. Without mayAsk
    // (the program is ending) such a text stays where it is.
    bool CommitOpenCell(bool mayAsk);
    QSize sizeHint() const override;

    // The card of the current row, 0 when there is none.
    int16_t CurrentCard() const;
    // The cards of the selected rows (the current one when none is selected),
    // in deck order.
    std::vector<int16_t> SelectedCards() const;
    // Makes the cards current and selected, in the given column.
    void GoToCards(const std::vector<int16_t>& cards, int column);

    // Commands of the menus and their keys.
    void mnuFileNew_Click();
    void mnuFileSave_Click();
    void mnuFileSaveAs_Click();
    void mnuFileClose_Click();
    void mnuEditUndo_Click();
    void mnuEditRedo_Click();
    void mnuEditCopy_Click();
    void mnuEditPaste_Click();
    void mnuEditInsert_Click();
    void mnuEditDelete_Click();
    void mnuEditUp_Click();
    void mnuEditDown_Click();
    void mnuEditFind_Click();
    // Space: the mark or the asked item of the current cell turns; false on
    // any other cell.
    bool ToggleCurrent();

    // The controls; tests drive them.
    QLineEdit* txtSearch = nullptr;
    CardTableView* grdCards = nullptr;

    QMenu* mnuFile = nullptr;
    QAction* mnuFileNew = nullptr;
    QAction* mnuFileSave = nullptr;
    QAction* mnuFileSaveAs = nullptr;
    QAction* mnuFileClose = nullptr;
    QMenu* mnuEdit = nullptr;
    QAction* mnuEditUndo = nullptr;
    QAction* mnuEditRedo = nullptr;
    QAction* mnuEditCopy = nullptr;
    QAction* mnuEditPaste = nullptr;
    QAction* mnuEditInsert = nullptr;
    QAction* mnuEditDelete = nullptr;
    QAction* mnuEditUp = nullptr;
    QAction* mnuEditDown = nullptr;
    QAction* mnuEditFind = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void DeckChanged(const DeckChange& change) override;
    void BuildControls();
    void BuildMenus();
    void ShowTitle();
    // 元に戻す and やり直し only while there is something to take back or make again.
    void ShowHistory();
    void SizeColumns();
    void Refuse(const QString& text);
    // Runs a change of the deck; a refusal of the deck's limits is told and
    // changes nothing.
    void ChangeDeck(const std::function<void()>& change);
    void GoToTouched(const std::vector<int16_t>& cards, int column);
    // The row of card, or of the first card after it that the search shows,
    // or the last row shown.
    QModelIndex RowAtOrAfter(int16_t card, int column) const;
    int CurrentColumn() const;
    void SearchChanged(const QString& text);

    platform::Dialogs& Dialogs_;
    std::shared_ptr<DeckSession> Session_;
    EditorHost& Host_;
    std::shared_ptr<DeckEdits> Edits_;
    CardTableModel* Model_ = nullptr;
    CardFilter* Filter_ = nullptr;
};

}  // namespace korva
