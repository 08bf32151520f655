// Main: the environment file first, then the main window, then the decks
// named on the command line. Qt is given the program name alone: every
// argument is a deck file, even one that looks like a Qt option.
//
// The program's recovery copies go with a regular end only. A signal that
// ends the program writes them and ends it at once; a lost display ends it
// inside Qt, past everything here.
#include <unistd.h>

#include <climits>
#include <exception>
#include <memory>
#include <string>

#include "deck/PathText.h"
#include "platform/Fonts.h"
#include "platform/QtDialogs.h"
#include "platform/QtTranslation.h"
#include "recovery/RecoveryErrorText.h"
#include "recovery/RecoveryStore.h"
#include "shell/EndSignals.h"
#include "shell/Environment.h"
#include "shell/EnvironmentErrorText.h"
#include "shell/GuardedApplication.h"
#include "shell/ProgramLayout.h"
#include "shell/RecoveryStart.h"
#include "shell/frmMain.h"

namespace {

// The arguments' bytes as they are, made absolute by the working folder's
// bytes: a name that is not UTF-8 still names its file.
QStringList DeckArguments(int argc, char** argv) {
    std::string folder(PATH_MAX, '\0');
    if (::getcwd(folder.data(), folder.size()) == nullptr) {
        folder.clear();  // the names stay relative
    } else {
        folder.resize(std::char_traits<char>::length(folder.data()));
        if (!folder.ends_with('/')) {
            folder += '/';
        }
    }
    QStringList paths;
    for (int i = 1; i < argc; ++i) {
        std::string path = argv[i];
        if (!path.starts_with('/')) {
            path.insert(0, folder);
        }
        paths << korva::PathToText(path);
    }
    return paths;
}

// Whatever becomes of the copies, the program ends by the signal.
[[noreturn]] void EndAfterCopies(korva::frmMain& window, korva::RecoveryStore* recovery, int signalNumber) {
    try {
        window.WriteEveryRecoveryCopy();
        if (recovery) {
            recovery->Release();
        }
    } catch (const korva::RecoveryError& error) {
        qWarning("KORVA: the recovery copies could not all be written: %s",
                 qUtf8Printable(korva::DescribeRecoveryError(error)));
    } catch (const std::exception& error) {
        qWarning("KORVA: the recovery copies could not all be written: %s", error.what());
    }
    korva::EndSignals::EndBy(signalNumber);
}

}  // namespace

int main(int argc, char** argv) {
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    korva::platform::QtDialogs dialogs;
    korva::GuardedApplication app(qtArgc, qtArgv, dialogs);
    korva::platform::LoadQtTranslation(app);
    korva::platform::InstallFontSubstitutions();

    try {
        korva::InitEnvironment(korva::EnvironmentFolder(korva::getProgramLayout()));
        korva::LoadEnvironment();
        korva::SaveEnvironment();
    } catch (const korva::EnvironmentError& error) {
        // Without its environment file the program does not start.
        dialogs.Message(QStringLiteral("環境ファイルを開けません。\r\n") + korva::DescribeEnvironmentError(error),
                        korva::platform::MessageButtons::Ok);
        return 1;
    }

    const std::unique_ptr<korva::RecoveryStore> recovery = korva::OpenRecoveryStore(dialogs);
    korva::frmMain window(dialogs, recovery.get());
    // Every box and file dialog stands over the main window, which holds the
    // card windows, even while another program has the keyboard.
    dialogs.setParentWidget(&window);
    const korva::EndSignals endSignals(
        [&window, &recovery](int signalNumber) { EndAfterCopies(window, recovery.get(), signalNumber); });
    window.show();
    // Once the main window is on screen, so that the card windows open in it
    // and any message stands over it.
    QMetaObject::invokeMethod(&window, "StartUp", Qt::QueuedConnection, Q_ARG(QStringList, DeckArguments(argc, argv)));
    const int status = app.exec();
    if (recovery) {
        recovery->RemoveFolder();
    }
    return status;
}
