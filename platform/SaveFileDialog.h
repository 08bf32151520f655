#pragma once

#include <functional>

#include <QFileDialog>

namespace korva::platform {

// The save dialog. Qt's own dialog accepts a name in a folder that does not
// exist; with the folder-must-exist flag this one refuses it, tells the user
// and stays open, as the Windows save dialog does. A word list's name is
// refused the same way before anything is asked: what it saves is a deck.
// Told to ask before replacing, it asks once about the file that would be
// written, the default ending added, and stays open on No.
class SaveFileDialog : public QFileDialog {
public:
    using Refusal = std::function<void(const QString& text)>;
    using Question = std::function<bool(const QString& text)>;  // true for Yes

    SaveFileDialog(QWidget* parent, bool pathMustExist, Refusal refuse);

    void AskBeforeReplacing(Question ask);
    void accept() override;

private:
    bool PathMustExist_;
    Refusal Refuse_;
    Question AskReplace_;
};

}  // namespace korva::platform
