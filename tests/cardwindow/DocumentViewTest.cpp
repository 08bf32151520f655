// The card window as one view of a deck document: its own commands draw as
// often as they always did, and a change made through the document by
// anyone else shows at once.
#include <functional>

#include <QLabel>
#include <QPushButton>

#include "deck/Cp932Text.h"

#include "tests/cardwindow/CardWindowFixture.h"

using namespace korva;
using namespace korva::test;

namespace {

const std::vector<CardText> Words = {{"犬", "dog"}, {"猫", "cat"}, {"鳥", "bird"}, {"魚", "fish"}};

// Counts the window's redraws.
class CountingCard : public frmCard {
public:
    using frmCard::frmCard;
    int draws = 0;
    void FreshScreen() override {
        ++draws;
        frmCard::FreshScreen();
    }
};

}  // namespace

class DocumentViewTest : public CardWindowTest {
protected:
    CountingCard& MakeCounting(const std::vector<CardText>& cards) {
        auto document = std::make_shared<DeckDocument>(MakeDeck(cards));
        counting = std::make_unique<CountingCard>(dialogs, host, document);
        counting->setRandomSeed(7);
        counting->Start();
        counting->draws = 0;
        return *counting;
    }

    std::unique_ptr<CountingCard> counting;
};

TEST_F(DocumentViewTest, EachOwnCommandDrawsAsOftenAsItAlwaysDid) {
    struct Case {
        const char* what;
        std::function<void(frmCard&)> act;
        int draws;
    };
    const std::vector<Case> cases = {
        {"show the answer", [](frmCard& c) { c.cmdOpen_Click(); }, 1},
        {"check mark and next", [](frmCard& c) { c.cmdCheck_Click(); }, 1},
        {"no mark and next", [](frmCard& c) { c.cmdRecheck_Click(); }, 1},
        {"past the last card: a new cycle",
         [](frmCard& c) {
             for (int i = 0; i < 4; ++i) {
                 c.cmdRecheck_Click();
             }
         },
         5},
        {"shuffled order", [](frmCard& c) { c.mnuFunctionTurnShuffle_Click(); }, 1},
        {"test answers", [](frmCard& c) { c.mnuFunctionAnswerTest_Click(); }, 1},
        {"reverse all", [](frmCard& c) { c.mnuFunctionReversalAll_Click(); }, 1},
        {"reverse this card", [](frmCard& c) { c.mnuFunctionReversalPersonal_Click(); }, 1},
        {"check every card", [](frmCard& c) { c.mnuFunctionLumpCheck_Click(); }, 1},
        {"checked cards only, none checked", [](frmCard& c) { c.mnuViewCardCheck_Click(); }, 1},
        {"edited flag", [](frmCard& c) { c.getDocument().setEditedFlag(true); }, 0},
        {"file name", [](frmCard& c) { c.setFileName(QStringLiteral("x.krv")); }, 0},
    };
    for (const Case& c : cases) {
        CountingCard& card = MakeCounting(Words);
        dialogs.messageAnswers = {platform::MessageResult::Ok};
        c.act(card);
        EXPECT_EQ(card.draws, c.draws) << c.what;
    }
}

TEST_F(DocumentViewTest, AChangeThroughTheDocumentShowsAtOnce) {
    struct Case {
        const char* what;
        int dealt;  // cards dealt before the change, the first one included
        std::function<void(DeckDocument&, int16_t shown)> change;
        QString question;
        QString count;
        bool checkShown;
        QString next;  // the question after the next deal; empty for none
    };
    const auto text = [](const char* utf8) {
        return *Utf8ToCp932(utf8);
    };
    const std::vector<Case> cases = {
        {"the text of the card on show", 1, [&](DeckDocument& d, int16_t s) { d.setItemText(1, s, text("狼")); },
         QStringLiteral("狼"), QStringLiteral("1 / 4"), false, QStringLiteral("猫")},
        {"a mark of the card on show", 2, [](DeckDocument& d, int16_t s) { d.setCheck(true, 1, s); },
         QStringLiteral("猫"), QStringLiteral("2 / 4"), true, QStringLiteral("鳥")},
        {"the card on show removed", 2, [](DeckDocument& d, int16_t s) { d.RemoveCards(s, 1); }, QStringLiteral("鳥"),
         QStringLiteral("2 / 3"), false, QStringLiteral("魚")},
        {"a card dealt before removed", 3, [](DeckDocument& d, int16_t) { d.RemoveCards(1, 1); }, QStringLiteral("鳥"),
         QStringLiteral("2 / 3"), false, QStringLiteral("魚")},
        {"the last card on show removed", 4, [](DeckDocument& d, int16_t s) { d.RemoveCards(s, 1); },
         QStringLiteral("犬"), QStringLiteral("1 / 3"), false, QStringLiteral("猫")},
        {"every card removed", 2, [](DeckDocument& d, int16_t) { d.RemoveCards(1, 4); }, QString(),
         QStringLiteral("0 / 0"), false, QString()},
        {"cards inserted after the card on show", 1,
         [&](DeckDocument& d, int16_t s) {
             d.InsertCards(static_cast<int16_t>(s + 1), 2);
             d.setItemText(1, static_cast<int16_t>(s + 1), text("狼"));
         },
         QStringLiteral("犬"), QStringLiteral("1 / 6"), false, QStringLiteral("狼")},
        {"a card inserted before the card on show joins the cards to come", 2,
         [&](DeckDocument& d, int16_t) {
             d.InsertCards(1, 1);
             d.setItemText(1, 1, text("狼"));
         },
         QStringLiteral("猫"), QStringLiteral("2 / 5"), false, QStringLiteral("狼")},
        {"the card on show moved to the end", 1, [](DeckDocument& d, int16_t s) { d.MoveCards(s, 1, 4); },
         QStringLiteral("犬"), QStringLiteral("1 / 4"), false, QStringLiteral("猫")},
    };
    for (const Case& c : cases) {
        frmCard& card = MakeWindow(Words);
        for (int i = 1; i < c.dealt; ++i) {
            card.cmdOpen_Click();
            card.cmdRecheck_Click();
        }
        c.change(card.getDocument(), card.getShowCardIndex());
        EXPECT_EQ(Question(card), c.question) << c.what;
        EXPECT_EQ(card.lblCount->text(), c.count) << c.what;
        EXPECT_EQ(!card.lblCheck->isHidden(), c.checkShown) << c.what;
        EXPECT_EQ(card.cmdOpen->isEnabled(), !c.question.isEmpty()) << c.what;
        if (!c.next.isEmpty()) {
            card.cmdOpen_Click();
            card.cmdRecheck_Click();
            EXPECT_EQ(Question(card), c.next) << c.what;
        }
    }
}

TEST_F(DocumentViewTest, AnEmptyDeckShowsTheFirstCardInsertedAndANewDeckDealsAnew) {
    frmCard& card = MakeWindow({});
    card.getDocument().InsertCards(1, 1);
    card.getDocument().setItemText(1, 1, *Utf8ToCp932("狼"));
    EXPECT_EQ(Question(card), QStringLiteral("狼"));
    EXPECT_EQ(card.lblCount->text(), QStringLiteral("1 / 1"));

    card.getDocument().Replace(MakeDeck(Words));
    EXPECT_EQ(Question(card), QStringLiteral("犬"));
    EXPECT_EQ(card.lblCount->text(), QStringLiteral("1 / 4"));
}
