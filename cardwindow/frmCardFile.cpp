#include <sys/stat.h>

#include <QFileInfo>

#include "cardwindow/frmCard.h"
#include "deck/DeckError.h"
#include "deck/DeckFile.h"
#include "deck/DeckPath.h"
#include "deck/PathText.h"
#include "platform/Dialogs.h"

namespace korva {

namespace {

const QString OpenFilter = QStringLiteral(
    "KORVA対応ファイル(*.krv,*.csv)|*.krv;*.CSV|KORVA専用ファイル(*.krv)|*.krv|CSVファイル(*.csv)|*.csv");
const QString SaveFilter = QStringLiteral("KORVA用ファイル(*.krv)|*.krv");

DeckPathKind KindOf(const QString& path) { return KindOfPath(path.toStdString()); }

QString Reason(const DeckError& error) { return QString::fromStdString(error.what()); }

}  // namespace

QString frmCard::getOpenPath() {
    const auto chosen = Dialogs_.ShowOpen({getFileName(), OpenFilter, platform::FileMustExist, QString()});
    if (!chosen || chosen->path.isEmpty()) {
        return CancelMarker;
    }
    setFileName(chosen->title);
    return chosen->path;
}

QString frmCard::getSavePath() {
    // A name too short to carry an ending is offered whole.
    const QString name = getFileName();
    const QString start = name.size() < 4 ? name : name.left(name.size() - 4);
    const int flags = platform::OverwritePrompt | platform::HideReadOnly | platform::PathMustExist;
    const auto chosen = Dialogs_.ShowSave({start, SaveFilter, flags, QStringLiteral(".krv")});
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
    const QString oldPath = getFilePath();
    const QString oldName = getFileName();
    const QString path = getOpenPath();
    if (path == CancelMarker) {
        return false;
    }

    setFilePath(path);
    const bool read = ReadDeckFile(DataKeep);
    if (!read || DataKeep) {
        setFilePath(oldPath);
        setFileName(oldName);
    }
    return read;
}

bool frmCard::FileOpenFrom(const QString& Path) {
    const QString oldPath = getFilePath();
    const QString oldName = getFileName();
    setFilePath(Path);
    setFileName(DisplayPath(QFileInfo(Path).fileName()));
    if (ReadDeckFile(false)) {
        return true;
    }
    setFilePath(oldPath);
    setFileName(oldName);
    return false;
}

bool frmCard::ReadDeckFile(bool DataKeep) {
    const QString name = getFileName();
    const DeckPathKind kind = KindOf(getFilePath());
    if (kind == DeckPathKind::Other) {
        ShowMessage(name + QStringLiteral("\r\n") +
                    QStringLiteral(" はKORVAで開けない種類のファイルです。\r\n"
                                   "拡張子が .krv、.csv、.tsv、.txt のどれかのファイルを選んでください。"));
        return false;
    }
    if (!isFilePath()) {
        ShowOpenFailure(name, QStringLiteral("ファイルが見つかりません。"));
        return false;
    }
    try {
        if (kind == DeckPathKind::Csv) {
            return ReadWordListFile(DataKeep);
        }
        LoadCardFile(TextToPath(getFilePath()), getCardData(), DataKeep);
    } catch (const DeckError& error) {
        ShowOpenFailure(name, Reason(error));
        return false;
    }
    // An appended file is not the one the deck belongs to.
    if (!DataKeep) {
        NoteFileWritten();
    }
    return true;
}

void frmCard::ShowOpenFailure(const QString& name, const QString& reason) {
    ShowMessage(name + QStringLiteral("\r\n") + QStringLiteral(" を開けませんでした。\r\n") + reason);
}

bool frmCard::isFilePath() const {
    // By the path's bytes: a name that is not UTF-8 is still the file named.
    struct stat info {};
    return !getFilePath().isEmpty() && ::stat(TextToPath(getFilePath()).c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           !QFileInfo(getFilePath()).fileName().startsWith(u'.');
}

// A save under a new name that fails keeps the old path, so the window still
// names the file its deck was last read from or written to. One that
// succeeds moves the window to the new file: its caption and its close
// question name the file that a plain save now writes.
bool frmCard::NewFileSave() {
    const QString path = getSavePath();
    if (path == CancelMarker) {
        return false;
    }
    const QString oldPath = getFilePath();
    setFilePath(path);
    if (!FileSave()) {
        setFilePath(oldPath);
        return false;
    }
    setFileName(DisplayPath(QFileInfo(path).fileName()));
    setWindowTitle(getFileName());
    return true;
}

bool frmCard::FileSave() {
    try {
        SaveCardFile(TextToPath(getFilePath()), getCardData());
    } catch (const DeckError& error) {
        ShowMessage(DisplayPath(QFileInfo(getFilePath()).fileName()) + QStringLiteral("\r\n") +
                    QStringLiteral(" に保存できませんでした。\r\n") + Reason(error));
        return false;
    }
    NoteFileWritten();
    setEditedFlag(false);
    return true;
}

bool frmCard::isCSVFile() const { return KindOf(getFilePath()) == DeckPathKind::Csv; }

}  // namespace korva
