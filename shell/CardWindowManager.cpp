#include "shell/CardWindowManager.h"

#include <algorithm>
#include <optional>

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QString>
#include <QStyle>

#include "cardwindow/CardWindowHost.h"
#include "cardwindow/frmCard.h"
#include "deck/CardData.h"
#include "deck/CsvRows.h"
#include "document/DeckDocument.h"
#include "document/DeckSession.h"
#include "editor/frmEditor.h"
#include "platform/AppIcon.h"
#include "platform/Fonts.h"
#include "platform/Twips.h"
#include "record/frmRecord.h"
#include "recovery/EndedCopies.h"
#include "shell/Cascade.h"

namespace korva {

CardWindowManager::CardWindowManager(QMdiArea& area, platform::Dialogs& dialogs, CardWindowHost& host,
                                     RecoveryStore* recovery)
    : Area_(area), Dialogs_(dialogs), Host_(host), Recovery_(recovery) {}

CardWindowManager::~CardWindowManager() = default;

std::unique_ptr<frmCard> CardWindowManager::NewWindow(const std::shared_ptr<DeckDocument>& document) const {
    return std::make_unique<frmCard>(Dialogs_, Host_, document, Recovery_);
}

frmCard* CardWindowManager::New() {
    // Card slot 0 and the modes exactly as an empty word list leaves them, so
    // a new deck's file is the one that list would have saved.
    CardData deck;
    ResetCardState(deck);
    deck.Modes = ImportedModes;
    // Typed in the editor in any language, saved as a .korva deck.
    deck.encoding = ItemEncoding::Utf8;
    auto document = std::make_shared<DeckDocument>(std::move(deck));
    document->setFileName(DeckSession::UntitledName());
    return Show(Started(NewWindow(document)), document);
}

frmCard* CardWindowManager::Open() {
    auto document = std::make_shared<DeckDocument>();
    auto card = NewWindow(document);
    // Without a deck there is no window: nothing is added to the area before
    // the file has been read.
    return card->FileOpen(false) ? Show(std::move(card), std::move(document)) : nullptr;
}

frmCard* CardWindowManager::OpenFile(const QString& Path) {
    auto document = std::make_shared<DeckDocument>();
    auto card = NewWindow(document);
    return card->FileOpenFrom(Path) ? Show(std::move(card), std::move(document)) : nullptr;
}

frmCard* CardWindowManager::OpenSample(const QString& Path) {
    auto document = std::make_shared<DeckDocument>();
    auto card = NewWindow(document);
    if (!card->FileOpenFrom(Path)) {
        return nullptr;
    }
    document->setFilePath(QString());
    document->setFileName(DeckSession::UntitledName());
    return Show(std::move(card), std::move(document));
}

frmCard* CardWindowManager::Restore(RecoveryCopy copy) {
    auto document = std::make_shared<DeckDocument>();
    // Written since, gone, or never known: not overwritten without asking.
    document->Restore(std::move(copy.deck), copy.filePath, copy.fileName, copy.original, copy.answers);
    // Its changes are still unsaved, so closing it asks; its own copy takes
    // over from the old one at once.
    frmCard* window = Show(Started(NewWindow(document)), document);
    window->WriteRecoveryCopyNow();
    return window;
}

// A window made on a deck already there deals it now; one that read its deck
// dealt as the deck was read.
std::unique_ptr<frmCard> CardWindowManager::Started(std::unique_ptr<frmCard> card) {
    card->Start();
    return card;
}

frmCard* CardWindowManager::Show(std::unique_ptr<frmCard> card, std::shared_ptr<DeckDocument> document) {
    card->setWindowTitle(card->getFileName());

    frmCard* window = card.release();
    QMdiSubWindow* sub = Area_.addSubWindow(window);
    Place(*sub);
    Entries_.push_back({std::make_shared<DeckSession>(std::move(document)), window, sub, nullptr, nullptr, nullptr});
    sub->installEventFilter(this);
    connect(window, &QObject::destroyed, this, [this, window] { Forget(window); });
    sub->show();
    window->FocusFirstControl();
    return window;
}

// Sized and cascaded after the newest window still open, before it joins the list.
void CardWindowManager::Place(QMdiSubWindow& sub) const {
    const std::optional<QPoint> previous = NewestPosition();
    sub.setAttribute(Qt::WA_DeleteOnClose);
    sub.setWindowIcon(platform::AppIcon());
    // Its title bar and window menu in the window's font as well.
    sub.setFont(platform::WindowFont());
    platform::ShareFontWithMenus(sub);
    sub.resize(platform::TwipsToPixels(8000), platform::TwipsToPixels(6000));
    sub.move(CascadePosition(previous, sub.size(), Area_.viewport()->size(),
                             sub.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &sub)));
}

frmEditor* CardWindowManager::OpenEditor(frmCard& card) {
    const auto entry =
        std::find_if(Entries_.begin(), Entries_.end(), [&card](const Entry& e) { return e.window == &card; });
    if (entry == Entries_.end()) {
        return nullptr;
    }
    if (frmEditor* open = EditorOf(card)) {
        Area_.setActiveSubWindow(entry->editorSub);
        open->FocusTable();
        return open;
    }
    auto* editor = new frmEditor(Dialogs_, entry->session, *this, card.getShowCardIndex());
    QMdiSubWindow* sub = Area_.addSubWindow(editor);
    Place(*sub);
    // Wide enough for a whole row where the area allows, never narrower than a card window.
    const int wanted = sub->sizeHint().width();
    sub->resize(std::max(sub->width(), std::min(wanted, Area_.viewport()->width() - sub->x())), sub->height());
    entry->editor = editor;
    entry->editorSub = sub;
    sub->show();
    Area_.setActiveSubWindow(sub);
    editor->FocusTable();
    return editor;
}

frmEditor* CardWindowManager::EditorOf(const frmCard& card) const {
    for (const Entry& entry : Entries_) {
        if (entry.window == &card && entry.editor && entry.editorSub && !entry.editorSub->isHidden()) {
            return entry.editor;
        }
    }
    return nullptr;
}

frmEditor* CardWindowManager::EditorIn(const QMdiSubWindow* sub) const {
    for (const Entry& entry : Entries_) {
        if (sub && entry.editorSub == sub && entry.editor && !sub->isHidden()) {
            return entry.editor;
        }
    }
    return nullptr;
}

frmRecord* CardWindowManager::OpenRecord(frmCard& card) {
    const auto entry =
        std::find_if(Entries_.begin(), Entries_.end(), [&card](const Entry& e) { return e.window == &card; });
    if (entry == Entries_.end()) {
        return nullptr;
    }
    if (!entry->recordSub) {
        entry->recordSub = Area_.addSubWindow(new frmRecord(entry->session));
        entry->recordSub->setAttribute(Qt::WA_DeleteOnClose);
        Place(*entry->recordSub);
        entry->recordSub->show();
    }
    Area_.setActiveSubWindow(entry->recordSub);
    return qobject_cast<frmRecord*>(entry->recordSub->widget());
}

std::shared_ptr<DeckSession> CardWindowManager::SessionIn(const QMdiSubWindow* sub) const {
    for (const Entry& entry : Entries_) {
        if (sub && (entry.sub == sub || entry.editorSub == sub || entry.recordSub == sub)) {
            return entry.session;
        }
    }
    return nullptr;
}

QList<QMenu*> CardWindowManager::MenusIn(const QMdiSubWindow* sub) const {
    if (const frmCard* card = WindowIn(sub)) {
        return card->MenuBarMenus();
    }
    if (const frmEditor* editor = EditorIn(sub)) {
        return editor->MenuBarMenus();
    }
    return {};
}

bool CardWindowManager::CommitOpenCells(bool mayAsk) const {
    for (const Entry& entry : Entries_) {
        if (entry.editor && !entry.editor->CommitOpenCell(mayAsk)) {
            return false;
        }
    }
    return true;
}

bool CardWindowManager::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Close) {
        return QObject::eventFilter(watched, event);
    }
    for (const Entry& entry : Entries_) {
        if (entry.sub == watched && entry.editor && !entry.editor->CommitOpenCell(true)) {
            event->ignore();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void CardWindowManager::NewDeck() { Host_.NewCardWindow(); }

frmCard* CardWindowManager::WindowOf(const DeckSession& session) const {
    const auto found = std::find_if(Entries_.begin(), Entries_.end(),
                                    [&session](const Entry& entry) { return entry.session.get() == &session; });
    return found != Entries_.end() ? found->window : nullptr;
}

void CardWindowManager::SaveDeck(const DeckSession& session) {
    if (frmCard* window = WindowOf(session)) {
        window->mnuFileSave_Click();
    }
}

void CardWindowManager::SaveDeckAs(const DeckSession& session) {
    if (frmCard* window = WindowOf(session)) {
        window->mnuFileSaveAs_Click();
    }
}

// Where the window opened last of those still open stands.
std::optional<QPoint> CardWindowManager::NewestPosition() const {
    std::optional<QPoint> newest;
    const QList<QMdiSubWindow*> subs = Area_.subWindowList(QMdiArea::CreationOrder);
    for (const QMdiSubWindow* sub : subs) {
        if (!sub->isHidden()) {
            newest = sub->pos();
        }
    }
    return newest;
}

// The window is being destroyed: only its address is compared. Its editor
// goes with it; the deck's history ends with the entry.
void CardWindowManager::Forget(const frmCard* window) {
    for (const Entry& entry : Entries_) {
        if (entry.window == window && entry.editorSub) {
            entry.editorSub->close();
        }
        if (entry.window == window && entry.recordSub) {
            entry.recordSub->close();
        }
    }
    std::erase_if(Entries_, [window](const Entry& entry) { return entry.window == window; });
}

QList<frmCard*> CardWindowManager::Windows() const {
    QList<frmCard*> windows;
    for (const Entry& entry : Entries_) {
        if (!entry.sub->isHidden()) {
            windows.append(entry.window);
        }
    }
    return windows;
}

frmCard* CardWindowManager::WindowIn(const QMdiSubWindow* sub) const {
    const auto found =
        std::find_if(Entries_.begin(), Entries_.end(), [sub](const Entry& entry) { return entry.sub == sub; });
    return found != Entries_.end() && !sub->isHidden() ? found->window : nullptr;
}

}  // namespace korva
