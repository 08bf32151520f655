// Main: the environment file first, then the main window. The program reads
// no command line, so Qt is given the program name alone.
#include <QApplication>

#include "platform/Fonts.h"
#include "platform/QtDialogs.h"
#include "shell/Environment.h"
#include "shell/frmMain.h"

int main(int /*argc*/, char** argv) {
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);
    korva::platform::InstallFontSubstitutions();
    korva::platform::QtDialogs dialogs;

    try {
        korva::InitEnvironment();
        korva::LoadEnvironment();
        korva::SaveEnvironment();
    } catch (const korva::EnvironmentError& error) {
        // Without its environment file the program does not start.
        dialogs.Message(QStringLiteral("環境ファイルを開けません。\r\n") + QString::fromStdString(error.what()),
                        korva::platform::MessageButtons::Ok);
        return 1;
    }

    korva::frmMain window(dialogs);
    window.show();
    return app.exec();
}
