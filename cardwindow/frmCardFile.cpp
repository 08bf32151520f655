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

QString frmCard::getSavePath() {
    // A name too short to carry an ending is offered whole.
    const QString name = getFileName();
    const QString start = name.size() < 4 ? name : name.left(name.size() - 4);
    const int flags = platform::OverwritePrompt | platform::HideReadOnly | platform::PathMustExist;
    const auto chosen = Dialogs_.ShowSave({start, platform::SaveDialogFilter(), flags, QStringLiteral(".krv")});
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
    const DeckResult result = DataKeep ? document.Append(Path, FileName, WordListChooser())
                                       : document.Open(Path, FileName, WordListChooser());
    switch (result.failure) {
        case DeckFailure::OtherKind:
            ShowMessage(FileName + QStringLiteral("\r\n") +
                        QStringLiteral(" はKORVAで開けない種類のファイルです。\r\n"
                                       "拡張子が .krv、.csv、.tsv、.txt のどれかのファイルを選んでください。"));
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
bool frmCard::NewFileSave() {
    const QString path = getSavePath();
    if (path == CancelMarker) {
        return false;
    }
    return ReportSave(getDocument().SaveAs(path));
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
