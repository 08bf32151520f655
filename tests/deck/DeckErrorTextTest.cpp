#include <string>

#include <gtest/gtest.h>

#include "deck/DeckError.h"
#include "deck/DeckErrorText.h"
#include "deck/FolderErrorText.h"
#include "deck/UserFolders.h"

using namespace korva;

namespace {

using K = DeckErrorKind;

DeckErrorDetail Kind(K kind) { return {.kind = kind}; }

DeckErrorDetail File(K kind, FileCause cause, std::string reason = {}, Restore restore = Restore::NotTried) {
    return {.kind = kind, .cause = cause, .systemReason = std::move(reason), .restore = restore};
}

DeckErrorDetail Damaged(Damage damage, DeckArray array = DeckArray::Items, long long number = 0, long long value = 0) {
    return {.kind = K::Damaged, .damage = damage, .array = array, .number = number, .value = value};
}

DeckErrorDetail At(K kind, long long line, long long column, std::string text = {}) {
    return {.kind = kind, .line = line, .column = column, .text = std::move(text)};
}

DeckErrorDetail Card(K kind, long long card, long long item, std::string text = {}) {
    return {.kind = kind, .column = item, .number = card, .text = std::move(text)};
}

}  // namespace

// Each kind's fields make the sentence the user has always read for it.
TEST(DeckErrorText, WordsEveryKindAsTheUserReadsIt) {
    const struct {
        DeckErrorDetail detail;
        const char* sentence;
    } cases[] = {
        {File(K::CannotOpen, FileCause::System, "No such file or directory"),
         "ファイルを開けません（No such file or directory）。"},
        {File(K::CannotOpen, FileCause::Folder), "ファイルを開けません（通常のファイルではなく、フォルダーです）。"},
        {File(K::CannotOpen, FileCause::Pipe), "ファイルを開けません（通常のファイルではなく、名前付きパイプです）。"},
        {File(K::CannotOpen, FileCause::Socket), "ファイルを開けません（通常のファイルではなく、ソケットです）。"},
        {File(K::CannotOpen, FileCause::Device), "ファイルを開けません（通常のファイルではなく、デバイスです）。"},
        {File(K::CannotOpen, FileCause::NotRegular), "ファイルを開けません（通常のファイルではありません）。"},
        {File(K::CannotRead, FileCause::ShrankWhileRead),
         "ファイルを読み込めません（読み込む間にファイルが短くなりました）。"},
        {File(K::CannotWrite, FileCause::SizeMismatch), "ファイルに書き込めません（書き込んだ大きさが合いません）。"},
        {File(K::CannotWrite, FileCause::TooLargeToKeep),
         "ファイルに書き込めません（上書きする前に元の内容を控えるには大きすぎます）。"},
        {File(K::CannotWrite, FileCause::CannotReserve),
         "ファイルに書き込めません（このフォルダーには新しいファイルを作れず、このファイルシステムでは上書きする前に"
         "場所を確保できないため、途中で失敗したときにファイルが壊れないよう保存しません）。"},
        {File(K::CannotWrite, FileCause::System, "No space left on device", Restore::Restored),
         "ファイルに書き込めません（No space left on device）。元の内容に戻しました。"},
        {File(K::CannotWrite, FileCause::System, "Input/output error", Restore::NotRestored),
         "ファイルに書き込めません（Input/output error）。元の内容にも戻せませんでした。"},
        {File(K::CannotSave, FileCause::System, "Permission denied"),
         "ファイルを保存できません（Permission denied）。"},
        {Kind(K::TooLarge), "ファイルが大きすぎます（256MBまで）。"},
        {Kind(K::OutOfMemory), "メモリが足りないため読み込めません。"},
        {Damaged(Damage::Truncated), "デッキファイルが壊れています（ファイルが途中で終わっています）。"},
        {Damaged(Damage::NotTwoDimensions, DeckArray::Checks),
         "デッキファイルが壊れています（チェックの配列の次元数が2ではありません）。"},
        {Damaged(Damage::LowerBoundNotZero), "デッキファイルが壊れています（項目の配列の下限が0ではありません）。"},
        {Damaged(Damage::ItemSlotsNotThree),
         "デッキファイルが壊れています（項目の配列の項目の要素数が3ではありません）。"},
        {Damaged(Damage::CardCountOutOfRange, DeckArray::Checks),
         "デッキファイルが壊れています（チェックの配列のカードの要素数が範囲外です）。"},
        {Damaged(Damage::CountPastFileLength),
         "デッキファイルが壊れています（要素数がファイルの長さを超えています）。"},
        {Damaged(Damage::QuestionOutOfRange, DeckArray::Items, 7, -1),
         "デッキファイルが壊れています（カード7の出題項目が-1です）。"},
        {Damaged(Damage::CardCountsDiffer), "デッキファイルが壊れています（配列のカードの要素数が一致しません）。"},
        {Damaged(Damage::QuestionsNotOneDimension),
         "デッキファイルが壊れています（出題項目の配列の次元数が1ではありません）。"},
        {Damaged(Damage::QuestionsLowerBoundNotZero),
         "デッキファイルが壊れています（出題項目の配列の下限が0ではありません）。"},
        {Kind(K::TooManyCards), "カードが32767枚を超えています。"},
        {Kind(K::TooManyCsvLines), "CSVファイルの行数が32767行を超えています。"},
        {Kind(K::AppendPastMaxCards), "カードの合計が32767枚を超えるため追加できません。"},
        {At(K::ItemTooLong, 4, 2), "4行目、2列目: 項目の文字列が65535バイトを超えているため読み込めません。"},
        {Kind(K::ItemTooLongToSave), "項目の文字列が65535バイトを超えているため保存できません。"},
        {Kind(K::ItemTooLongToKeep), "項目の文字列が65535バイトを超えるため入力できません。"},
        {Kind(K::UnevenArrays), "デッキの配列の大きさが揃っていないため保存できません。"},
        {At(K::NotInCp932, 3, 0, "é"), "3行目: 「é」はShift_JISにない文字です"},
        {At(K::UnclosedQuote, 12, 0), "12行目: 引用符 (\") で始まる項目が閉じていません"},
        {At(K::BadBytes, 5, 0, "UTF-8"), "5行目: UTF-8として読めないバイトがあります"},
        {{.kind = K::MissingColumn, .number = 4, .value = 3},
         "4列目がありません。このファイルの項目は最も多い行で3列です。"},
        {Kind(K::NoConverter), "文字コードの変換を準備できません。"},
        {Kind(K::UnknownFileKind), "ファイル名が .krv、.korva、.csv、.tsv、.txt のどれでも終わっていません。"},
        {Kind(K::BadSeparator), "区切り文字はコンマ、タブ、セミコロン、縦棒、空白、コロンのどれかです。"},
        {Kind(K::BadColumnNumber), "列の番号は1から数えます。"},
        {Card(K::TextStartsWithQuote, 2, 1),
         "2枚目のカードの項目1が \" で始まり、引用符なしのCSVでは同じ項目に戻りません。--quoting rfc で書き出してください。"},
        {Card(K::TextHoldsBreak, 2, 2, ","), "2枚目のカードの項目2にコンマがあり、CSVでは同じ項目に戻りません。"},
        {Card(K::TextHoldsBreak, 2, 2, "\t"), "2枚目のカードの項目2にタブがあり、CSVでは同じ項目に戻りません。"},
        {Card(K::TextHoldsBreak, 3, 1, "|"), "3枚目のカードの項目1に縦棒があり、CSVでは同じ項目に戻りません。"},
        {Card(K::TextHoldsBreak, 3, 1, "\r"), "3枚目のカードの項目1にCRがあり、CSVでは同じ項目に戻りません。"},
        {Card(K::TextHoldsBreak, 3, 1, "\n"), "3枚目のカードの項目1にLFがあり、CSVでは同じ項目に戻りません。"},
        {Card(K::TextNotCp932, 1, 2), "1枚目のカードの項目2にShift_JISとして読めないバイトがあり、UTF-8にできません。"},
        {{.kind = K::QuestionItemBroken, .number = 9, .value = 5},
         "9枚目のカードの出題項目(5)が壊れているため、チェックを数えられません。"},
        {File(K::NotKorvaDeck, FileCause::System, "file is not a database"),
         "KORVAのデッキファイルではありません（file is not a database）。"},
        {Kind(K::NotKorvaDeck), "KORVAのデッキファイルではなく、別のプログラムのデータベースです。"},
        {{.kind = K::NewerSchema, .value = 3},
         "新しい版のKORVAで保存されたデッキファイルのため読み込めません（ファイルの形式は第3版、この版で読めるのは第2版"
         "までです）。"},
        {File(K::DatabaseDamaged, FileCause::System, "database disk image is malformed"),
         "デッキファイルが壊れています（database disk image is malformed）。"},
        {{.kind = K::CardIdBroken, .number = 4, .value = -1},
         "4枚目のカードの番号(-1)が正でないか、ほかのカードと重なっているため保存できません。"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DescribeDeckError(DeckError(c.detail)), c.sentence);
        EXPECT_EQ(DeckErrorText(c.detail), QString::fromUtf8(c.sentence));
    }

    using F = FolderErrorKind;
    const struct {
        FolderErrorDetail detail;
        const char* sentence;
    } folders[] = {
        {{.kind = F::NoHome, .folder = UserFolder::Configuration},
         "HOME が設定されていないため、設定フォルダーが分かりません"},
        {{.kind = F::NoHome, .folder = UserFolder::RecoveryCopies},
         "HOME が設定されていないため、復元用のフォルダーが分かりません"},
        {{.kind = F::CannotMake,
          .path = QStringLiteral("/home/u/.config"),
          .systemReason = QStringLiteral("Permission denied")},
         "/home/u/.config を作れません（Permission denied）"},
        {{.kind = F::NotFolder,
          .path = QStringLiteral("/home/u/.config/korva"),
          .systemReason = QStringLiteral("Not a directory")},
         "/home/u/.config/korva はフォルダーではありません（Not a directory）"},
    };
    for (const auto& f : folders) {
        EXPECT_EQ(DescribeFolderError(FolderError(f.detail)), QString::fromUtf8(f.sentence));
    }
}
