#include "deck/DeckErrorText.h"

#include <cstdint>

#include "deck/CardData.h"
#include "deck/FileBytes.h"
#include "deck/KorvaDeck.h"

namespace korva {

namespace {

std::string Number(long long n) { return std::to_string(n); }

std::string LineLabel(const DeckErrorDetail& d) { return Number(d.line) + "行目: "; }

std::string ArrayName(DeckArray array) { return array == DeckArray::Items ? "項目の配列" : "チェックの配列"; }

std::string DescribeDamage(const DeckErrorDetail& d) {
    switch (d.damage) {
        case Damage::Truncated: return "ファイルが途中で終わっています";
        case Damage::NotTwoDimensions: return ArrayName(d.array) + "の次元数が2ではありません";
        case Damage::LowerBoundNotZero: return ArrayName(d.array) + "の下限が0ではありません";
        case Damage::ItemSlotsNotThree: return ArrayName(d.array) + "の項目の要素数が3ではありません";
        case Damage::CardCountOutOfRange: return ArrayName(d.array) + "のカードの要素数が範囲外です";
        case Damage::CountPastFileLength: return "要素数がファイルの長さを超えています";
        case Damage::QuestionOutOfRange: return "カード" + Number(d.number) + "の出題項目が" + Number(d.value) + "です";
        case Damage::CardCountsDiffer: return "配列のカードの要素数が一致しません";
        case Damage::QuestionsNotOneDimension: return "出題項目の配列の次元数が1ではありません";
        case Damage::QuestionsLowerBoundNotZero: return "出題項目の配列の下限が0ではありません";
    }
    return {};
}

// "ファイルに書き込めません" and the cause make
// "ファイルに書き込めません（No space left on device）。".
std::string FileFailure(const char* what, const DeckErrorDetail& d) {
    return std::string(what) + "（" + DescribeFileCause(d.cause, d.systemReason) + "）。";
}

std::string CardLabel(const DeckErrorDetail& d) { return Number(d.number) + "枚目のカードの項目" + Number(d.column); }

std::string BreakName(const std::string& text) {
    static const std::pair<const char*, const char*> names[] = {
        {"\r", "CR"}, {"\n", "LF"}, {"\t", "タブ"}, {";", "セミコロン"}, {"|", "縦棒"}, {" ", "空白"}, {":", "コロン"},
    };
    for (const auto& [text_, name] : names) {
        if (text == text_) {
            return name;
        }
    }
    return "コンマ";
}

std::string DescribeWrite(const DeckErrorDetail& d) {
    std::string failure = FileFailure("ファイルに書き込めません", d);
    switch (d.restore) {
        case Restore::NotTried: return failure;
        case Restore::Restored: return failure + "元の内容に戻しました。";
        case Restore::NotRestored: return failure + "元の内容にも戻せませんでした。";
    }
    return failure;
}

}  // namespace

std::string DescribeFileCause(FileCause cause, const std::string& systemReason) {
    switch (cause) {
        case FileCause::System: return systemReason;
        case FileCause::Folder: return "通常のファイルではなく、フォルダーです";
        case FileCause::Pipe: return "通常のファイルではなく、名前付きパイプです";
        case FileCause::Socket: return "通常のファイルではなく、ソケットです";
        case FileCause::Device: return "通常のファイルではなく、デバイスです";
        case FileCause::NotRegular: return "通常のファイルではありません";
        case FileCause::ShrankWhileRead: return "読み込む間にファイルが短くなりました";
        case FileCause::SizeMismatch: return "書き込んだ大きさが合いません";
        case FileCause::TooLargeToKeep: return "上書きする前に元の内容を控えるには大きすぎます";
        case FileCause::CannotReserve:
            return "このフォルダーには新しいファイルを作れず、このファイルシステムでは上書きする前に場所を確保"
                   "できないため、途中で失敗したときにファイルが壊れないよう保存しません";
    }
    return systemReason;
}

std::string DescribeDeckError(const DeckErrorDetail& d) {
    switch (d.kind) {
        case DeckErrorKind::CannotOpen: return FileFailure("ファイルを開けません", d);
        case DeckErrorKind::CannotRead: return FileFailure("ファイルを読み込めません", d);
        case DeckErrorKind::CannotWrite: return DescribeWrite(d);
        case DeckErrorKind::CannotSave: return FileFailure("ファイルを保存できません", d);
        case DeckErrorKind::TooLarge:
            return "ファイルが大きすぎます（" + Number(MaxReadBytes / (std::int64_t{1024} * 1024)) + "MBまで）。";
        case DeckErrorKind::OutOfMemory: return "メモリが足りないため読み込めません。";
        case DeckErrorKind::Damaged: return "デッキファイルが壊れています（" + DescribeDamage(d) + "）。";
        case DeckErrorKind::TooManyCards: return "カードが" + Number(MaxCards) + "枚を超えています。";
        case DeckErrorKind::TooManyCsvLines: return "CSVファイルの行数が" + Number(MaxCards) + "行を超えています。";
        case DeckErrorKind::AppendPastMaxCards:
            return "カードの合計が" + Number(MaxCards) + "枚を超えるため追加できません。";
        case DeckErrorKind::ItemTooLong:
            return Number(d.line) + "行目、" + Number(d.column) + "列目: 項目の文字列が" + Number(MaxItemBytes) +
                   "バイトを超えているため読み込めません。";
        case DeckErrorKind::ItemTooLongToSave: return "項目の文字列が65535バイトを超えているため保存できません。";
        case DeckErrorKind::ItemTooLongToKeep: return "項目の文字列が65535バイトを超えるため入力できません。";
        case DeckErrorKind::UnevenArrays: return "デッキの配列の大きさが揃っていないため保存できません。";
        case DeckErrorKind::NotInCp932: return LineLabel(d) + "「" + d.text + "」はShift_JISにない文字です";
        case DeckErrorKind::UnclosedQuote: return LineLabel(d) + "引用符 (\") で始まる項目が閉じていません";
        case DeckErrorKind::BadBytes: return LineLabel(d) + d.text + "として読めないバイトがあります";
        case DeckErrorKind::MissingColumn:
            return Number(d.number) + "列目がありません。このファイルの項目は最も多い行で" + Number(d.value) +
                   "列です。";
        case DeckErrorKind::NoConverter: return "文字コードの変換を準備できません。";
        case DeckErrorKind::UnknownFileKind: return "ファイル名が .krv、.csv、.tsv、.txt のどれでも終わっていません。";
        case DeckErrorKind::BadSeparator:
            return "区切り文字はコンマ、タブ、セミコロン、縦棒、空白、コロンのどれかです。";
        case DeckErrorKind::BadColumnNumber: return "列の番号は1から数えます。";
        case DeckErrorKind::TextStartsWithQuote:
            return CardLabel(d) +
                   "が \" で始まり、引用符なしのCSVでは同じ項目に戻りません。--quoting rfc で書き出してください。";
        case DeckErrorKind::TextHoldsBreak:
            return CardLabel(d) + "に" + BreakName(d.text) + "があり、CSVでは同じ項目に戻りません。";
        case DeckErrorKind::TextNotCp932:
            return CardLabel(d) + "にShift_JISとして読めないバイトがあり、UTF-8にできません。";
        case DeckErrorKind::QuestionItemBroken:
            return Number(d.number) + "枚目のカードの出題項目(" + Number(d.value) +
                   ")が壊れているため、チェックを数えられません。";
        case DeckErrorKind::NotKorvaDeck:
            return d.systemReason.empty() ? "KORVAのデッキファイルではなく、別のプログラムのデータベースです。"
                                          : FileFailure("KORVAのデッキファイルではありません", d);
        case DeckErrorKind::NewerSchema:
            return "新しい版のKORVAで保存されたデッキファイルのため読み込めません（ファイルの形式は第" +
                   Number(d.value) + "版、この版で読めるのは第" + Number(KorvaSchemaVersion) + "版までです）。";
        case DeckErrorKind::DatabaseDamaged: return FileFailure("デッキファイルが壊れています", d);
        case DeckErrorKind::CardTextNotInCp932:
            return CardLabel(d) + "の「" + d.text + "」はShift_JISにない文字のため、.krvのデッキに書けません。";
        case DeckErrorKind::CardIdBroken:
            return Number(d.number) + "枚目のカードの番号(" + Number(d.value) +
                   ")が正でないか、ほかのカードと重なっているため保存できません。";
    }
    return {};
}

}  // namespace korva
