#include "shell/ProgramLayout.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <QFile>

#include "deck/UserFolders.h"
#include "shell/Environment.h"

namespace korva {

namespace {

[[noreturn]] void Fail(EnvironmentErrorKind kind, int error, const QByteArray& path = {}) {
    throw EnvironmentError(
        {.kind = kind, .path = QFile::decodeName(path), .reason = QString::fromLocal8Bit(std::strerror(error))});
}

}  // namespace

QByteArray FindProgramFolder() {
    QByteArray path(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), static_cast<size_t>(path.size()));
    if (length <= 0) {
        Fail(EnvironmentErrorKind::ProgramFolderUnknown, errno);
    }
    if (length >= path.size()) {
        Fail(EnvironmentErrorKind::ProgramFolderUnknown, ENAMETOOLONG);
    }
    path.truncate(length);
    // The folder may have been removed or renamed since the program started.
    if (!path.startsWith('/') || !IsFolder(ParentOf(path))) {
        Fail(EnvironmentErrorKind::ProgramFolderGone, ENOENT, path);
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
        QByteArray folder = JoinPath(XdgFolder("XDG_CONFIG_HOME", ".config", UserFolder::Configuration), "korva");
        MakeFolders(folder);
        return folder;
    } catch (const FolderError& error) {
        throw EnvironmentError({.kind = EnvironmentErrorKind::UserFolder, .folder = error.detail()});
    }
}

QString SampleDeckPath(const ProgramLayout& layout) {
    return QFile::decodeName(layout.installed ? JoinPath(ParentOf(layout.programFolder), "share/korva/sample.korva")
                                              : JoinPath(layout.programFolder, "sample.korva"));
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
