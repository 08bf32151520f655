#pragma once

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "deck/CardData.h"
#include "document/DeckDocument.h"
#include "study/DueView.h"

namespace korva {

// The study state of one card window and its rules: card order, card
// selection under the view filter, check marks, question and answer items.
// frmCard derives from it, so these are the window's public methods, while a
// whole study cycle can run in a test without any widget. The deck is a
// document's, which other views may share: every change of it goes through
// the document, which tells them; the order of the cycle and the card on
// show are this engine's own.
//
// Index arguments that lie outside the deck throw std::out_of_range.
class StudyEngine {
public:
    // The text of the message NextCard shows before it falls back to all cards.
    static const std::string NoCardMessage;  // UTF-8

    // Without a document the engine studies an empty one of its own.
    explicit StudyEngine(std::shared_ptr<DeckDocument> document = std::make_shared<DeckDocument>());
    virtual ~StudyEngine();

    // The deck studied; it changes through the document only.
    const CardData& getCardData() const { return Document_->getCardData(); }
    const std::vector<int64_t>& getCardIds() const { return Document_->getCardIds(); }
    DeckDocument& getDocument() { return *Document_; }
    const DeckDocument& getDocument() const { return *Document_; }

    // Card order
    int16_t getTotal() const;
    void setCardCount(int16_t Value);
    int16_t getCardCount() const;
    void ResetCardTurn();
    void setCardTurn(int16_t Value);
    int16_t getCardTurn(int16_t CardCount) const;
    void RemoveCardTurn();
    void NormalTurn();
    void ShuffleTurn();
    void setTurnMode(uint8_t Mode);
    uint8_t getTurnMode() const;
    int16_t getShowCardIndex() const;

    // Card selection and check marks
    void setCheck(bool Value, int16_t QuestionItemIndex, int16_t CardIndex);
    bool isCheck(int16_t QuestionItemIndex, int16_t CardIndex) const;
    void setCheckLump(bool Value, int16_t QuestionItemIndex);
    void setViewKind(uint8_t Value);
    uint8_t getViewKind() const;
    bool isValidCard(int16_t StartNumber) const;
    bool isNextCard() const;
    // A new cycle from the first card; Start also draws it.
    void Restart();
    void Start();
    void NextCard();

    // Items, question and answer. getItem gives the code page 932 bytes.
    std::string getItem(int16_t QuestionItemIndex, int16_t CardIndex) const;
    void setQuestionItemIndex(int16_t CardIndex, int16_t Value);
    int16_t getQuestionItemIndex(int16_t CardIndex) const;
    int16_t getAnswerItemIndex(int16_t CardIndex) const;
    void setOpenItem(bool Value);
    bool isOpenItem() const;
    void setReversal(int16_t Index, bool Reset = false);
    void AllReversal();
    void setAnswerMode(uint8_t Mode);
    uint8_t getAnswerMode() const;

    // Tests make the shuffle repeatable.
    void setRandomSeed(uint64_t seed);

    // Another view inserted, removed or moved cards (any other change is
    // ignored): the cycle keeps dealing the same cards under their new
    // numbers, the cards removed leave it, and cards inserted join what is
    // still to come, before the first card to come that stands after them in
    // the deck. True when a card must be dealt: the card on show is gone, or
    // none was on show and now there are cards.
    bool FollowCards(const DeckChange& change);

    // The window's redraw of every control from this state; Start ends with it.
    virtual void FreshScreen() = 0;

protected:
    // Shows NoCardMessage modally (OK only) and returns when it is closed.
    virtual void ShowNoCardMessage(const std::string& text) = 0;

private:
    // What the dealing loop needs to answer isValidCard in constant time. It
    // is read afresh at the start of every NextCard and after the fall-back
    // to all cards, and never kept beyond one call: between calls the deck
    // may change through its document.
    struct FilterFacts {
        int total = 0;
        bool filtered = false;           // ViewKind 1 or 2, or the due view; anything else deals all
        const DuePasses* due = nullptr;  // in the due view, the cards it deals
        int lastPassing = -1;            // largest card index that passes
        int lastUnreadable = -1;         // largest card index whose mark cannot be read
    };

    FilterFacts ReadFilterFacts() const;
    bool isValidCardWith(const FilterFacts& facts, int16_t StartNumber) const;
    bool isNextCardWith(const FilterFacts& facts) const;
    bool DealtCardPasses(const FilterFacts& facts, int16_t card) const;
    // The due view's cards for the deck as it is today, worked out again only
    // when the deck or the day has changed since.
    const DuePasses& ReadDuePasses() const;
    StudyDays Today() const;
    void ResetCycle();
    void BeginCycle();
    bool DealToPassingCard();

    std::shared_ptr<DeckDocument> Document_;
    std::vector<int16_t> CardTurn_ = std::vector<int16_t>(1, 0);
    int16_t CardCount_ = 0;
    bool OpenItem_ = false;
    std::mt19937_64 Random_;
    struct DueCache {
        std::uint64_t revision = 0;
        std::int64_t todayStart = 0;
        bool valid = false;
        DuePasses due;
    };
    mutable DueCache Due_;
};

}  // namespace korva
