#include "shell/CardWindowManager.h"

#include <algorithm>
#include <optional>

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QString>
#include <QStyle>

#include "cardwindow/frmCard.h"
#include "deck/CardData.h"
#include "deck/CsvRows.h"
#include "document/DeckDocument.h"
#include "platform/AppIcon.h"
#include "platform/Fonts.h"
#include "platform/Twips.h"
#include "recovery/EndedCopies.h"
#include "shell/Cascade.h"

namespace korva {

namespace {

const QString UntitledName = QStringLiteral("無題");

}  // namespace

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
    auto document = std::make_shared<DeckDocument>(std::move(deck));
    document->setFileName(UntitledName);
    return Show(NewWindow(document), document);
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

frmCard* CardWindowManager::Restore(RecoveryCopy copy) {
    auto document = std::make_shared<DeckDocument>();
    // Written since, gone, or never known: not overwritten without asking.
    document->Restore(std::move(copy.deck), copy.filePath, copy.fileName, copy.original);
    frmCard* window = Show(NewWindow(document), document);
    // Its changes are still unsaved, so closing it asks; its own copy takes
    // over from the old one at once.
    window->setEditedFlag(true);
    window->WriteRecoveryCopyNow();
    return window;
}

frmCard* CardWindowManager::Show(std::unique_ptr<frmCard> card, std::shared_ptr<DeckDocument> document) {
    card->setWindowTitle(card->getFileName());
    card->Start();
    card->setEditedFlag(false);

    const std::optional<QPoint> previous = NewestPosition();
    frmCard* window = card.release();
    QMdiSubWindow* sub = Area_.addSubWindow(window);
    Entries_.push_back({std::move(document), window, sub});
    connect(window, &QObject::destroyed, this, [this, window] { Forget(window); });

    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(platform::AppIcon());
    // Its title bar and window menu in the window's font as well.
    sub->setFont(platform::WindowFont());
    platform::ShareFontWithMenus(*sub);
    sub->resize(platform::TwipsToPixels(8000), platform::TwipsToPixels(6000));
    sub->move(CascadePosition(previous, sub->size(), Area_.viewport()->size(),
                              sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, sub)));
    sub->show();
    window->FocusFirstControl();
    return window;
}

// Where the window opened last of those still open stands.
std::optional<QPoint> CardWindowManager::NewestPosition() const {
    std::optional<QPoint> newest;
    for (const Entry& entry : Entries_) {
        if (!entry.sub->isHidden()) {
            newest = entry.sub->pos();
        }
    }
    return newest;
}

// The window is being destroyed: only its address is compared.
void CardWindowManager::Forget(const frmCard* window) {
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
