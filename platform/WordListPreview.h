#pragma once

#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include <QDialog>

#include "platform/BackgroundRead.h"
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
// read. Every change cuts the decoded text again (an encoding not read
// before is decoded first), never the file; a file that cannot be read so
// says why, and OK waits for a choice that reads. A large list is read in
// the background, with a progress window whose キャンセル goes back to the
// choice shown before.
class WordListPreview : public QDialog {
    Q_OBJECT

public:
    // The cards shown in the table; the count names them all.
    static constexpr int ShownCards = 20;

    // run reads the list; by default a large list in the background.
    explicit WordListPreview(const WordListPreviewRequest& request, QWidget* parent = nullptr, ReadRunner run = {});

    // The choices as they stand; replacement is always on.
    WordListOptions getOptions() const { return Options_; }
    // False when the first read was cancelled: there is nothing to show.
    bool hasRead() const { return Read_; }
    // The list as last shown, the cards OK opens; none while it cannot be read.
    std::optional<WordList> takeList() { return std::exchange(List_, std::nullopt); }

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

    // Reads the list with the choices; a change of encoding, separator or
    // quoting learns the fields the file now has too.
    void Reread(bool fieldsChanged);
    void ShowColumns(const std::vector<QString>& names);
    void ShowChoices();
    void ShowCards(const WordList& list);
    void ShowError(const QString& reason);

    std::shared_ptr<WordListSource> Source_;
    ReadRunner Run_;
    WordListOptions Options_;
    WordListOptions ShownOptions_;  // the choices the table shows
    std::optional<WordList> List_;
    bool Read_ = false;
};

}  // namespace korva::platform
