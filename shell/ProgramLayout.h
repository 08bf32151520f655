#pragma once

#include <QByteArray>
#include <QString>

namespace korva {

// Where this copy of the program keeps its files. Folders are kept as the
// bytes the file system uses: a folder name need not be valid text, and
// decoding it would name another folder.
struct ProgramLayout {
    QByteArray programFolder;  // the folder holding the executable, no trailing '/' except for the root
    bool installed = false;    // "bin" with "../share/korva" beside it; otherwise a portable copy
};

// The running program's folder, from the real path of its executable.
// Throws EnvironmentError when it cannot be found: there is no sensible
// folder to fall back to.
QByteArray FindProgramFolder();
// Tells an installed copy from a portable one by what lies around it.
ProgramLayout LayoutOf(const QByteArray& programFolder);
// The running program's layout, found on first use.
const ProgramLayout& getProgramLayout();

// Where environment.kfg lives: beside a portable copy; for an installed one
// in the user's configuration folder ($XDG_CONFIG_HOME/korva or
// ~/.config/korva), which is created here. Throws EnvironmentError.
QByteArray EnvironmentFolder(const ProgramLayout& layout);
// The help page's address: a plain path when the folder's name is text, a
// file: URL carrying the exact bytes otherwise.
QString HelpAddress(const ProgramLayout& layout);
// The sample deck made with the program: under ../share/korva when
// installed, beside a portable copy.
QString SampleDeckPath(const ProgramLayout& layout);

}  // namespace korva
