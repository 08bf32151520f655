#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include <QList>
#include <QString>
#include <QWidget>

#include "document/DeckDocument.h"
#include "study/StudyEngine.h"

class QAction;
class QCloseEvent;
class QEvent;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMdiSubWindow;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace korva {

class CardWindowHost;
class RecoveryKeeper;
class RecoveryStore;
namespace platform {
class Dialogs;
struct FileDialogResult;
}  // namespace platform

// The study window of one deck document. The study engine's methods are its
// public methods; every command changes state through them and then redraws
// the whole window with FreshScreen, so no control holds state of its own.
// The deck, its file and its edited flag are the document's; while the deck
// is edited a recovery copy of it follows the document. A change that
// another view makes through the document is drawn at once.
class frmCard : public QWidget, public StudyEngine, private DeckListener {
    Q_OBJECT

public:
    // What the file dialogs give back when the user cancels.
    static const QString CancelMarker;

    // Without a document the window shows an empty one of its own; without a
    // store it keeps no recovery copy.
    frmCard(platform::Dialogs& dialogs, CardWindowHost& host, std::shared_ptr<DeckDocument> document = nullptr,
            RecoveryStore* recovery = nullptr, QWidget* parent = nullptr);
    ~frmCard() override;

    // Life cycle and the File and Help menus. The frame creates and places
    // the windows, each on a document it hands over.
    // Gives the focus to the first control that takes it, as a window just
    // put on screen does.
    void FocusFirstControl();
    QList<QMenu*> MenuBarMenus() const;
    bool Form_QueryUnload();
    void CloseWithoutAsking();
    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    void mnuFileSeries_Click();
    void mnuFileClose_Click();
    void mnuFileSave_Click();
    void mnuFileSaveAs_Click();
    void mnuFileExit_Click();
    void mnuHelpHelp_Click();
    void mnuHelpSample_Click();
    void mnuHelpVesion_Click();

    // The screen
    void FreshScreen() override;
    void FreshMenuList();

    // Study commands
    void cmdOpen_Click();
    void cmdOpen_KeyPress();
    void cmdAnswer_Click();
    void txtAnswer_GotFocus();
    void cmdCheck_Click();
    void cmdRecheck_Click();
    void cmdCheck_KeyDown(int16_t& KeyCode, int16_t& Shift);
    void cmdRecheck_KeyDown(int16_t& KeyCode, int16_t& Shift);
    void ProgressKeyboard(int16_t& KeyCode, int16_t& Shift);
    void mnuFunctionTurnNormal_Click();
    void mnuFunctionTurnShuffle_Click();
    void mnuFunctionAnswerNormal_Click();
    void mnuFunctionAnswerTest_Click();
    void mnuFunctionReversalAll_Click();
    void mnuFunctionReversalPersonal_Click();
    void mnuFunctionLumpCheck_Click();
    void mnuFunctionLumpNatural_Click();
    // The frame opens the deck's card editor, one per deck.
    void mnuFunctionEdit_Click();
    // The study record and the schedule's settings, which only a deck that
    // keeps a record (.korva) has.
    void mnuFunctionRecord_Click();
    void mnuFunctionSettings_Click();
    void mnuViewCardAll_Click();
    void mnuViewCardCheck_Click();
    void mnuViewCardNatural_Click();
    void mnuViewCardDue_Click();

    // Deck file operations, through the document. The commands that read or
    // write a file show their own failure messages and report whether the
    // file was read or written; a failure changes neither the deck nor the
    // file fields.
    QString getOpenPath();
    // The save dialog's path, or CancelMarker; preferKorva selects the .korva
    // filter even for a .krv deck.
    QString getSavePath(bool preferKorva = false);
    bool FileOpen(bool DataKeep);
    bool FileOpenFrom(const QString& Path);
    bool isFilePath() const;
    bool NewFileSave(bool preferKorva = false);
    bool FileSave();
    bool isCSVFile() const;
    void setFilePath(const QString& Path) { getDocument().setFilePath(Path); }
    QString getFilePath() const { return getDocument().getFilePath(); }
    // While the deck is edited the window keeps a recovery copy of it; a
    // save or a close removes the copy.
    bool getEditedFlag() const { return getDocument().getEditedFlag(); }
    void setFileName(const QString& FileName) { getDocument().setFileName(FileName); }
    QString getFileName() const { return getDocument().getFileName(); }
    // Writes the recovery copy of an edited deck at once: the program is
    // about to end.
    void WriteRecoveryCopyNow();
    // Returns once the copy asked for last is on disk (true) or has failed.
    bool WaitForRecoveryCopy();
    // A window restored over a file written since its copy: the first
    // overwrite asks, and a No goes on to the save dialog.
    bool isOverwriteAsked() const { return getDocument().isOverwriteAsked(); }

    // The controls, under the names the commands use; tests drive them.
    std::array<QGroupBox*, 2> Frame1{};
    std::array<QPlainTextEdit*, 2> txtItem{};
    QLabel* lblCount = nullptr;
    QLabel* lblCheck = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QPushButton* cmdOpen = nullptr;
    QPushButton* cmdCheck = nullptr;
    QPushButton* cmdRecheck = nullptr;
    QGroupBox* frmTestMode = nullptr;
    QLabel* lblUserAnswer = nullptr;
    QLineEdit* txtAnswer = nullptr;
    QPushButton* cmdAnswer = nullptr;

    QMenu* mnuFile = nullptr;
    QAction* mnuFileNew = nullptr;
    QAction* mnuFileOpen = nullptr;
    QAction* mnuFileSeries = nullptr;
    QAction* mnuFileClose = nullptr;
    QAction* mnuFileSaveAs = nullptr;
    QAction* mnuFileSave = nullptr;
    QAction* mnuFileExit = nullptr;
    QMenu* mnuFunction = nullptr;
    QMenu* mnuFunctionTurn = nullptr;
    QAction* mnuFunctionTurnNormal = nullptr;
    QAction* mnuFunctionTurnShuffle = nullptr;
    QMenu* mnuFunctionAnswer = nullptr;
    QAction* mnuFunctionAnswerNormal = nullptr;
    QAction* mnuFunctionAnswerTest = nullptr;
    QMenu* mnuFunctionReversal = nullptr;
    QAction* mnuFunctionReversalAll = nullptr;
    QAction* mnuFunctionReversalPersonal = nullptr;
    QMenu* mnuFunctionLump = nullptr;
    QAction* mnuFunctionLumpCheck = nullptr;
    QAction* mnuFunctionLumpNatural = nullptr;
    QAction* mnuFunctionEdit = nullptr;
    QAction* mnuFunctionRecord = nullptr;
    QAction* mnuFunctionSettings = nullptr;
    QMenu* mnuView = nullptr;
    QMenu* mnuViewCard = nullptr;
    QAction* mnuViewCardAll = nullptr;
    QAction* mnuViewCardCheck = nullptr;
    QAction* mnuViewCardNatural = nullptr;
    QAction* mnuViewCardDue = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuHelpHelp = nullptr;
    QAction* mnuHelpSample = nullptr;
    QAction* mnuHelpVesion = nullptr;

protected:
    void ShowNoCardMessage(const std::string& text) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void DeckChanged(const DeckChange& change) override;
    void DeckActionEnded() override;
    // Shows what the deck's notices asked for: once for each action.
    void React();
    bool HoldsFocus() const;
    void BuildControls();
    void BuildMenus();
    void ConnectControls();
    void ConnectMenus();
    bool isCardOnShow() const;
    void EnableControl(QWidget* control, bool enabled);
    void MarkAndNext(bool checked);
    void LumpMark(bool checked);
    void ChangeTurnMode(uint8_t mode);
    void ApplyFilter(uint8_t viewKind);
    // For a command that needs a study record: true for a deck that keeps
    // one, else what offers to save the deck as .korva, true once it is.
    bool KeepsRecordOrSavedAsKorva(const QString& command);
    void TrackComposition(const QEvent& event);
    QMdiSubWindow* SubWindow() const;
    QString ItemText(int16_t itemIndex, int16_t CardIndex) const;
    void ShowMessage(const QString& text);
    void ShowOpenFailure(const QString& name, const QString& reason);
    std::optional<platform::FileDialogResult> ChooseOpenFile();
    bool ReadDeckFile(const QString& Path, const QString& FileName, bool DataKeep);
    bool ReportSave(const DeckResult& result);
    DeckDocument::WordListChooser WordListChooser(std::optional<ItemEncoding> into);
    void RemoveRecoveryCopy();
    bool MayOverwriteOriginal();
    bool MayDropRecord(const QString& path);
    std::optional<bool> MayLoseCharacters(const QString& path);
    // Losses a save's question names one by one; the rest it counts.
    static constexpr std::size_t ListedLosses = 10;

    platform::Dialogs& Dialogs_;
    CardWindowHost& Host_;
    bool ClosingWithoutAsking_ = false;
    bool Composing_ = false;  // an input method holds a proposal in txtAnswer
    // What the deck's notices ask of the screen, gathered until the action
    // that made them ends: a group, or a change told on its own.
    struct Reaction {
        bool restart = false;  // a deck read anew deals from the start
        bool deal = false;     // the card on show went, or the first came
        bool draw = false;
    };
    Reaction Pending_;
    // The card a typed answer was last judged for, by its id, and the verdict.
    std::optional<std::pair<int64_t, bool>> Judged_;
    bool Reacting_ = false;  // what the reaction itself changes, it draws
    std::unique_ptr<RecoveryKeeper> Recovery_;
};

}  // namespace korva
