#include "platform/AddressLauncher.h"

#include <QFileInfo>
#include <QProcess>

#include "platform/FileFilter.h"

namespace korva::platform {

namespace {

QString LauncherArgument(const QString& address) {
    const QUrl url = AddressToUrl(address);
    if (!url.isLocalFile()) {
        return url.toString(QUrl::FullyEncoded);
    }
    // An absolute file URL can never be taken for one of the opener's options.
    return QUrl::fromLocalFile(QFileInfo(url.toLocalFile()).absoluteFilePath()).toString(QUrl::FullyEncoded);
}

}  // namespace

void LaunchAddress(const QString& program, const QString& address, const std::function<void(bool)>& done) {
    // No parent: the process object must not be destroyed with the program,
    // since destroying a running QProcess kills it, and an opener may become
    // the browser itself. It deletes itself once its outcome is known.
    auto* process = new QProcess;
    process->setProgram(program);
    process->setArguments({LauncherArgument(address)});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);

    // A process that failed to start never finishes; every other outcome,
    // a crash included, ends in finished.
    QObject::connect(process, &QProcess::errorOccurred, process, [process, done](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart) {
            return;
        }
        process->deleteLater();
        done(false);
    });
    QObject::connect(process, &QProcess::finished, process, [process, done](int exitCode, QProcess::ExitStatus status) {
        process->deleteLater();
        done(status == QProcess::NormalExit && exitCode == 0);
    });
    process->start();
}

}  // namespace korva::platform
