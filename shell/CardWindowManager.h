#pragma once

#include <memory>
#include <optional>
#include <vector>

#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>

class QMdiArea;
class QMdiSubWindow;

namespace korva {

class CardWindowHost;
class DeckDocument;
class frmCard;
class RecoveryStore;
struct RecoveryCopy;
namespace platform {
class Dialogs;
}  // namespace platform

// The card windows of one MDI area, as a frame keeps its children: it makes
// each deck document, has a new window read the file into it, and only a
// window whose deck was read is added to the area, sized and cascaded after
// the newest one. It holds the documents and its own list of the windows for
// as long as each window lives, so nobody looks for card windows among the
// area's children.
class CardWindowManager : public QObject {
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
    // A window restored from a recovery copy: the deck as it was, still
    // edited, under its original file; its own copy is written at once.
    frmCard* Restore(RecoveryCopy copy);

    // The open windows, in the order they were opened. A closed one lingers
    // until its deferred deletion; it counts no more.
    QList<frmCard*> Windows() const;
    // The open card window that sub holds; null for any other.
    frmCard* WindowIn(const QMdiSubWindow* sub) const;

private:
    struct Entry {
        std::shared_ptr<DeckDocument> document;
        frmCard* window;  // dropped from the list as it is destroyed
        QMdiSubWindow* sub;
    };

    std::unique_ptr<frmCard> NewWindow(const std::shared_ptr<DeckDocument>& document) const;
    frmCard* Show(std::unique_ptr<frmCard> card, std::shared_ptr<DeckDocument> document);
    std::optional<QPoint> NewestPosition() const;
    void Forget(const frmCard* window);

    QMdiArea& Area_;
    platform::Dialogs& Dialogs_;
    CardWindowHost& Host_;
    RecoveryStore* Recovery_;
    std::vector<Entry> Entries_;
};

}  // namespace korva
