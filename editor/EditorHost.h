#pragma once

namespace korva {

class DeckSession;

// What a card editor asks of the program beyond its deck's cards: the file
// commands, which ask and report exactly as the card window's own do.
class EditorHost {
public:
    virtual void NewDeck() = 0;
    virtual void SaveDeck(const DeckSession& session) = 0;
    virtual void SaveDeckAs(const DeckSession& session) = 0;

protected:
    EditorHost() = default;
    EditorHost(const EditorHost&) = default;
    EditorHost& operator=(const EditorHost&) = default;
    ~EditorHost() = default;
};

}  // namespace korva
