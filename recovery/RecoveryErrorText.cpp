#include "recovery/RecoveryErrorText.h"

#include "deck/DeckErrorText.h"

namespace korva {

QString DescribeRecoveryError(const RecoveryErrorDetail& d) {
    switch (d.kind) {
        case RecoveryErrorKind::UserFolder: return d.reason;
        case RecoveryErrorKind::FolderUnusable: return QStringLiteral("%1 は使えません（%2）").arg(d.path, d.reason);
        case RecoveryErrorKind::CannotMakeFolder: return QStringLiteral("%1 を作れません（%2）").arg(d.path, d.reason);
        case RecoveryErrorKind::CannotMakeFolderIn: return QStringLiteral("%1 にフォルダーを作れません").arg(d.path);
        case RecoveryErrorKind::CannotLock: return QStringLiteral("%1 をロックできません").arg(d.path);
        case RecoveryErrorKind::CannotRemove: return QStringLiteral("%1 を削除できません (%2)").arg(d.path, d.reason);
        case RecoveryErrorKind::OriginDamaged: return QStringLiteral("元のファイルの情報が壊れています。");
        case RecoveryErrorKind::OriginUnreadable:
            return QStringLiteral("元のファイルの情報を読めません。") + DeckErrorText(d.deck);
    }
    return d.reason;
}

}  // namespace korva
