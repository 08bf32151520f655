#include "cardwindow/frmCard.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>

#include "cardwindow/RecoveryKeeper.h"
#include "platform/AppIcon.h"
#include "platform/Dialogs.h"
#include "platform/Fonts.h"

namespace korva {

const QString frmCard::CancelMarker = QStringLiteral("False");

frmCard::frmCard(platform::Dialogs& dialogs, CardWindowHost& host, std::shared_ptr<DeckDocument> document,
                 RecoveryStore* recovery, QWidget* parent)
    : QWidget(parent),
      StudyEngine(document ? std::move(document) : std::make_shared<DeckDocument>()),
      Dialogs_(dialogs),
      Host_(host),
      Recovery_(std::make_unique<RecoveryKeeper>(recovery, getDocument())) {
    setWindowIcon(platform::AppIcon());
    // Laid out for its own font, not the desktop's: set before the controls
    // measure their texts.
    setFont(platform::WindowFont());
    BuildControls();
    BuildMenus();
    platform::ShareFontWithMenus(*this);
    ConnectControls();
    ConnectMenus();
    getDocument().AddListener(*this);
}

frmCard::~frmCard() { getDocument().RemoveListener(*this); }

void frmCard::ShowMessage(const QString& text) { Dialogs_.Message(text, platform::MessageButtons::Ok); }

void frmCard::ShowNoCardMessage(const std::string& text) { ShowMessage(QString::fromStdString(text)); }

QMdiSubWindow* frmCard::SubWindow() const { return qobject_cast<QMdiSubWindow*>(parentWidget()); }

// Every close request that does not come from the frame window, which has
// asked already, passes the save question first.
void frmCard::closeEvent(QCloseEvent* event) {
    if (ClosingWithoutAsking_ || Form_QueryUnload()) {
        RemoveRecoveryCopy();
        event->accept();
    } else {
        event->ignore();
    }
}

}  // namespace korva
