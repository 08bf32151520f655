#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/Dialogs.h"

namespace korva::platform {

// The running program's dialogs: QMessageBox without icon, QFileDialog and
// the desktop's opener for addresses.
class QtDialogs : public Dialogs {
public:
    // parent centres the dialogs over a window; it may be set later.
    explicit QtDialogs(QWidget* parent = nullptr);
    void setParentWidget(QWidget* parent);

    MessageResult Message(const QString& text, MessageButtons buttons, const QString& title = AppTitle) override;
    std::optional<FileDialogResult> ShowOpen(const FileDialogRequest& request) override;
    std::optional<FileDialogResult> ShowSave(const FileDialogRequest& request) override;
    void OpenAddress(const QString& address, std::function<void()> failed) override;

private:
    QWidget* DialogParent() const;

    QPointer<QWidget> Parent_;
};

}  // namespace korva::platform
