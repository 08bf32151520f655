#pragma once

#include <utility>

#include <QString>

#include "platform/Dialogs.h"

namespace korva::render {

// Writes a CSV deck given in UTF-8 as the code page 932 file the program
// reads; false when the text or the file cannot be written.
bool WriteSampleDeck(const QString& path, const char* utf8Csv);

// The pictures' dialogs: File > Open chooses the one sample deck under the
// name the card window's caption shows, and every other question is
// answered with OK or Cancel.
class SampleDeckDialogs : public platform::Dialogs {
public:
    SampleDeckDialogs(QString path, QString title) : Path_(std::move(path)), Title_(std::move(title)) {}

    platform::MessageResult Message(const QString&, platform::MessageButtons, const QString&) override {
        return platform::MessageResult::Ok;
    }
    std::optional<platform::FileDialogResult> ShowOpen(const platform::FileDialogRequest&) override {
        return platform::FileDialogResult{Path_, Title_};
    }
    std::optional<platform::FileDialogResult> ShowSave(const platform::FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<WordList> ShowWordListPreview(const platform::WordListPreviewRequest& request) override {
        return request.source->Read(request.options);
    }
    std::optional<ScheduleSettings> ShowScheduleSettings(const ScheduleSettings&) override { return std::nullopt; }
    bool ReadFile(const QString&, const platform::ReadWork& work) override { return platform::ReadAtOnce(work); }
    void OpenAddress(const QString&, std::function<void()> failed) override { failed(); }

private:
    QString Path_;
    QString Title_;
};

}  // namespace korva::render
