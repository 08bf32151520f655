#pragma once

#include <memory>
#include <optional>
#include <vector>

#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>

#include "editor/EditorHost.h"

class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace korva {

class CardWindowHost;
class DeckDocument;
class DeckSession;
class frmCard;
class frmEditor;
class frmRecord;
class RecoveryStore;
struct RecoveryCopy;
namespace platform {
class Dialogs;
}  // namespace platform

// The card windows of one MDI area and their card editors, as a frame keeps its children: it makes
// each deck document, has a new window read the file into it, and only a
// window whose deck was read is added to the area, sized and cascaded after
// the newest one. It holds the documents and its own list of the windows for
// as long as each window lives, so nobody looks for card windows among the
// area's children.
class CardWindowManager : public QObject, private EditorHost {
public:
    // Every window gets the same dialogs, frame and recovery store (none
    // when no copies can be kept).
    CardWindowManager(QMdiArea& area, platform::Dialogs& dialogs, CardWindowHost& host, RecoveryStore* recovery);
    ~CardWindowManager() override;

    CardWindowManager(const CardWindowManager&) = delete;
    CardWindowManager& operator=(const CardWindowManager&) = delete;

    // File > New: a window on an empty deck of no file, titled 無題, in the
    // modes a word list's deck starts with. Its first save asks for a name.
    frmCard* New();
    // File > Open: a window on the file the user picks. Null, with nothing
    // added, when the user cancels or the file cannot be read.
    frmCard* Open();
    // The same for a file named from outside (the command line, a drop), as
    // if the open dialog had chosen it.
    frmCard* OpenFile(const QString& Path);
    // The deck at Path as a new untitled deck of the user's: a save asks for
    // a name, and the file stays as it was.
    frmCard* OpenSample(const QString& Path);
    // A window restored from a recovery copy: the deck as it was, still
    // edited, under its original file; its own copy is written at once.
    frmCard* Restore(RecoveryCopy copy);

    // The open windows, in the order they were opened. A closed one lingers
    // until its deferred deletion; it counts no more.
    QList<frmCard*> Windows() const;
    // The open card window that sub holds; null for any other.
    frmCard* WindowIn(const QMdiSubWindow* sub) const;

    // The card editor of card's deck, placed as a card window is; one per
    // deck, so an open one only comes to the front. Its edit history is the
    // deck session's, for as long as the card window lives; closing the card
    // window closes its editor.
    frmEditor* OpenEditor(frmCard& card);
    // The open editor of card's deck; null when none is open.
    frmEditor* EditorOf(const frmCard& card) const;
    // The open editor that sub holds; null for any other.
    frmEditor* EditorIn(const QMdiSubWindow* sub) const;
    // The menus of the window that sub holds, card window or editor; none
    // for any other.
    QList<QMenu*> MenusIn(const QMdiSubWindow* sub) const;
    // The window of the card window's study record, opened or brought to the front.
    frmRecord* OpenRecord(frmCard& card);
    // The deck shown in sub, a card window, its editor or its record; null
    // for none.
    std::shared_ptr<DeckSession> SessionIn(const QMdiSubWindow* sub) const;
    // Every editor's open cell committed, as before a card window closes
    // (frmEditor::CommitOpenCell); false when the user kept one open.
    bool CommitOpenCells(bool mayAsk) const;

protected:
    // A card window about to close has its editor's open cell committed
    // first, so its question counts that text as an edit.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry {
        std::shared_ptr<DeckSession> session;
        frmCard* window;  // dropped from the list as it is destroyed
        QMdiSubWindow* sub;
        QPointer<frmEditor> editor;
        QPointer<QMdiSubWindow> editorSub;
        QPointer<QMdiSubWindow> recordSub;
    };

    // The editors' file commands are their card window's.
    void NewDeck() override;
    void SaveDeck(const DeckSession& session) override;
    void SaveDeckAs(const DeckSession& session) override;
    frmCard* WindowOf(const DeckSession& session) const;

    std::unique_ptr<frmCard> NewWindow(const std::shared_ptr<DeckDocument>& document) const;
    static std::unique_ptr<frmCard> Started(std::unique_ptr<frmCard> card);
    frmCard* Show(std::unique_ptr<frmCard> card, std::shared_ptr<DeckDocument> document);
    std::optional<QPoint> NewestPosition() const;
    void Place(QMdiSubWindow& sub) const;
    void Forget(const frmCard* window);

    QMdiArea& Area_;
    platform::Dialogs& Dialogs_;
    CardWindowHost& Host_;
    RecoveryStore* Recovery_;
    std::vector<Entry> Entries_;
};

}  // namespace korva
