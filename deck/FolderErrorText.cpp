#include "deck/FolderErrorText.h"

namespace korva {

namespace {

QString FolderName(UserFolder folder) {
    switch (folder) {
        case UserFolder::Configuration: return QStringLiteral("設定");
        case UserFolder::RecoveryCopies: return QStringLiteral("復元用の");
    }
    return {};
}

}  // namespace

QString DescribeFolderError(const FolderErrorDetail& d) {
    switch (d.kind) {
        case FolderErrorKind::NoHome:
            return QStringLiteral("HOME が設定されていないため、%1フォルダーが分かりません").arg(FolderName(d.folder));
        case FolderErrorKind::CannotMake: return QStringLiteral("%1 を作れません（%2）").arg(d.path, d.systemReason);
        case FolderErrorKind::NotFolder:
            return QStringLiteral("%1 はフォルダーではありません（%2）").arg(d.path, d.systemReason);
    }
    return {};
}

}  // namespace korva
