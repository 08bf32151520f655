#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/Dialogs.h"

class QFileDialog;

namespace korva::platform {

// The running program's dialogs: QMessageBox without icon, QFileDialog and
// the desktop's opener for addresses. Every file dialog starts in the folder
// where the user last chose a file, as the Windows common dialogs do, and in
// the working directory until then.
class QtDialogs : public Dialogs {
public:
    // parent centres the dialogs over a window; it may be set later.
    explicit QtDialogs(QWidget* parent = nullptr);
    void setParentWidget(QWidget* parent);

    MessageResult Message(const QString& text, MessageButtons buttons, const QString& title = AppTitle) override;
    std::optional<FileDialogResult> ShowOpen(const FileDialogRequest& request) override;
    std::optional<FileDialogResult> ShowSave(const FileDialogRequest& request) override;
    std::optional<WordList> ShowWordListPreview(const WordListPreviewRequest& request) override;
    std::optional<ScheduleSettings> ShowScheduleSettings(const ScheduleSettings& current) override;
    bool ReadFile(const QString& fileName, const ReadWork& work) override;
    void OpenAddress(const QString& address, std::function<void()> failed) override;

protected:
    // Runs a file dialog modally; tests answer in its place.
    virtual int ExecFileDialog(QFileDialog& dialog);

private:
    QWidget* DialogParent() const;
    std::optional<FileDialogResult> RunFileDialog(QFileDialog& dialog, const FileDialogRequest& request);

    QPointer<QWidget> Parent_;
    // The folder of the file last chosen in any of the program's file
    // dialogs; empty until one is chosen.
    QString LastFolder_;
};

}  // namespace korva::platform
