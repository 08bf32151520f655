#pragma once

#include <string_view>

#include <QDialog>

#include "platform/Dialogs.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;
class QVBoxLayout;

namespace korva::platform {

// How a word list will become cards, before it does: what was detected of
// the file, each choice changeable, and the first cards as they will be
// read. Every change reads the file again; a file that cannot be read so
// says why, and OK waits for a choice that reads.
class WordListPreview : public QDialog {
    Q_OBJECT

public:
    // The cards shown in the table; the count names them all.
    static constexpr int ShownCards = 20;

    explicit WordListPreview(const WordListPreviewRequest& request, QWidget* parent = nullptr);

    // The choices as they stand; replacement is always on.
    WordListOptions getOptions() const { return Options_; }

    // The controls, under the names tests drive them by.
    QLabel* lblFile = nullptr;
    QComboBox* cboEncoding = nullptr;
    QLabel* lblBom = nullptr;
    QLabel* lblLineEnd = nullptr;
    QComboBox* cboSeparator = nullptr;
    QComboBox* cboQuoting = nullptr;
    QCheckBox* chkHeader = nullptr;
    QComboBox* cboItem1 = nullptr;
    QComboBox* cboItem2 = nullptr;
    QLabel* lblError = nullptr;
    QTableWidget* grdCards = nullptr;
    QLabel* lblCount = nullptr;
    QLabel* lblReplaced = nullptr;
    QLabel* lblDirectives = nullptr;
    QLabel* lblEquivalents = nullptr;  // equivalents, and the invisible characters dropped
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls(const QString& fileName);
    QWidget* BuildFormatBox();
    QWidget* BuildColumnsBox();
    void BuildButtons(QVBoxLayout& layout);
    void ConnectControls();
    void ShowFormat(const WordListFormat& format);

    // Reads the file with the choices; a change of encoding, separator or
    // quoting first learns the fields the file now has.
    void Reread(bool fieldsChanged);
    void LearnFields();
    void ShowCards(const WordList& list);
    void ShowError(const QString& reason);

    std::string_view Bytes_;
    WordListOptions Options_;
};

}  // namespace korva::platform
