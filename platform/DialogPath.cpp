#include "platform/DialogPath.h"

#include <dirent.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include <QFile>
#include <QStringList>

#include "deck/PathText.h"

namespace korva::platform {

namespace {

// The entries of folder whose names the dialog shows as shown.
std::vector<std::string> EntriesShownAs(const std::string& folder, const QString& shown) {
    std::vector<std::string> found;
    DIR* dir = ::opendir(folder.empty() ? "/" : folder.c_str());
    if (dir == nullptr) {
        return found;
    }
    while (const dirent* entry = ::readdir(dir)) {
        if (QFile::decodeName(entry->d_name) == shown) {
            found.emplace_back(entry->d_name);
        }
    }
    ::closedir(dir);
    return found;
}

}  // namespace

std::optional<QString> ResolveDialogPath(const QString& shown, bool newFile) {
    const QStringList parts = shown.split(u'/');
    std::string path;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const std::string folder = path;
        if (i > 0) {
            path += '/';
        }
        if (!parts[i].contains(QChar::ReplacementCharacter)) {
            path += QFile::encodeName(parts[i]).toStdString();
            continue;
        }
        const std::vector<std::string> found = EntriesShownAs(folder, parts[i]);
        const bool typedNewFile = found.empty() && newFile && i == parts.size() - 1;
        if (found.size() != 1 && !typedNewFile) {
            return std::nullopt;
        }
        path += typedNewFile ? QFile::encodeName(parts[i]).toStdString() : found.front();
    }
    return PathToText(path);
}

namespace {

mode_t KindOfShown(const QString& shown) {
    const std::optional<QString> path = ResolveDialogPath(shown, false);
    struct stat info {};
    return path && ::stat(TextToPath(*path).c_str(), &info) == 0 ? info.st_mode & S_IFMT : 0;
}

}  // namespace

bool IsShownFile(const QString& shown) { return KindOfShown(shown) == S_IFREG; }

bool IsShownFolder(const QString& shown) { return KindOfShown(shown) == S_IFDIR; }

}  // namespace korva::platform
