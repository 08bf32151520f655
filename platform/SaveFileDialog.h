#pragma once

#include <functional>

#include <QFileDialog>

namespace korva::platform {

// The save dialog. Qt's own dialog accepts a name in a folder that does not
// exist; with the folder-must-exist flag this one refuses it, tells the user
// and stays open, as the Windows save dialog does.
class SaveFileDialog : public QFileDialog {
public:
    using Refusal = std::function<void(const QString& text)>;

    SaveFileDialog(QWidget* parent, bool pathMustExist, Refusal refuse);

    void accept() override;

private:
    bool PathMustExist_;
    Refusal Refuse_;
};

}  // namespace korva::platform
