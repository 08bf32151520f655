#include "platform/QtDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMessageBox>
#include <QTreeView>

#include "deck/PathText.h"
#include "platform/AddressLauncher.h"
#include "platform/DialogPath.h"
#include "platform/FileFilter.h"
#include "platform/MessageBox.h"
#include "platform/SaveFileDialog.h"
#include "platform/ScheduleSettingsDialog.h"
#include "platform/WordListPreview.h"

namespace korva::platform {

namespace {

MessageResult ToResult(int button) {
    switch (button) {
        case QMessageBox::Yes: return MessageResult::Yes;
        case QMessageBox::No: return MessageResult::No;
        case QMessageBox::Cancel: return MessageResult::Cancel;
        default: return MessageResult::Ok;
    }
}

void ApplyFilter(QFileDialog& dialog, const FileDialogRequest& request) {
    const QStringList filters = ToQtNameFilters(request.filter);
    // The labels already name their patterns; the case-free patterns would
    // only clutter them. Qt's own dialog then shows each label whole, up to
    // the patterns it hides.
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setNameFilters(filters);
    if (!filters.isEmpty()) {
        dialog.selectNameFilter(filters.value(request.selectedFilter, filters.first()));
    }
    if (!request.fileName.isEmpty()) {
        dialog.selectFile(request.fileName);
    }
}

// Qt's own dialog sizes its detail columns for English samples ("128.88 GB",
// "10/29/81 02:02PM"); Japanese sizes, types and dates run wider. Those
// columns take the width of what they show and the name column the rest.
// The dialog saves its column state for every Qt program of the user when it
// closes; they get back columns the user sizes, at these widths.
void FitColumnsToContents(QFileDialog& dialog) {
    auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!details) {
        return;  // the desktop's own dialog, which sizes its columns itself
    }
    QHeaderView* header = details->header();
    const bool stretchLast = header->stretchLastSection();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    QObject::connect(&dialog, &QDialog::finished, header, [header, stretchLast] {
        header->setSectionResizeMode(QHeaderView::Interactive);
        header->setStretchLastSection(stretchLast);
    });
}

}  // namespace

QtDialogs::QtDialogs(QWidget* parent) : Parent_(parent) {}

void QtDialogs::setParentWidget(QWidget* parent) { Parent_ = parent; }

// A box asked for while one of the program's modal windows is up, as the
// version window, stands over that window; any other over the main window,
// whichever window has the keyboard.
QWidget* QtDialogs::DialogParent() const {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        return modal;
    }
    if (Parent_) {
        return Parent_;
    }
    return QApplication::activeWindow();
}

MessageResult QtDialogs::Message(const QString& text, MessageButtons buttons, const QString& title) {
    QMessageBox box(DialogParent());
    PrepareMessageBox(box, text, buttons, title);
    return ToResult(box.exec());
}

int QtDialogs::ExecFileDialog(QFileDialog& dialog) { return dialog.exec(); }

std::optional<FileDialogResult> QtDialogs::RunFileDialog(QFileDialog& dialog, const FileDialogRequest& request) {
    // Always Qt's own dialog: a desktop's dialog, as GNOME's, cuts every
    // label at its first parenthesis, and asks about replacing a file before
    // the default ending is added, so about another file than the one saved.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    // A folder removed since it was chosen is no place to start.
    const bool lastFolderGone = LastFolder_.isEmpty() || !QDir(LastFolder_).exists();
    dialog.setDirectory(lastFolderGone ? QDir::currentPath() : LastFolder_);
    ApplyFilter(dialog, request);
    FitColumnsToContents(dialog);
    if (ExecFileDialog(dialog) != QDialog::Accepted) {
        return std::nullopt;
    }
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) {
        return std::nullopt;
    }
    const QFileInfo chosen(files.first());
    LastFolder_ = chosen.absolutePath();
    const std::optional<QString> path =
        ResolveDialogPath(files.first(), dialog.acceptMode() == QFileDialog::AcceptSave);
    if (!path) {
        Message(chosen.fileName() + QStringLiteral("\r\nファイルが見つかりません。\r\n"
                                                   "この名前で表示されるファイルがないか、いくつもあります。"),
                MessageButtons::Ok);
        return std::nullopt;
    }
    return FileDialogResult{*path, chosen.fileName()};
}

std::optional<FileDialogResult> QtDialogs::ShowOpen(const FileDialogRequest& request) {
    QFileDialog dialog(DialogParent());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode((request.flags & FileMustExist) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    return RunFileDialog(dialog, request);
}

std::optional<FileDialogResult> QtDialogs::ShowSave(const FileDialogRequest& request) {
    SaveFileDialog dialog(DialogParent(), request.flags & PathMustExist,
                          [this](const QString& text) { Message(text, MessageButtons::Ok); });
    if (request.flags & OverwritePrompt) {
        dialog.AskBeforeReplacing(
            [this](const QString& text) { return Message(text, MessageButtons::YesNo) == MessageResult::Yes; });
    }
    QString suffix = request.defaultExt;
    if (suffix.startsWith(u'.')) {
        suffix.remove(0, 1);
    }
    dialog.setDefaultSuffix(suffix);
    // A name typed without an ending takes the ending of the kind chosen.
    const QStringList filters = ToQtNameFilters(request.filter);
    const QStringList parts = request.filter.split(u'|');
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, filters, parts](const QString& chosen) {
        const qsizetype at = filters.indexOf(chosen);
        const QString pattern =
            at >= 0 && 2 * at + 1 < parts.size() ? parts[2 * at + 1].section(u';', 0, 0) : QString();
        if (pattern.startsWith(QStringLiteral("*.")) && pattern.lastIndexOf(u'*') == 0) {
            dialog.setDefaultSuffix(pattern.mid(2));
        }
    });
    return RunFileDialog(dialog, request);
}

std::optional<WordList> QtDialogs::ShowWordListPreview(const WordListPreviewRequest& request) {
    WordListPreview preview(request, DialogParent());
    // A first read cancelled is a cancelled open: there is nothing to show.
    if (!preview.hasRead() || preview.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return preview.takeList();
}

std::optional<ScheduleSettings> QtDialogs::ShowScheduleSettings(const ScheduleSettings& current) {
    ScheduleSettingsDialog dialog(current, DialogParent());
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.getSettings();
}

bool QtDialogs::ReadFile(const QString& fileName, const ReadWork& work) {
    return ReadInBackground(DialogParent(), ReadingLabel(fileName), work);
}

// The opener is run directly rather than through QDesktopServices, which
// reports only that the opener started, not that it found a program.
void QtDialogs::OpenAddress(const QString& address, std::function<void()> failed) {
    LaunchAddress(DesktopLauncher, address, [failed = std::move(failed)](bool opened) {
        if (!opened) {
            failed();
        }
    });
}

}  // namespace korva::platform
