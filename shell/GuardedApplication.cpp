#include "shell/GuardedApplication.h"

#include <exception>

#include "deck/DeckErrorText.h"
#include "recovery/RecoveryErrorText.h"

namespace korva {

GuardedApplication::GuardedApplication(int& argc, char** argv, platform::Dialogs& dialogs)
    : QApplication(argc, argv), Dialogs_(dialogs) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const DeckError& error) {
        ShowUnexpectedError(DeckErrorText(error));
    } catch (const RecoveryError& error) {
        ShowUnexpectedError(DescribeRecoveryError(error));
    } catch (const std::exception& error) {
        ShowUnexpectedError(QString::fromUtf8(error.what()));
    } catch (...) {
        ShowUnexpectedError(QStringLiteral("原因は分かりません。"));
    }
    return false;
}

void GuardedApplication::ShowUnexpectedError(const QString& reason) {
    // The message box runs an event loop of its own, whose events come back
    // through notify; a failure of the box itself must not escape from here.
    try {
        Dialogs_.Message(QStringLiteral("予期しないエラーのため、操作を中止しました。\r\n") + reason +
                             QStringLiteral("\r\n編集中のデッキはそのまま残っています。"),
                         platform::MessageButtons::Ok, platform::AppTitle);
    } catch (...) {
        qWarning("KORVA: %s", qUtf8Printable(reason));
    }
}

}  // namespace korva
