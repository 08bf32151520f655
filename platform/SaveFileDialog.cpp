#include "platform/SaveFileDialog.h"

#include <QDir>
#include <QFileInfo>

#include "deck/DeckPath.h"
#include "platform/DialogPath.h"

namespace korva::platform {

SaveFileDialog::SaveFileDialog(QWidget* parent, bool pathMustExist, Refusal refuse)
    : QFileDialog(parent), PathMustExist_(pathMustExist), Refuse_(std::move(refuse)) {
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    // The question is this dialog's own, so that it is asked once.
    setOption(QFileDialog::DontConfirmOverwrite, true);
}

void SaveFileDialog::AskBeforeReplacing(Question ask) { AskReplace_ = std::move(ask); }

void SaveFileDialog::accept() {
    const QStringList files = selectedFiles();
    if (files.isEmpty()) {
        QFileDialog::accept();
        return;
    }
    const QFileInfo chosen(files.first());
    // A typed folder name is for the dialog itself to open.
    // By the names' bytes: the dialog's names lose those that are not UTF-8.
    if (PathMustExist_ && !IsShownFolder(chosen.filePath()) && !IsShownFolder(chosen.path())) {
        Refuse_(QDir::toNativeSeparators(chosen.path()) + QStringLiteral("\r\n") +
                QStringLiteral("フォルダが見つかりません。\r\nフォルダの名前を確かめてください。"));
        return;
    }
    // The save writes a deck; over a word list it would leave the list's
    // text a record that reads back as one card of garbage.
    if (KindOfPath(chosen.fileName().toStdString()) == DeckPathKind::Csv) {
        Refuse_(chosen.fileName() + QStringLiteral("\r\n") +
                QStringLiteral("単語リスト（.csv、.tsv、.txt）の名前では保存できません。\r\n"
                               "KORVAのデッキは .korva か .krv の名前で保存してください。"));
        return;
    }
    if (AskReplace_ && IsShownFile(chosen.filePath()) &&
        !AskReplace_(chosen.fileName() + QStringLiteral(" は既に存在します。\r\n上書きしますか？"))) {
        return;
    }
    QFileDialog::accept();
}

}  // namespace korva::platform
