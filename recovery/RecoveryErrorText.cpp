#include "recovery/RecoveryErrorText.h"

#include "deck/DeckErrorText.h"
#include "deck/FolderErrorText.h"
#include "recovery/EndedCopies.h"

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
        case RecoveryErrorKind::UserFolder: return DescribeFolderError(d.userFolder);
        case RecoveryErrorKind::FolderUnusable:
            return QStringLiteral("%1 は使えません（%2）").arg(d.path, DescribeFolderProblem(d.folder));
        case RecoveryErrorKind::CannotMakeFolder: return QStringLiteral("%1 を作れません（%2）").arg(d.path, d.reason);
        case RecoveryErrorKind::CannotMakeFolderIn: return QStringLiteral("%1 にフォルダーを作れません").arg(d.path);
        case RecoveryErrorKind::CannotLock: return QStringLiteral("%1 をロックできません").arg(d.path);
        case RecoveryErrorKind::CannotRemove: return QStringLiteral("%1 を削除できません (%2)").arg(d.path, d.reason);
        case RecoveryErrorKind::OriginDamaged: return QStringLiteral("元のファイルの情報が壊れています。");
        case RecoveryErrorKind::OriginUnreadable:
            return QStringLiteral("元のファイルの情報を読めません。") + DeckErrorText(d.deck);
        case RecoveryErrorKind::DeckFailure: return DeckErrorText(d.deck);
        case RecoveryErrorKind::NotProgramsFolder:
            return QStringLiteral("KORVAが作ったフォルダーではないため、開かずに残しました（%1）。")
                .arg(DescribeFolderProblem(d.folder));
        case RecoveryErrorKind::CopyIsLink: return QStringLiteral("シンボリックリンクなので、読まずに残しました。");
        // The system's words alone: the note around them names the copy and
        // the folder it stays in.
        case RecoveryErrorKind::CannotMoveAside: return d.reason;
    }
    return d.reason;
}

QString DescribeDamagedCopy(const DamagedCopy& copy) {
    QString why = DescribeRecoveryError(copy.why);
    if (copy.leftIn.isEmpty()) {
        return why;
    }
    return why + QStringLiteral("コピーを移せないため、%1 に残しました（%2）。")
                     .arg(copy.leftIn, DescribeRecoveryError(copy.whyLeft));
}

}  // namespace korva
