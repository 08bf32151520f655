#pragma once

// File names whose bytes are not UTF-8, as users get them: a name from a
// Latin-1 system, and names unpacked from an archive made on Japanese
// Windows. Every command that takes a path runs over this one table and must
// read or write exactly the file named, never the file a lossy decoding of
// the name would give, which each test puts beside it as a decoy.

#include <dirent.h>

#include <algorithm>
#include <string>
#include <vector>

#include <QFile>

namespace korva::test {

struct ByteName {
    const char* label;
    std::string stem;  // the name without its ending
};

inline const std::vector<ByteName> ByteNames = {
    {"Latin-1", "caf\xe9"},
    {"code page 932", "\x92\x50\x8c\xea"},                                // 単語
    {"code page 932 with a backslash byte", "\x83\x5c\x83\x74\x83\x67"},  // ソフト
};

// The name that decoding and encoding again turn name into.
inline std::string LossyName(const std::string& name) {
    return QFile::encodeName(QFile::decodeName(QByteArray::fromStdString(name))).toStdString();
}

// The folder's entries by their bytes, sorted.
inline std::vector<std::string> FolderBytes(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") {
                names.push_back(name);
            }
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace korva::test
