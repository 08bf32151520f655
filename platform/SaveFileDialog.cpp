#include "platform/SaveFileDialog.h"

#include <QDir>
#include <QFileInfo>

namespace korva::platform {

SaveFileDialog::SaveFileDialog(QWidget* parent, bool pathMustExist, Refusal refuse)
    : QFileDialog(parent), PathMustExist_(pathMustExist), Refuse_(std::move(refuse)) {
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
}

void SaveFileDialog::accept() {
    const QStringList files = selectedFiles();
    if (PathMustExist_ && !files.isEmpty()) {
        const QFileInfo chosen(files.first());
        // A typed folder name is for the dialog itself to open.
        if (!chosen.isDir() && !chosen.dir().exists()) {
            Refuse_(QDir::toNativeSeparators(chosen.path()) + QStringLiteral("\r\n") +
                    QStringLiteral("フォルダが見つかりません。\r\nフォルダの名前を確かめてください。"));
            return;
        }
    }
    QFileDialog::accept();
}

}  // namespace korva::platform
