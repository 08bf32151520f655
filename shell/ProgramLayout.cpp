#include "shell/ProgramLayout.h"

#include <unistd.h>

#include <cerrno>

#include <QFile>

#include "deck/UserFolders.h"
#include "shell/Environment.h"

namespace korva {

namespace {

QString Describe(const QByteArray& path) { return QFile::decodeName(path); }

[[noreturn]] void Fail(const QString& what, int error) { throw EnvironmentError(WithSystemReason(what, error)); }

}  // namespace

QByteArray FindProgramFolder() {
    QByteArray path(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), static_cast<size_t>(path.size()));
    if (length <= 0) {
        Fail(QStringLiteral("プログラムのフォルダーが分かりません"), errno);
    }
    if (length >= path.size()) {
        Fail(QStringLiteral("プログラムのフォルダーが分かりません"), ENAMETOOLONG);
    }
    path.truncate(length);
    // The folder may have been removed or renamed since the program started.
    if (!path.startsWith('/') || !IsFolder(ParentOf(path))) {
        Fail(QStringLiteral("プログラムのフォルダーが分かりません: %1").arg(Describe(path)), ENOENT);
    }
    return ParentOf(path);
}

ProgramLayout LayoutOf(const QByteArray& programFolder) {
    ProgramLayout layout{programFolder, false};
    if (programFolder.endsWith("/bin")) {
        layout.installed = IsFolder(JoinPath(ParentOf(programFolder), "share/korva"));
    }
    return layout;
}

const ProgramLayout& getProgramLayout() {
    static const ProgramLayout layout = LayoutOf(FindProgramFolder());
    return layout;
}

QByteArray EnvironmentFolder(const ProgramLayout& layout) {
    if (!layout.installed) {
        return layout.programFolder;
    }
    try {
        QByteArray folder = JoinPath(XdgFolder("XDG_CONFIG_HOME", ".config", QStringLiteral("設定")), "korva");
        MakeFolders(folder);
        return folder;
    } catch (const FolderError& error) {
        throw EnvironmentError(error.what());
    }
}

QString HelpAddress(const ProgramLayout& layout) {
    const QByteArray page = layout.installed ? JoinPath(ParentOf(layout.programFolder), "share/korva/help/index.html")
                                             : JoinPath(layout.programFolder, "help/index.html");
    QString text = QFile::decodeName(page);
    if (QFile::encodeName(text) == page) {
        return text;
    }
    return QStringLiteral("file://") + QString::fromLatin1(page.toPercentEncoding("/"));
}

}  // namespace korva
