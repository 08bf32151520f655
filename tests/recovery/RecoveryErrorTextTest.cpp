#include <gtest/gtest.h>

#include "deck/DeckError.h"
#include "recovery/EndedCopies.h"
#include "recovery/RecoveryError.h"
#include "recovery/RecoveryErrorText.h"

using namespace korva;

// Each kind's fields make the sentence the user has always read for it.
TEST(RecoveryErrorText, WordsEveryKindAsTheUserReadsIt) {
    using K = RecoveryErrorKind;
    const QString folder = QStringLiteral("/home/u/.local/state/korva");
    const struct {
        RecoveryErrorDetail detail;
        QString sentence;
    } cases[] = {
        {{.kind = K::UserFolder, .userFolder = {.kind = FolderErrorKind::NoHome, .folder = UserFolder::RecoveryCopies}},
         QStringLiteral("HOME が設定されていないため、復元用のフォルダーが分かりません")},
        {{.kind = K::UserFolder,
          .userFolder = {.kind = FolderErrorKind::CannotMake,
                         .path = folder,
                         .systemReason = QStringLiteral("Permission denied")}},
         folder + QStringLiteral(" を作れません（Permission denied）")},
        {{.kind = K::FolderUnusable, .path = folder, .folder = {FolderCause::SymbolicLink}},
         folder + QStringLiteral(" は使えません（シンボリックリンクです）")},
        {{.kind = K::FolderUnusable,
          .path = folder,
          .folder = {FolderCause::System, QStringLiteral("Permission denied")}},
         folder + QStringLiteral(" は使えません（Permission denied）")},
        {{.kind = K::FolderUnusable, .path = folder, .folder = {FolderCause::NameNotUtf8}},
         folder + QStringLiteral(" は使えません（名前がUTF-8ではありません）")},
        {{.kind = K::CannotMakeFolder, .path = folder, .reason = QStringLiteral("Permission denied")},
         folder + QStringLiteral(" を作れません（Permission denied）")},
        {{.kind = K::CannotMakeFolderIn, .path = folder}, folder + QStringLiteral(" にフォルダーを作れません")},
        {{.kind = K::CannotLock, .path = folder}, folder + QStringLiteral(" をロックできません")},
        {{.kind = K::CannotRemove, .path = folder, .reason = QStringLiteral("Permission denied")},
         folder + QStringLiteral(" を削除できません (Permission denied)")},
        {{.kind = K::OriginDamaged}, QStringLiteral("元のファイルの情報が壊れています。")},
        {{.kind = K::OriginUnreadable, .deck = {.kind = DeckErrorKind::TooLarge}},
         QStringLiteral("元のファイルの情報を読めません。ファイルが大きすぎます（256MBまで）。")},
        {{.kind = K::DeckFailure, .deck = {.kind = DeckErrorKind::ItemTooLongToSave}},
         QStringLiteral("項目の文字列が65535バイトを超えているため保存できません。")},
        {{.kind = K::NotProgramsFolder, .folder = {FolderCause::OthersFolder}},
         QStringLiteral("KORVAが作ったフォルダーではないため、開かずに残しました（ほかのユーザーのフォルダーです）。")},
        {{.kind = K::CopyIsLink}, QStringLiteral("シンボリックリンクなので、読まずに残しました。")},
        {{.kind = K::CannotMoveAside, .path = folder, .reason = QStringLiteral("Permission denied")},
         QStringLiteral("Permission denied")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DescribeRecoveryError(RecoveryError(c.detail)), c.sentence);
    }
    const struct {
        FolderCause cause;
        const char* words;
    } folders[] = {
        {FolderCause::NotFolder, "フォルダーではありません"},
        {FolderCause::OthersFolder, "ほかのユーザーのフォルダーです"},
        {FolderCause::OthersMayWrite, "ほかのユーザーも書き込めるフォルダーです"},
        {FolderCause::OthersMayOpen, "ほかのユーザーも開けるフォルダーです"},
    };
    for (const auto& f : folders) {
        EXPECT_EQ(DescribeFolderProblem({f.cause}), QString::fromUtf8(f.words));
    }

    // A damaged copy's note: why it is not offered, then where it stays when
    // it could not be moved aside.
    const RecoveryErrorDetail damaged{.kind = K::OriginDamaged};
    const struct {
        DamagedCopy copy;
        QString note;
    } notes[] = {
        {{QStringLiteral("a.krv"), damaged, true}, QStringLiteral("元のファイルの情報が壊れています。")},
        {{QStringLiteral("a.krv"),
          damaged,
          false,
          folder,
          {.kind = K::CannotMoveAside, .reason = QStringLiteral("Read-only file system")}},
         QStringLiteral("元のファイルの情報が壊れています。コピーを移せないため、") + folder +
             QStringLiteral(" に残しました（Read-only file system）。")},
        {{QStringLiteral("a.krv"),
          damaged,
          false,
          folder,
          {.kind = K::FolderUnusable, .path = folder + QStringLiteral("/damaged"), .folder = {FolderCause::NotFolder}}},
         QStringLiteral("元のファイルの情報が壊れています。コピーを移せないため、") + folder +
             QStringLiteral(" に残しました（") + folder +
             QStringLiteral("/damaged は使えません（フォルダーではありません）") + QStringLiteral("）。")},
    };
    for (const auto& n : notes) {
        EXPECT_EQ(DescribeDamagedCopy(n.copy), n.note);
    }
}
