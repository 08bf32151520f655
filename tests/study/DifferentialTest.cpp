// Random study sessions dealt by the engine and by the literal dealing rules
// side by side; after every command both must agree on everything the window
// can read.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "LiteralDealer.h"
#include "StudyTestSupport.h"

namespace korva::test {
namespace {

using Rng = std::mt19937_64;

int Roll(Rng& random, int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }

int16_t RandomMark(Rng& random) {
    const int pick = Roll(random, 0, 9);
    return pick < 5 ? False16 : (pick < 9 ? True16 : int16_t{1});  // 1: a foreign true
}

int16_t RandomQuestion(Rng& random) {
    const int pick = Roll(random, 0, 19);
    return static_cast<int16_t>(pick == 0 ? 0 : pick % 2 + 1);
}

uint8_t RandomMode(Rng& random, std::initializer_list<uint8_t> sound, uint8_t damaged) {
    if (Roll(random, 0, 19) == 0) {
        return damaged;
    }
    return *(sound.begin() + Roll(random, 0, static_cast<int>(sound.size()) - 1));
}

void AddCards(CardData& deck, int cards, Rng& random) {
    for (int card = 0; card < cards; ++card) {
        deck.Items.push_back({"", "x", "y"});
        deck.Checks.push_back({RandomMark(random), RandomMark(random), RandomMark(random)});
        deck.QuestionItems.push_back(RandomQuestion(random));
    }
}

CardData RandomDeck(Rng& random, int cards) {
    CardData deck = MakeDeck(0);
    deck.Checks[0] = {RandomMark(random), RandomMark(random), RandomMark(random)};
    deck.QuestionItems[0] = RandomQuestion(random);
    AddCards(deck, cards, random);
    deck.Modes = {RandomMode(random, {TurnNormal, TurnShuffle}, 3), ImportedModes.ReservedMode,
                  RandomMode(random, {ViewChecked, ViewUnchecked, ViewAll}, 3),
                  RandomMode(random, {AnswerNormal, AnswerTest}, AnswerNormal)};
    return deck;
}

// The redraws of the nested new cycles all come after the last deal with
// nothing changed in between, so only whether a command redrew at all can be
// seen, not how often.
struct Redraws {
    int engine = 0;
    int model = 0;
};

::testing::AssertionResult Agree(const RecordingEngine& engine, const LiteralDealer& model, Redraws before) {
    std::ostringstream out;
    const CardData& deck = engine.getCardData();
    if (engine.getCardCount() != model.cardCount) {
        out << " CardCount " << engine.getCardCount() << "/" << model.cardCount;
    }
    if (engine.getShowCardIndex() != model.ShowCard()) {
        out << " card on show " << engine.getShowCardIndex() << "/" << model.ShowCard();
    }
    if (engine.isOpenItem() != model.openItem) {
        out << " OpenItem";
    }
    if (engine.getViewKind() != model.deck.Modes.ViewKind) {
        out << " ViewKind " << int(engine.getViewKind()) << "/" << int(model.deck.Modes.ViewKind);
    }
    if (engine.getTurnMode() != model.deck.Modes.TurnMode) {
        out << " TurnMode";
    }
    if (engine.getAnswerMode() != model.deck.Modes.AnswerMode) {
        out << " AnswerMode";
    }
    if (engine.getTotal() != model.Total()) {
        out << " total";
    }
    if (deck.Checks != model.deck.Checks) {
        out << " check marks";
    }
    if (deck.QuestionItems != model.deck.QuestionItems) {
        out << " question items";
    }
    if (TurnList(engine) != model.turn) {
        out << " turn list";
    }
    if (static_cast<int>(engine.messages.size()) != model.messages) {
        out << " messages " << engine.messages.size() << "/" << model.messages;
    }
    const bool engineRedrew = engine.screens > before.engine;
    const bool modelRedrew = model.screens > before.model;
    if (engineRedrew != modelRedrew) {
        out << " redrawn " << engineRedrew << "/" << modelRedrew;
    }
    if (out.str().empty()) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "differs in" << out.str();
}

// One command of the card window, applied to both; returns its name.
std::string Apply(int command, Rng& random, RecordingEngine& engine, LiteralDealer& model) {
    const int16_t shown = engine.getShowCardIndex();
    switch (command) {
        case 0:
            engine.Start();
            model.Start();
            return "Start";
        case 1:
            engine.NextCard();
            model.NextCard();
            return "NextCard";
        case 2: {
            const bool value = Roll(random, 0, 1) == 1;
            engine.setCheck(value, engine.getQuestionItemIndex(shown), shown);
            model.setCheck(value, model.deck.QuestionItems.at(shown), shown);
            engine.NextCard();
            model.NextCard();
            return value ? "check and next" : "clear and next";
        }
        case 3: {
            const bool value = Roll(random, 0, 1) == 1;
            const int16_t question = engine.getQuestionItemIndex(shown);
            engine.setCheckLump(value, question);
            for (int card = 0; card <= model.Total(); ++card) {
                model.setCheck(value, question, card);
            }
            return "bulk mark";
        }
        case 4:
            engine.setReversal(shown);
            model.Reverse(shown);
            return "reverse card on show";
        case 5:
            engine.AllReversal();
            for (int card = 0; card <= model.Total(); ++card) {
                model.Reverse(card);
            }
            return "reverse all";
        case 6: {
            const uint8_t kind = RandomMode(random, {ViewChecked, ViewUnchecked, ViewAll}, 0);
            engine.setViewKind(kind);
            engine.setCardCount(static_cast<int16_t>(engine.getCardCount() - 1));
            engine.NextCard();
            model.deck.Modes.ViewKind = kind;
            --model.cardCount;
            model.NextCard();
            return "view filter " + std::to_string(kind);
        }
        case 7: {
            const uint8_t mode = RandomMode(random, {TurnNormal, TurnShuffle}, 0);
            engine.setTurnMode(mode);
            engine.Start();
            model.deck.Modes.TurnMode = mode;
            model.Start();
            return "card order " + std::to_string(mode);
        }
        case 8: {
            const uint8_t mode = static_cast<uint8_t>(Roll(random, 1, 2));
            engine.setAnswerMode(mode);
            engine.setOpenItem(true);
            model.deck.Modes.AnswerMode = mode;
            model.openItem = true;
            return "answer mode " + std::to_string(mode);
        }
        default: {
            const int cards = Roll(random, 1, 3);
            Rng copy = random;
            EditDeck(engine, [&](CardData& deck) { AddCards(deck, cards, random); });
            AddCards(model.deck, cards, copy);
            engine.Start();
            model.Start();
            return "append " + std::to_string(cards) + " and Start";
        }
    }
}

TEST(StudyEngineAgainstLiteralRules, RandomSessionsOnSmallDecksAgreeAfterEveryCommand) {
    for (uint64_t seed = 1; seed <= 3000; ++seed) {
        Rng random(seed);
        RecordingEngine engine;
        LiteralDealer model;
        engine.getDocument().Replace(RandomDeck(random, Roll(random, 1, 12)));
        model.deck = engine.getCardData();
        engine.setRandomSeed(seed * 7919);
        model.random.seed(seed * 7919);
        engine.Start();
        model.Start();
        ASSERT_TRUE(Agree(engine, model, {})) << "seed " << seed << " after opening";
        const int steps = Roll(random, 10, 60);
        for (int step = 0; step < steps; ++step) {
            const int command = Roll(random, 0, 20);
            // Most commands are dealing ones; appends are rare.
            const int mapped = command <= 18 ? command % 9 : (command == 19 ? 1 : 9);
            const Redraws before{engine.screens, model.screens};
            const std::string name = Apply(mapped, random, engine, model);
            ASSERT_TRUE(Agree(engine, model, before)) << "seed " << seed << " step " << step << ": " << name;
        }
    }
}

TEST(StudyEngineWithoutCards, RandomSessionsNeverDealOrWarnUntilCardsArrive) {
    for (uint64_t seed = 1; seed <= 300; ++seed) {
        Rng random(seed);
        RecordingEngine engine;
        engine.getDocument().Replace(RandomDeck(random, 0));
        const StudyModes stored = engine.getCardData().Modes;
        engine.setRandomSeed(seed);
        engine.Start();
        for (int step = 0; step < 20; ++step) {
            switch (Roll(random, 0, 4)) {
                case 0: engine.Start(); break;
                case 1: engine.NextCard(); break;
                case 2: engine.setCheckLump(Roll(random, 0, 1) == 1, static_cast<int16_t>(Roll(random, 0, 2))); break;
                case 3: engine.AllReversal(); break;
                default: engine.setCardCount(static_cast<int16_t>(engine.getCardCount() - 1)); engine.NextCard();
            }
            ASSERT_EQ(engine.getCardCount(), 0) << "seed " << seed;
            ASSERT_EQ(engine.getShowCardIndex(), 0) << "seed " << seed;
            ASSERT_EQ(TurnList(engine), std::vector<int16_t>{0}) << "seed " << seed;
        }
        EXPECT_TRUE(engine.messages.empty()) << "seed " << seed;
        EXPECT_EQ(engine.getViewKind(), stored.ViewKind) << "seed " << seed;
        EXPECT_EQ(engine.getTurnMode(), stored.TurnMode) << "seed " << seed;
    }
}

}  // namespace
}  // namespace korva::test
