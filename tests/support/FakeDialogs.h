#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <QString>
#include <QTest>

#include "platform/Dialogs.h"

namespace korva::test {

// Answers every modal interaction from a script and records what was asked.
// A question the script has no answer for fails the test loudly instead of
// blocking on a real dialog.
class FakeDialogs : public platform::Dialogs {
public:
    struct MessageCall {
        QString text;
        platform::MessageButtons buttons;
        QString title;
    };
    // A preview as it was asked for, its bytes kept past the call.
    struct PreviewCall {
        QString fileName;
        std::string bytes;
        WordListFormat format;
        WordListOptions options;
    };

    std::deque<platform::MessageResult> messageAnswers;  // taken in order; OK boxes need none
    std::deque<std::optional<platform::FileDialogResult>> openAnswers;
    std::deque<std::optional<platform::FileDialogResult>> saveAnswers;
    // The options the preview is closed with: the list read with them is its answer.
    std::deque<std::optional<WordListOptions>> previewAnswers;
    std::deque<std::optional<ScheduleSettings>> settingsAnswers;
    bool cancelReads = false;  // every long read is cancelled before it starts
    // Runs as each long read ends, before the program takes what it read.
    std::function<void()> afterRead;
    bool openAddressSucceeds = true;
    // Runs while a message box is up, to look at the program at that moment.
    std::function<void()> whileMessageShown;
    // Set, a message box "stays up" running a nested event loop, as a real
    // modal box does, until this is true (after whileMessageShown): queued
    // calls and signals then run inside the box. At most 5 s.
    std::function<bool()> eventLoopUntil;

    std::vector<MessageCall> messages;
    std::vector<platform::FileDialogRequest> openRequests;
    std::vector<platform::FileDialogRequest> saveRequests;
    std::vector<PreviewCall> previews;
    std::vector<ScheduleSettings> settingsShown;
    std::vector<QString> reads;
    std::vector<QString> addresses;

    platform::MessageResult Message(const QString& text, platform::MessageButtons buttons,
                                    const QString& title) override {
        messages.push_back({text, buttons, title});
        if (whileMessageShown) {
            whileMessageShown();
        }
        if (eventLoopUntil) {
            RunEventLoop();
        }
        if (buttons == platform::MessageButtons::Ok) {
            return platform::MessageResult::Ok;
        }
        return Take(messageAnswers, "message box");
    }
    std::optional<platform::FileDialogResult> ShowOpen(const platform::FileDialogRequest& r) override {
        openRequests.push_back(r);
        return Take(openAnswers, "open dialog");
    }
    std::optional<platform::FileDialogResult> ShowSave(const platform::FileDialogRequest& r) override {
        saveRequests.push_back(r);
        return Take(saveAnswers, "save dialog");
    }
    std::optional<WordList> ShowWordListPreview(const platform::WordListPreviewRequest& r) override {
        previews.push_back({r.fileName, std::string(r.source->getBytes()), r.source->getFormat(), r.options});
        const std::optional<WordListOptions> answer = Take(previewAnswers, "word-list preview");
        if (!answer) {
            return std::nullopt;
        }
        return r.source->Read(*answer);
    }
    std::optional<ScheduleSettings> ShowScheduleSettings(const ScheduleSettings& current) override {
        settingsShown.push_back(current);
        return Take(settingsAnswers, "schedule settings");
    }
    bool ReadFile(const QString& fileName, const platform::ReadWork& work) override {
        reads.push_back(fileName);
        const bool done = !cancelReads && platform::ReadAtOnce(work);
        if (afterRead) {
            afterRead();
        }
        return done;
    }
    void OpenAddress(const QString& address, std::function<void()> failed) override {
        addresses.push_back(address);
        if (!openAddressSucceeds) {
            failed();
        }
    }

private:
    void RunEventLoop() {
        if (!QTest::qWaitFor(eventLoopUntil, 5000)) {
            throw std::logic_error("the event loop never reached what the test waits for");
        }
    }

    template <typename T>
    static T Take(std::deque<T>& answers, const char* what) {
        if (answers.empty()) {
            throw std::logic_error(std::string("unscripted ") + what);
        }
        T answer = std::move(answers.front());
        answers.pop_front();
        return answer;
    }
};

}  // namespace korva::test
