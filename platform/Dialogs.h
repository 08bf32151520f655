#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QString>

#include "deck/CardMemory.h"
#include "deck/WordList.h"
#include "deck/WordListSource.h"
#include "platform/BackgroundRead.h"

namespace korva::platform {

// The application title that every message box carries unless told otherwise.
inline const QString AppTitle = QStringLiteral("KORVA!!");

// Yes is the default unless the name says No; Escape and the close box give
// No, Cancel, No, and for YesNoOrLater Cancel, which decides nothing.
enum class MessageButtons { Ok, YesNo, YesNoCancel, YesNoDefaultNo, YesNoOrLater };
enum class MessageResult { Ok, Yes, No, Cancel };

// Common file-dialog flag values as the deck file commands pass them.
inline constexpr int FileMustExist = 0x1000;
inline constexpr int OverwritePrompt = 0x2;
inline constexpr int HideReadOnly = 0x4;
inline constexpr int PathMustExist = 0x800;

struct FileDialogRequest {
    QString fileName;    // the name the dialog starts from
    QString filter;      // "label|pattern|label|pattern", patterns joined by ';'
    int flags = 0;       // the flag values above
    QString defaultExt;  // appended to a typed name without one; empty for none
    // The entry of filter selected at first; in a save dialog, a typed name
    // without an ending takes the selected entry's.
    int selectedFilter = 0;
};

struct FileDialogResult {
    QString path;   // the chosen full path
    QString title;  // the chosen file's name without its folder
};

// A word list that is not read by the classic rules, before it becomes a deck.
struct WordListPreviewRequest {
    QString fileName;                        // the file's name without its folder
    std::shared_ptr<WordListSource> source;  // the whole file as read, and what its bytes say of themselves
    WordListOptions options;                 // what the preview starts from
};

// Every modal interaction of the program goes through this seam: the Qt
// implementation for the running program, a scripted fake in tests.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A modal message box without icon; returns the button chosen.
    virtual MessageResult Message(const QString& text, MessageButtons buttons, const QString& title = AppTitle) = 0;
    // The open and save dialogs; nullopt when the user cancels.
    virtual std::optional<FileDialogResult> ShowOpen(const FileDialogRequest& request) = 0;
    virtual std::optional<FileDialogResult> ShowSave(const FileDialogRequest& request) = 0;
    // Shows how a word list will be read and lets the user change it; the
    // list as last shown, or nullopt when the user cancels.
    virtual std::optional<WordList> ShowWordListPreview(const WordListPreviewRequest& request) = 0;
    // How a deck is scheduled, starting from current; nullopt when the user
    // cancels.
    virtual std::optional<ScheduleSettings> ShowScheduleSettings(const ScheduleSettings& current) = 0;
    // Runs the read of fileName, which may take seconds, keeping the
    // windows drawn; false when the user cancels it.
    virtual bool ReadFile(const QString& fileName, const ReadWork& work) = 0;
    // Hands an address (web page, local file, "mailto:") to the desktop and
    // returns without waiting; failed is called once, now or later from the
    // event loop, when nothing could open it.
    virtual void OpenAddress(const QString& address, std::function<void()> failed) = 0;
};

}  // namespace korva::platform
