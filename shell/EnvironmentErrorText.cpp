#include "shell/EnvironmentErrorText.h"

#include "deck/DeckErrorText.h"
#include "deck/FolderErrorText.h"

namespace korva {

QString DescribeEnvironmentError(const EnvironmentErrorDetail& d) {
    switch (d.kind) {
        case EnvironmentErrorKind::ProgramFolderUnknown:
            return QStringLiteral("プログラムのフォルダーが分かりません（%1）").arg(d.reason);
        case EnvironmentErrorKind::ProgramFolderGone:
            return QStringLiteral("プログラムのフォルダーが分かりません: %1（%2）").arg(d.path, d.reason);
        case EnvironmentErrorKind::UserFolder: return DescribeFolderError(d.folder);
        case EnvironmentErrorKind::CannotOpen:
            return QStringLiteral("%1: %2").arg(d.path, d.cause == FileCause::System
                                                            ? d.reason
                                                            : QString::fromStdString(DescribeFileCause(d.cause, {})));
        // The file's path and Qt's reason, with the step in English as it
        // has always been shown.
        case EnvironmentErrorKind::CannotRead: return QStringLiteral("%1: read (%2)").arg(d.path, d.reason);
        case EnvironmentErrorKind::CannotWrite: return QStringLiteral("%1: write (%2)").arg(d.path, d.reason);
    }
    return d.reason;
}

}  // namespace korva
