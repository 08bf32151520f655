#include "recovery/RecoveryErrorText.h"

#include "deck/DeckErrorText.h"

namespace korva {

QString DescribeFolderProblem(const FolderProblem& problem) {
    switch (problem.cause) {
        case FolderCause::System: return problem.reason;
        case FolderCause::SymbolicLink: return QStringLiteral("シンボリックリンクです");
        case FolderCause::NotFolder: return QStringLiteral("フォルダーではありません");
        case FolderCause::OthersFolder: return QStringLiteral("ほかのユーザーのフォルダーです");
        case FolderCause::OthersMayWrite: return QStringLiteral("ほかのユーザーも書き込めるフォルダーです");
        case FolderCause::OthersMayOpen: return QStringLiteral("ほかのユーザーも開けるフォルダーです");
        case FolderCause::NameNotUtf8: return QStringLiteral("名前がUTF-8ではありません");
    }
    return problem.reason;
}

QString DescribeRecoveryError(const RecoveryErrorDetail& d) {
    switch (d.kind) {
        case RecoveryErrorKind::UserFolder: return d.reason;
        case RecoveryErrorKind::FolderUnusable:
            return QStringLiteral("%1 は使えません（%2）").arg(d.path, DescribeFolderProblem(d.folder));
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
