#pragma once

#include <memory>

#include <QString>

#include "document/DeckDocument.h"
#include "document/DeckEdits.h"

namespace korva {

// One open deck as the program holds it: its document and its undo
// history, made together as the deck opens, so that undo reaches back to
// the deck as read and the history's clean point is that deck. The frame
// keeps one for each card window; every view of the deck holds it.
class DeckSession {
public:
    explicit DeckSession(std::shared_ptr<DeckDocument> document);

    // The name of a deck that has no file yet.
    static QString UntitledName();

    DeckDocument& getDocument() const { return *Document_; }
    // For a view that studies the deck (the card window's engine).
    const std::shared_ptr<DeckDocument>& getSharedDocument() const { return Document_; }
    const std::shared_ptr<DeckEdits>& getHistory() const { return History_; }
    // The deck as windows name it: its file's name, or UntitledName().
    QString getDisplayName() const;

private:
    std::shared_ptr<DeckDocument> Document_;
    std::shared_ptr<DeckEdits> History_;
};

}  // namespace korva
