#include <gtest/gtest.h>

#include "deck/DeckError.h"
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
        {{.kind = K::UserFolder, .reason = QStringLiteral("HOME が設定されていません")},
         QStringLiteral("HOME が設定されていません")},
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
}
