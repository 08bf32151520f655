#pragma once

#include <QApplication>

#include "platform/Dialogs.h"

namespace korva {

// The application object of the running program. An exception that no
// command handled and that reaches the event loop is shown as a message
// instead of ending the program: every window keeps its deck and its edited
// flag, and the user can still save.
class GuardedApplication : public QApplication {
public:
    // dialogs must outlive the application object.
    GuardedApplication(int& argc, char** argv, platform::Dialogs& dialogs);

    bool notify(QObject* receiver, QEvent* event) override;

private:
    void ShowUnexpectedError(const QString& reason);

    platform::Dialogs& Dialogs_;
};

}  // namespace korva
