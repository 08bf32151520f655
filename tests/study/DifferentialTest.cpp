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

int Roll(Rng& Random, int Low, int High) { return std::uniform_int_distribution<int>(Low, High)(Random); }

int16_t RandomMark(Rng& Random) {
    const int Pick = Roll(Random, 0, 9);
    return Pick < 5 ? False16 : (Pick < 9 ? True16 : int16_t{1});  // 1: a foreign true
}

int16_t RandomQuestion(Rng& Random) {
    const int Pick = Roll(Random, 0, 19);
    return static_cast<int16_t>(Pick == 0 ? 0 : Pick % 2 + 1);
}

uint8_t RandomMode(Rng& Random, std::initializer_list<uint8_t> Sound, uint8_t Damaged) {
    if (Roll(Random, 0, 19) == 0) {
        return Damaged;
    }
    return *(Sound.begin() + Roll(Random, 0, static_cast<int>(Sound.size()) - 1));
}

void AddCards(CardData& Deck, int Cards, Rng& Random) {
    for (int Card = 0; Card < Cards; ++Card) {
        Deck.Items.push_back({"", "x", "y"});
        Deck.Checks.push_back({RandomMark(Random), RandomMark(Random), RandomMark(Random)});
        Deck.QuestionItems.push_back(RandomQuestion(Random));
    }
}

CardData RandomDeck(Rng& Random, int Cards) {
    CardData Deck = MakeDeck(0);
    Deck.Checks[0] = {RandomMark(Random), RandomMark(Random), RandomMark(Random)};
    Deck.QuestionItems[0] = RandomQuestion(Random);
    AddCards(Deck, Cards, Random);
    Deck.Modes = {RandomMode(Random, {1, 2}, 3), 1, RandomMode(Random, {1, 2, 4}, 3), RandomMode(Random, {1, 2}, 1)};
    return Deck;
}

// The redraws of the nested new cycles all come after the last deal with
// nothing changed in between, so only whether a command redrew at all can be
// seen, not how often.
struct Redraws {
    int Engine = 0;
    int Model = 0;
};

::testing::AssertionResult Agree(const RecordingEngine& Engine, const LiteralDealer& Model, Redraws Before) {
    std::ostringstream Out;
    const CardData& Deck = Engine.getCardData();
    if (Engine.getCardCount() != Model.CardCount)
        Out << " CardCount " << Engine.getCardCount() << "/" << Model.CardCount;
    if (Engine.getShowCardIndex() != Model.ShowCard())
        Out << " card on show " << Engine.getShowCardIndex() << "/" << Model.ShowCard();
    if (Engine.isOpenItem() != Model.OpenItem) Out << " OpenItem";
    if (Engine.getViewKind() != Model.Deck.Modes.ViewKind)
        Out << " ViewKind " << int(Engine.getViewKind()) << "/" << int(Model.Deck.Modes.ViewKind);
    if (Engine.getTurnMode() != Model.Deck.Modes.TurnMode) Out << " TurnMode";
    if (Engine.getAnswerMode() != Model.Deck.Modes.AnswerMode) Out << " AnswerMode";
    if (Engine.getTotal() != Model.Total()) Out << " total";
    if (Deck.Checks != Model.Deck.Checks) Out << " check marks";
    if (Deck.QuestionItems != Model.Deck.QuestionItems) Out << " question items";
    if (TurnList(Engine) != Model.Turn) Out << " turn list";
    if (static_cast<int>(Engine.Messages.size()) != Model.Messages)
        Out << " messages " << Engine.Messages.size() << "/" << Model.Messages;
    const bool EngineRedrew = Engine.Screens > Before.Engine;
    const bool ModelRedrew = Model.Screens > Before.Model;
    if (EngineRedrew != ModelRedrew) Out << " redrawn " << EngineRedrew << "/" << ModelRedrew;
    if (Out.str().empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "differs in" << Out.str();
}

// One command of the card window, applied to both; returns its name.
std::string Apply(int Command, Rng& Random, RecordingEngine& Engine, LiteralDealer& Model) {
    const int16_t Shown = Engine.getShowCardIndex();
    switch (Command) {
        case 0:
            Engine.Start();
            Model.Start();
            return "Start";
        case 1:
            Engine.NextCard();
            Model.NextCard();
            return "NextCard";
        case 2: {
            const bool Value = Roll(Random, 0, 1) == 1;
            Engine.setCheck(Value, Engine.getQuestionItemIndex(Shown), Shown);
            Model.setCheck(Value, Model.Deck.QuestionItems.at(Shown), Shown);
            Engine.NextCard();
            Model.NextCard();
            return Value ? "check and next" : "clear and next";
        }
        case 3: {
            const bool Value = Roll(Random, 0, 1) == 1;
            const int16_t Question = Engine.getQuestionItemIndex(Shown);
            Engine.setCheckLump(Value, Question);
            for (int Card = 0; Card <= Model.Total(); ++Card)
                Model.setCheck(Value, Question, Card);
            return "bulk mark";
        }
        case 4:
            Engine.setReversal(Shown);
            Model.Reverse(Shown);
            return "reverse card on show";
        case 5:
            Engine.AllReversal();
            for (int Card = 0; Card <= Model.Total(); ++Card)
                Model.Reverse(Card);
            return "reverse all";
        case 6: {
            const uint8_t Kind = RandomMode(Random, {1, 2, 4}, 0);
            Engine.setViewKind(Kind);
            Engine.setCardCount(static_cast<int16_t>(Engine.getCardCount() - 1));
            Engine.NextCard();
            Model.Deck.Modes.ViewKind = Kind;
            --Model.CardCount;
            Model.NextCard();
            return "view filter " + std::to_string(Kind);
        }
        case 7: {
            const uint8_t Mode = RandomMode(Random, {1, 2}, 0);
            Engine.setTurnMode(Mode);
            Engine.Start();
            Model.Deck.Modes.TurnMode = Mode;
            Model.Start();
            return "card order " + std::to_string(Mode);
        }
        case 8: {
            const uint8_t Mode = static_cast<uint8_t>(Roll(Random, 1, 2));
            Engine.setAnswerMode(Mode);
            Engine.setOpenItem(true);
            Model.Deck.Modes.AnswerMode = Mode;
            Model.OpenItem = true;
            return "answer mode " + std::to_string(Mode);
        }
        default: {
            const int Cards = Roll(Random, 1, 3);
            Rng Copy = Random;
            AddCards(Engine.getCardData(), Cards, Random);
            AddCards(Model.Deck, Cards, Copy);
            Engine.Start();
            Model.Start();
            return "append " + std::to_string(Cards) + " and Start";
        }
    }
}

TEST(StudyEngineAgainstLiteralRules, RandomSessionsOnSmallDecksAgreeAfterEveryCommand) {
    for (uint64_t Seed = 1; Seed <= 3000; ++Seed) {
        Rng Random(Seed);
        RecordingEngine Engine;
        LiteralDealer Model;
        Engine.getCardData() = RandomDeck(Random, Roll(Random, 1, 12));
        Model.Deck = Engine.getCardData();
        Engine.setRandomSeed(Seed * 7919);
        Model.Random.seed(Seed * 7919);
        Engine.Start();
        Model.Start();
        ASSERT_TRUE(Agree(Engine, Model, {})) << "seed " << Seed << " after opening";
        const int Steps = Roll(Random, 10, 60);
        for (int Step = 0; Step < Steps; ++Step) {
            const int Command = Roll(Random, 0, 20);
            // Most commands are dealing ones; appends are rare.
            const int Mapped = Command <= 18 ? Command % 9 : (Command == 19 ? 1 : 9);
            const Redraws Before{Engine.Screens, Model.Screens};
            const std::string Name = Apply(Mapped, Random, Engine, Model);
            ASSERT_TRUE(Agree(Engine, Model, Before)) << "seed " << Seed << " step " << Step << ": " << Name;
        }
    }
}

TEST(StudyEngineWithoutCards, RandomSessionsNeverDealOrWarnUntilCardsArrive) {
    for (uint64_t Seed = 1; Seed <= 300; ++Seed) {
        Rng Random(Seed);
        RecordingEngine Engine;
        Engine.getCardData() = RandomDeck(Random, 0);
        const StudyModes Stored = Engine.getCardData().Modes;
        Engine.setRandomSeed(Seed);
        Engine.Start();
        for (int Step = 0; Step < 20; ++Step) {
            switch (Roll(Random, 0, 4)) {
                case 0: Engine.Start(); break;
                case 1: Engine.NextCard(); break;
                case 2: Engine.setCheckLump(Roll(Random, 0, 1) == 1, static_cast<int16_t>(Roll(Random, 0, 2))); break;
                case 3: Engine.AllReversal(); break;
                default: Engine.setCardCount(static_cast<int16_t>(Engine.getCardCount() - 1)); Engine.NextCard();
            }
            ASSERT_EQ(Engine.getCardCount(), 0) << "seed " << Seed;
            ASSERT_EQ(Engine.getShowCardIndex(), 0) << "seed " << Seed;
            ASSERT_EQ(TurnList(Engine), std::vector<int16_t>{0}) << "seed " << Seed;
        }
        EXPECT_TRUE(Engine.Messages.empty()) << "seed " << Seed;
        EXPECT_EQ(Engine.getViewKind(), Stored.ViewKind) << "seed " << Seed;
        EXPECT_EQ(Engine.getTurnMode(), Stored.TurnMode) << "seed " << Seed;
    }
}

}  // namespace
}  // namespace korva::test
