#include "shell/ProgramLayout.h"

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>
#include <QFile>
#include <QUrl>

#include "shell/Environment.h"

namespace korva {

namespace {

bool IsFolder(const QByteArray& path) {
    struct stat info {};
    return ::stat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

QByteArray Join(const QByteArray& folder, const char* name) {
    return folder.endsWith('/') ? folder + name : folder + '/' + name;
}

QByteArray ParentOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
}

QString Describe(const QByteArray& path) { return QFile::decodeName(path); }

[[noreturn]] void Fail(const QString& what, int error) {
    throw EnvironmentError(
        QStringLiteral("%1 (%2)").arg(what, QString::fromLocal8Bit(std::strerror(error))).toStdString());
}

// mkdir -p on bytes; QDir would decode the name first.
void MakeFolders(const QByteArray& folder) {
    for (qsizetype slash = folder.indexOf('/', 1);; slash = folder.indexOf('/', slash + 1)) {
        const QByteArray step = slash < 0 ? folder : folder.left(slash);
        if (::mkdir(step.constData(), 0700) != 0 && errno != EEXIST) {
            Fail(QStringLiteral("%1 を作れません").arg(Describe(step)), errno);
        }
        if (slash < 0) {
            break;
        }
    }
    if (!IsFolder(folder)) {
        Fail(QStringLiteral("%1 はフォルダではありません").arg(Describe(folder)), ENOTDIR);
    }
}

QByteArray ConfigurationHome() {
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the XDG rules say.
    QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
    if (configHome.startsWith('/')) {
        return configHome;
    }
    const QByteArray home = qgetenv("HOME");
    if (!home.startsWith('/')) {
        throw EnvironmentError("HOME が設定されていないため、設定フォルダが分かりません");
    }
    return Join(home, ".config");
}

}  // namespace

QByteArray FindProgramFolder() {
    QByteArray path(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), static_cast<size_t>(path.size()));
    if (length <= 0) {
        Fail(QStringLiteral("プログラムのフォルダが分かりません"), errno);
    }
    if (length >= path.size()) {
        Fail(QStringLiteral("プログラムのフォルダが分かりません"), ENAMETOOLONG);
    }
    path.truncate(length);
    // The folder may have been removed or renamed since the program started.
    if (!path.startsWith('/') || !IsFolder(ParentOf(path))) {
        Fail(QStringLiteral("プログラムのフォルダが分かりません: %1").arg(Describe(path)), ENOENT);
    }
    return ParentOf(path);
}

ProgramLayout LayoutOf(const QByteArray& programFolder) {
    ProgramLayout layout{programFolder, false};
    if (programFolder.endsWith("/bin")) {
        layout.installed = IsFolder(Join(ParentOf(programFolder), "share/korva"));
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
    QByteArray folder = Join(ConfigurationHome(), "korva");
    MakeFolders(folder);
    return folder;
}

QString HelpAddress(const ProgramLayout& layout) {
    const QByteArray page = layout.installed ? Join(ParentOf(layout.programFolder), "share/korva/help/index.html")
                                             : Join(layout.programFolder, "help/index.html");
    QString text = QFile::decodeName(page);
    if (QFile::encodeName(text) == page) {
        return text;
    }
    return QStringLiteral("file://") + QString::fromLatin1(page.toPercentEncoding("/"));
}

}  // namespace korva
