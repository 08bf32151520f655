#include <QFileInfo>

#include "cardwindow/frmCard.h"
#include "deck/DeckErrorText.h"
#include "deck/DeckPath.h"
#include "deck/PathText.h"
#include "platform/Dialogs.h"
#include "platform/FileFilter.h"

namespace korva {

namespace {

DeckPathKind KindOf(const QString& path) { return KindOfPath(path.toStdString()); }

}  // namespace

std::optional<platform::FileDialogResult> frmCard::ChooseOpenFile() {
    auto chosen = Dialogs_.ShowOpen({getFileName(), platform::OpenDialogFilter(), platform::FileMustExist, QString()});
    if (!chosen || chosen->path.isEmpty()) {
        return std::nullopt;
    }
    return chosen;
}

QString frmCard::getOpenPath() {
    const auto chosen = ChooseOpenFile();
    return chosen ? chosen->path : CancelMarker;
}

// A .krv deck is offered as .krv again; a new deck, a word list's and a deck
// in any language as a .korva deck, which holds every character and the
// study record.
QString frmCard::getSavePath(bool preferKorva) {
    const QString name = getFileName();
    const DeckPathKind kind = KindOfPath(name.toStdString());
    // The ending goes, as the four characters of ".krv" or ".csv" always
    // went; a name too short to carry one is offered whole.
    const qsizetype ending = kind == DeckPathKind::Korva ? 6 : 4;
    const QString start = name.size() < ending ? name : name.left(name.size() - ending);
    const bool krv = !preferKorva && kind == DeckPathKind::Deck && getCardData().encoding == ItemEncoding::Cp932;
    const int flags = platform::OverwritePrompt | platform::HideReadOnly | platform::PathMustExist;
    const auto chosen = Dialogs_.ShowSave({start, platform::SaveDialogFilter(), flags,
                                           krv ? QStringLiteral(".krv") : QStringLiteral(".korva"),
                                           krv ? platform::SaveFilterKrv : platform::SaveFilterKorva});
    if (!chosen || chosen->path.isEmpty()) {
        return CancelMarker;
    }
    return chosen->path;
}

// A cancel (of the open dialog or of a word list's preview), a refused or an
// unreadable file leaves the deck, FilePath and FileName as they were. An
// append keeps them too: the deck still belongs to the file it was opened
// from.
bool frmCard::FileOpen(bool DataKeep) {
    const auto chosen = ChooseOpenFile();
    return chosen && ReadDeckFile(chosen->path, chosen->title, DataKeep);
}

bool frmCard::FileOpenFrom(const QString& Path) {
    return ReadDeckFile(Path, DisplayPath(QFileInfo(Path).fileName()), false);
}

bool frmCard::ReadDeckFile(const QString& Path, const QString& FileName, bool DataKeep) {
    DeckDocument& document = getDocument();
    const DeckResult result = DataKeep ? document.Append(Path, FileName, WordListChooser(getCardData().encoding))
                                       : document.Open(Path, FileName, WordListChooser(std::nullopt));
    switch (result.failure) {
        case DeckFailure::OtherKind:
            ShowMessage(FileName + QStringLiteral("\r\n") +
                        QStringLiteral(" はKORVAで開けない種類のファイルです。\r\n"
                                       "拡張子が .krv、.korva、.csv、.tsv、.txt のどれかのファイルを選んでください。"));
            break;
        case DeckFailure::Missing: ShowOpenFailure(FileName, QStringLiteral("ファイルが見つかりません。")); break;
        case DeckFailure::Unreadable:
        case DeckFailure::Unwritable: ShowOpenFailure(FileName, DeckErrorText(result.error)); break;
        case DeckFailure::None:
        case DeckFailure::Cancelled: break;
    }
    return result.isDone();
}

void frmCard::ShowOpenFailure(const QString& name, const QString& reason) {
    ShowMessage(name + QStringLiteral("\r\n") + QStringLiteral(" を開けませんでした。\r\n") + reason);
}

bool frmCard::isFilePath() const { return IsDeckFilePath(getFilePath()); }

// A save under a new name that fails keeps the old path, so the window still
// names the file its deck was last read from or written to. One that
// succeeds moves the window to the new file: its caption and its close
// question name the file that a plain save now writes.
bool frmCard::NewFileSave(bool preferKorva) {
    const QString path = getSavePath(preferKorva);
    if (path == CancelMarker || !MayDropRecord(path)) {
        return false;
    }
    const std::optional<bool> allowLoss = MayLoseCharacters(path);
    return allowLoss && ReportSave(getDocument().SaveAs(path, *allowLoss));
}

// A .krv file keeps no study record: a deck in any language that has one
// says so first.
bool frmCard::MayDropRecord(const QString& path) {
    if (KindOfPath(path.toStdString()) != DeckPathKind::Deck || getCardData().encoding != ItemEncoding::Utf8 ||
        getDocument().getRecord().empty()) {
        return true;
    }
    return Dialogs_.Message(
               QStringLiteral("このデッキの学習の記録（%1回の解答）は .krv のファイルには保存できません。\r\n"
                              "記録を残さずに .krv として保存しますか。\r\n"
                              "記録を残すには .korva の名前で保存してください。")
                   .arg(getDocument().getRecord().size()),
               platform::MessageButtons::YesNo) == platform::MessageResult::Yes;
}

// A save in the other format that cannot carry every text over names what it
// would lose first, card by card, and goes on only when the user says so;
// nullopt when the user declines.
std::optional<bool> frmCard::MayLoseCharacters(const QString& path) {
    const CardConversion losses = getDocument().LossesSavingAs(path);
    if (losses.count == 0) {
        return false;
    }
    const bool toKrv = KindOfPath(path.toStdString()) == DeckPathKind::Deck;
    QString list;
    for (std::size_t i = 0; i < losses.first.size() && i < ListedLosses; ++i) {
        const ItemLoss& loss = losses.first[i];
        list += QStringLiteral("・%1枚目の項目%2: %3\r\n")
                    .arg(loss.card)
                    .arg(loss.item)
                    .arg(toKrv ? QStringLiteral("「%1」").arg(QString::fromStdString(loss.what))
                               : QStringLiteral("バイト %1").arg(QString::fromStdString(loss.what)));
    }
    if (losses.count > ListedLosses) {
        list += QStringLiteral("ほか%1か所\r\n").arg(losses.count - ListedLosses);
    }
    const QString text = toKrv ? QStringLiteral(
                                     "次の文字はシフトJISにないため、.krv のデッキに書けません。\r\n%1"
                                     "似た文字（é は e）か 〓 に置き換えて保存しますか。")
                               : QStringLiteral(
                                     "次のところはシフトJISとして読めないバイトで、文字にできません。\r\n%1"
                                     "\uFFFD に置き換えて保存しますか。");
    if (Dialogs_.Message(text.arg(list), platform::MessageButtons::YesNo) != platform::MessageResult::Yes) {
        return std::nullopt;
    }
    return true;
}

bool frmCard::FileSave() { return ReportSave(getDocument().Save()); }

bool frmCard::ReportSave(const DeckResult& result) {
    if (!result.isDone()) {
        ShowMessage(DisplayPath(QFileInfo(result.path).fileName()) + QStringLiteral("\r\n") +
                    QStringLiteral(" に保存できませんでした。\r\n") + DeckErrorText(result.error));
    }
    return result.isDone();
}

bool frmCard::isCSVFile() const { return KindOf(getFilePath()) == DeckPathKind::Csv; }

}  // namespace korva
