// The editor's undoable changes, against a plain list of cards that keeps a
// whole copy for every step: random edits must leave both the same after
// every step, and undoing them all must give back the deck's very bytes.
#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "deck/DeckError.h"
#include "deck/DeckRecord.h"
#include "document/DeckEdits.h"

using namespace korva;

namespace {

using Cards = std::vector<CardSlot>;

CardData DeckOf(const Cards& cards) {
    CardData deck;
    deck.Items.front() = {"", "slot", "zero"};  // slot 0 must come through untouched
    deck.Checks.front() = {7, 0, -1};
    for (const CardSlot& card : cards) {
        deck.Items.push_back(card.items);
        deck.Checks.push_back(card.checks);
        deck.QuestionItems.push_back(card.questionItem);
    }
    deck.Modes = ImportedModes;
    return deck;
}

Cards CardsOf(const CardData& deck) {
    Cards cards;
    for (int card = 1; card <= deck.Total(); ++card) {
        const auto at = static_cast<std::size_t>(card);
        cards.push_back({deck.Items[at], deck.Checks[at], deck.QuestionItems[at]});
    }
    return cards;
}

// A starting deck with what files hold and the editor never writes: bytes
// that are not code page 932, marks other than -1, an asked item of 0.
Cards Starting(int count) {
    Cards cards;
    for (int card = 1; card <= count; ++card) {
        cards.push_back({{"", "q" + std::to_string(card), "\x81\xff" + std::to_string(card)},
                         {0, static_cast<int16_t>(card % 3 == 0 ? 5 : 0), 0},
                         static_cast<int16_t>(card % 4 == 0 ? 0 : 1 + card % 2)});
    }
    return cards;
}

// The plain list with a whole copy of it for every step.
struct Model {
    Cards cards;
    std::vector<Cards> done;
    std::vector<Cards> undone;

    void Step(Cards next, bool changed) {
        if (changed) {
            done.push_back(cards);
            undone.clear();
            cards = std::move(next);
        }
    }
};

std::vector<int16_t> Pick(std::mt19937& random, int total, int most) {
    std::vector<int16_t> picked(static_cast<std::size_t>(std::uniform_int_distribution<int>(1, most)(random)));
    for (int16_t& card : picked) {
        card = static_cast<int16_t>(std::uniform_int_distribution<int>(1, total)(random));
    }
    return picked;
}

// The plain model's move: each card of the selection one place along unless
// the place beyond is the end or another selected card that cannot move.
// Whether any moved, since two cards may be alike.
bool Move(Cards& cards, std::vector<int16_t> picked, int by) {
    bool moved = false;
    std::sort(picked.begin(), picked.end());
    picked.erase(std::unique(picked.begin(), picked.end()), picked.end());
    std::vector<bool> selected(cards.size() + 2, false);
    for (const int16_t card : picked) {
        selected[static_cast<std::size_t>(card)] = true;
    }
    const int total = static_cast<int>(cards.size());
    for (int i = 0; i < total; ++i) {
        const int card = by < 0 ? 1 + i : total - i;
        const int into = card + by;
        if (selected[static_cast<std::size_t>(card)] && into >= 1 && into <= total &&
            !selected[static_cast<std::size_t>(into)]) {
            std::swap(cards[static_cast<std::size_t>(card - 1)], cards[static_cast<std::size_t>(into - 1)]);
            selected[static_cast<std::size_t>(card)] = false;
            selected[static_cast<std::size_t>(into)] = true;
            moved = true;
        }
    }
    return moved;
}

void RandomStep(std::mt19937& random, DeckEdits& edits, Model& model) {
    const int total = static_cast<int>(model.cards.size());
    const int choice = std::uniform_int_distribution<int>(0, total == 0 ? 1 : 9)(random);
    const auto card = static_cast<int16_t>(std::uniform_int_distribution<int>(1, std::max(total, 1))(random));
    Cards next = model.cards;
    bool changed = true;
    const auto slot = [&next, card]() -> CardSlot& {
        return next[static_cast<std::size_t>(card - 1)];
    };
    switch (choice) {
        case 0:
        case 1: {  // insert (a paste of up to three cards)
            const auto at = static_cast<int16_t>(std::uniform_int_distribution<int>(1, total + 1)(random));
            Cards pasted(static_cast<std::size_t>(std::uniform_int_distribution<int>(1, 3)(random)));
            for (CardSlot& one : pasted) {
                one.items[1] = "p" + std::to_string(random() % 100);
            }
            next.insert(next.begin() + (at - 1), pasted.begin(), pasted.end());
            edits.Insert(at, pasted);
            break;
        }
        case 2: {
            const auto item = static_cast<int16_t>(1 + random() % 2);
            std::string text = random() % 5 == 0 ? slot().items[static_cast<std::size_t>(item)]
                                                 : "t" + std::to_string(random() % 50) + "\r\n\x82\xa0";
            changed = slot().items[static_cast<std::size_t>(item)] != text;
            slot().items[static_cast<std::size_t>(item)] = text;
            edits.setText(card, item, text);
            break;
        }
        case 3: {
            const auto item = static_cast<int16_t>(1 + random() % 2);
            auto& mark = slot().checks[static_cast<std::size_t>(item)];
            mark = mark != 0 ? 0 : -1;
            edits.ToggleCheck(card, item);
            break;
        }
        case 4:
            slot().questionItem = slot().questionItem == 1 ? 2 : 1;
            edits.ToggleQuestionItem(card);
            break;
        case 5: {
            const auto picked = Pick(random, total, 4);
            for (int i = total; i >= 1; --i) {
                if (std::find(picked.begin(), picked.end(), i) != picked.end()) {
                    next.erase(next.begin() + (i - 1));
                }
            }
            edits.Remove(picked);
            break;
        }
        case 6:
        case 7: {
            const auto picked = Pick(random, total, 3);
            if (choice == 6) {
                changed = Move(next, picked, -1);
                edits.MoveUp(picked);
            } else {
                changed = Move(next, picked, 1);
                edits.MoveDown(picked);
            }
            break;
        }
        case 8:
            if (!model.done.empty()) {
                model.undone.push_back(model.cards);
                model.cards = model.done.back();
                model.done.pop_back();
            }
            edits.Undo();
            return;
        default:
            if (!model.undone.empty()) {
                model.done.push_back(model.cards);
                model.cards = model.undone.back();
                model.undone.pop_back();
            }
            edits.Redo();
            return;
    }
    model.Step(std::move(next), changed);
}

TEST(DeckEditsTest, RandomEditsMatchAPlainListAndUndoGivesBackTheDeckBytes) {
    for (const unsigned seed : {1U, 2U, 3U, 4U, 5U, 6U, 7U, 8U}) {
        const CardData original = DeckOf(Starting(static_cast<int>(seed % 4) * 3));
        auto document = std::make_shared<DeckDocument>(original);
        DeckEdits edits(document);
        Model model{CardsOf(original), {}, {}};
        std::mt19937 random(seed);
        for (int step = 0; step < 300; ++step) {
            RandomStep(random, edits, model);
            ASSERT_EQ(CardsOf(document->getCardData()), model.cards) << "seed " << seed << ", step " << step;
            ASSERT_EQ(edits.CanUndo(), !model.done.empty()) << "seed " << seed << ", step " << step;
            ASSERT_EQ(edits.CanRedo(), !model.undone.empty()) << "seed " << seed << ", step " << step;
        }
        while (edits.CanUndo()) {
            edits.Undo();
        }
        EXPECT_EQ(WriteDeckRecord(document->getCardData()), WriteDeckRecord(original)) << "seed " << seed;
    }
}

TEST(DeckEditsTest, TheHistoryKeepsToWhatItCanStillUndo) {
    struct Case {
        const char* what;
        std::function<void(DeckDocument&)> elsewhere;  // another view, after the editor's text edit
        bool historyKept;
        std::vector<std::string> afterUndo;  // item 1 of cards 1..3
    };
    const std::vector<Case> cases = {
        {"a mark", [](DeckDocument& d) { d.setCheck(true, 1, 1); }, true, {"q1", "q2", "q3"}},
        {"a reversal", [](DeckDocument& d) { d.AllReversal(); }, true, {"q1", "q2", "q3"}},
        {"the modes", [](DeckDocument& d) { d.setViewKind(ViewChecked); }, true, {"q1", "q2", "q3"}},
        {"cards appended", [](DeckDocument& d) { d.InsertCards(4, 1); }, false, {"fixed", "q2", "q3", ""}},
        {"a card removed", [](DeckDocument& d) { d.RemoveCards(3, 1); }, false, {"fixed", "q2"}},
        {"a deck read anew", [](DeckDocument& d) { d.Replace(DeckOf(Starting(3))); }, false, {"q1", "q2", "q3"}},
    };
    for (const Case& c : cases) {
        auto document = std::make_shared<DeckDocument>(DeckOf(Starting(3)));
        DeckEdits edits(document);
        edits.setText(1, 1, "fixed");
        c.elsewhere(*document);
        EXPECT_EQ(edits.CanUndo(), c.historyKept) << c.what;
        edits.Undo();
        std::vector<std::string> items;
        for (const CardSlot& card : CardsOf(document->getCardData())) {
            items.push_back(card.items[1]);
        }
        EXPECT_EQ(items, c.afterUndo) << c.what;
        // The other view's mark survives the undo of the text.
        if (std::string(c.what) == "a mark") {
            EXPECT_EQ(document->getCardData().Checks[1][1], True16);
        }
    }
}

TEST(DeckEditsTest, RefusedEditsChangeNothingAndEveryStepMarksTheDeckEdited) {
    const CardData original = DeckOf(Starting(2));
    auto document = std::make_shared<DeckDocument>(original);
    DeckEdits edits(document);
    EXPECT_THROW(edits.setText(1, 1, std::string(MaxItemBytes + 1, 'x')), DeckError);
    EXPECT_THROW(edits.Insert(1, Cards(MaxCards - 1)), DeckError);
    EXPECT_THROW(edits.Insert(4, Cards(1)), std::out_of_range);
    EXPECT_THROW(edits.ToggleCheck(3, 1), std::out_of_range);
    EXPECT_THROW(edits.setText(1, 0, "slot zero"), std::out_of_range);
    EXPECT_THROW(edits.MoveUp({1, 5}), std::out_of_range);
    EXPECT_EQ(WriteDeckRecord(document->getCardData()), WriteDeckRecord(original));
    EXPECT_FALSE(document->getEditedFlag());
    EXPECT_FALSE(edits.CanUndo());

    edits.setText(2, 2, std::string(MaxItemBytes, 'x'));
    EXPECT_TRUE(document->getEditedFlag());
    document->setEditedFlag(false);  // saved
    edits.Undo();
    EXPECT_TRUE(document->getEditedFlag());
    EXPECT_EQ(edits.MoveUp({1}), std::vector<int16_t>{1});
    EXPECT_FALSE(edits.CanUndo());  // nothing moved, nothing to undo
}

// The deck counts as edited exactly while it differs from the state it was
// opened or last saved in, as far as the history can tell: each letter is a
// step (e edit, u undo, r redo, s save, m a mark set elsewhere), each flag the
// edited flag after it.
TEST(DeckEditsTest, UndoBackToTheSavedStateLeavesTheDeckUnedited) {
    const struct {
        const char* steps;
        const char* edited;  // 1 or 0 after each step
    } cases[] = {
        {"euru", "1010"},                            // back to the opened deck, and forward again
        {"eesuurr", "1101110"}, {"esueu", "10111"},  // the saved state lost with the steps undone
        {"emu", "111"},                              // a change elsewhere: no way back
        {"emsue", "11011"},                          // saved after it, a new clean point
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.steps);
        auto document = std::make_shared<DeckDocument>(DeckOf(Starting(3)));
        DeckEdits edits(document);
        int told = 0;
        edits.setAvailabilityListener([&] { ++told; });
        int texts = 0;
        for (std::size_t i = 0; c.steps[i] != '\0'; ++i) {
            const int toldBefore = told;
            switch (c.steps[i]) {
                case 'e': edits.setText(1, 1, "text " + std::to_string(++texts)); break;
                case 'u': edits.Undo(); break;
                case 'r': edits.Redo(); break;
                case 's': document->setEditedFlag(false); break;
                case 'm':
                    document->setCheck(true, 1, 2);
                    document->setEditedFlag(true);
                    break;
                default: FAIL() << c.steps[i];
            }
            EXPECT_EQ(document->getEditedFlag(), c.edited[i] == '1') << "after step " << i;
            const bool historyStep = std::string("eur").find(c.steps[i]) != std::string::npos;
            EXPECT_EQ(told > toldBefore, historyStep) << "after step " << i;
        }
    }
}

// A step of several runs comes to the views as one bracket round its runs,
// so a table takes in the new order once; a step of one run needs none.
// Each step, its undo and its redo are one action: one group, and the end of
// the action told once after it, however many runs it moves.
TEST(DeckEditsTest, EveryStepAndItsUndoIsOneAction) {
    struct Recorder : DeckListener {
        // ( and ) a group, . the action's end; r, a, m cards removed, added,
        // moved; k a mark; < before a change of the cards' order
        std::string heard;
        void DeckChanging(const DeckChange&) override { heard += '<'; }
        void DeckChanged(const DeckChange& change) override {
            switch (change.kind) {
                case DeckChangeKind::CardsRemoved: heard += 'r'; break;
                case DeckChangeKind::CardsAdded: heard += 'a'; break;
                case DeckChangeKind::CardsMoved: heard += 'm'; break;
                case DeckChangeKind::Marks: heard += 'k'; break;
                default: break;
            }
        }
        void DeckGroupBegun() override { heard += '('; }
        void DeckGroupEnded() override { heard += ')'; }
        void DeckActionEnded() override { heard += '.'; }
    };
    const struct {
        std::function<void(DeckEdits&)> step;
        const char* heard;
    } cases[] = {
        {[](DeckEdits& e) { e.Remove({2}); }, "(<r)."},
        {[](DeckEdits& e) {
             e.Remove({1, 3, 4, 6});
         },
         "(<r<r<r)."},
        {[](DeckEdits& e) {
             e.Remove({1, 3, 4, 6});
             e.Undo();
         },
         "(<r<r<r).(<a<a<a)."},
        {[](DeckEdits& e) {
             e.MoveDown({1, 3});
         },
         "(<m<m)."},
        {[](DeckEdits& e) {
             e.MoveUp({2, 5});
             e.Undo();
             e.Redo();
         },
         "(<m<m).(<m<m).(<m<m)."},
        {[](DeckEdits& e) { e.Insert(2, Starting(3)); }, "(<a)."},  // a paste of three cards
        {[](DeckEdits& e) {
             e.ToggleCheck(3, 1);
             e.Undo();
         },
         "(k).(k)."},
    };
    for (const auto& c : cases) {
        auto document = std::make_shared<DeckDocument>(DeckOf(Starting(6)));
        DeckEdits edits(document);
        Recorder recorder;
        document->AddListener(recorder);
        c.step(edits);
        EXPECT_EQ(recorder.heard, c.heard);
        document->RemoveListener(recorder);
    }
}

}  // namespace
