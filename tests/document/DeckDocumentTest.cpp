// The deck document: every kind of change reaches its listeners as it is
// made, and a refused read or a failed write changes nothing.
#include <functional>
#include <vector>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "deck/DeckFile.h"
#include "deck/DeckRecord.h"
#include "deck/FileBytes.h"
#include "deck/KorvaFile.h"
#include "document/DeckDocument.h"
#include "memory/MemoryKeeping.h"

using namespace korva;

namespace {

using Kind = DeckChangeKind;

CardData ThreeCards() {
    CardData deck;
    for (int card = 1; card <= 3; ++card) {
        deck.Items.push_back({"", "q" + std::to_string(card), "a" + std::to_string(card)});
        deck.Checks.push_back({False16, False16, False16});
        deck.QuestionItems.push_back(1);
    }
    deck.Modes = ImportedModes;
    return deck;
}

std::vector<std::string> FirstItems(const DeckDocument& document) {
    std::vector<std::string> items;
    for (const auto& texts : document.getCardData().Items) {
        items.push_back(texts[1]);
    }
    return items;
}

struct Recorder : DeckListener {
    std::vector<DeckChange> changes;
    void DeckChanged(const DeckChange& change) override { changes.push_back(change); }
};

bool IsEdit(Kind kind) {
    return kind != Kind::Modes && kind != Kind::Replaced && kind != Kind::File && kind != Kind::EditedFlag;
}

class DeckDocumentTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString Write(const QString& name, const QByteArray& bytes) {
        QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        return path;
    }

    QTemporaryDir dir;
};

TEST_F(DeckDocumentTest, EveryKindOfChangeReachesTheListenersAsItIsMade) {
    struct Case {
        const char* what;
        std::function<void(DeckDocument&)> change;
        DeckChange told;
        std::vector<std::string> items;  // item 1 of slots 0..total afterwards
    };
    const std::vector<std::string> same{"", "q1", "q2", "q3"};
    const std::vector<Case> cases = {
        {"text", [](DeckDocument& d) { d.setItemText(1, 2, "new"); }, {Kind::Texts, 2, 1}, {"", "q1", "new", "q3"}},
        {"mark", [](DeckDocument& d) { d.setCheck(true, 2, 3); }, {Kind::Marks, 3, 1}, same},
        {"review", [](DeckDocument& d) { d.Review(true, 2, 3, -1); }, {Kind::Marks, 3, 1}, same},
        {"schedule",
         [](DeckDocument& d) { d.setScheduleSettings({.newCardsPerDay = 5, .desiredRetention = 0.8}); },
         {Kind::Schedule},
         same},
        {"lump", [](DeckDocument& d) { d.setCheckLump(true, 1); }, {Kind::Marks, 0, 4}, same},
        {"asked item", [](DeckDocument& d) { d.setQuestionItemIndex(1, 2); }, {Kind::QuestionItems, 1, 1}, same},
        {"reversal", [](DeckDocument& d) { d.AllReversal(); }, {Kind::QuestionItems, 0, 4}, same},
        {"turn", [](DeckDocument& d) { d.setTurnMode(TurnShuffle); }, {Kind::Modes}, same},
        {"answer", [](DeckDocument& d) { d.setAnswerMode(AnswerTest); }, {Kind::Modes}, same},
        {"view", [](DeckDocument& d) { d.setViewKind(ViewChecked); }, {Kind::Modes}, same},
        {"insert",
         [](DeckDocument& d) { d.InsertCards(2, 2); },
         {Kind::CardsAdded, 2, 2},
         {"", "q1", "", "", "q2", "q3"}},
        {"insert at end",
         [](DeckDocument& d) { d.InsertCards(4, 1); },
         {Kind::CardsAdded, 4, 1},
         {"", "q1", "q2", "q3", ""}},
        {"insert as they are",
         [](DeckDocument& d) {
             d.InsertCards(2, {CardSlot{{"", "x", "y"}}, CardSlot{}});
         },
         {Kind::CardsAdded, 2, 2},
         {"", "q1", "x", "", "q2", "q3"}},
        {"whole card, its text only",
         [](DeckDocument& d) {
             d.setCard(2, CardSlot{{"", "new", "a2"}});
         },
         {Kind::Texts, 2, 1},
         {"", "q1", "new", "q3"}},
        {"whole card, its asked item only",
         [](DeckDocument& d) {
             d.setCard(3, CardSlot{{"", "q3", "a3"}, {}, 2});
         },
         {Kind::QuestionItems, 3, 1},
         same},
        {"remove", [](DeckDocument& d) { d.RemoveCards(1, 2); }, {Kind::CardsRemoved, 1, 2}, {"", "q3"}},
        {"move down",
         [](DeckDocument& d) { d.MoveCards(1, 1, 3); },
         {Kind::CardsMoved, 1, 1, 3},
         {"", "q2", "q3", "q1"}},
        {"move up", [](DeckDocument& d) { d.MoveCards(2, 2, 1); }, {Kind::CardsMoved, 2, 2, 1}, {"", "q2", "q3", "q1"}},
        {"replace", [](DeckDocument& d) { d.Replace(CardData{}); }, {Kind::Replaced}, {""}},
        {"name", [](DeckDocument& d) { d.setFileName(QStringLiteral("x.krv")); }, {Kind::File}, same},
        {"edited", [](DeckDocument& d) { d.setEditedFlag(true); }, {Kind::EditedFlag, 0, 0, 0, true}, same},
        {"clean", [](DeckDocument& d) { d.setEditedFlag(false); }, {Kind::EditedFlag}, same},
    };
    for (const Case& c : cases) {
        DeckDocument document(ThreeCards());
        Recorder first;
        Recorder second;
        document.AddListener(first);
        document.AddListener(second);
        c.change(document);
        // A change of the cards' data edits the deck, which is told once as
        // the flag turns.
        std::vector<DeckChange> told{c.told};
        if (IsEdit(c.told.kind)) {
            told.front().edited = true;
            told.push_back({Kind::EditedFlag, 0, 0, 0, true});
        }
        EXPECT_EQ(first.changes, told) << c.what;
        EXPECT_EQ(second.changes, first.changes) << c.what;
        EXPECT_EQ(FirstItems(document), c.items) << c.what;
        const CardData& deck = document.getCardData();
        EXPECT_EQ(deck.Checks.size(), deck.Items.size()) << c.what;
        EXPECT_EQ(deck.QuestionItems.size(), deck.Items.size()) << c.what;
    }
}

TEST_F(DeckDocumentTest, ChangesOutsideTheDeckAreRefusedBeforeAnythingChanges) {
    const std::vector<std::pair<const char*, std::function<void(DeckDocument&)>>> cases = {
        {"mark of card 4",
         [](DeckDocument& d) {
             d.setCheck(true, 1, 4);
         }},
        {"mark of item 3",
         [](DeckDocument& d) {
             d.setCheck(true, 3, 1);
         }},
        {"lump of item -1",
         [](DeckDocument& d) {
             d.setCheckLump(true, -1);
         }},
        {"insert at 5",
         [](DeckDocument& d) {
             d.InsertCards(5, 1);
         }},
        {"insert at 0",
         [](DeckDocument& d) {
             d.InsertCards(0, 1);
         }},
        {"remove past the end",
         [](DeckDocument& d) {
             d.RemoveCards(3, 2);
         }},
        {"move past the end",
         [](DeckDocument& d) {
             d.MoveCards(1, 2, 3);
         }},
    };
    for (const auto& [what, change] : cases) {
        DeckDocument document(ThreeCards());
        Recorder listener;
        document.AddListener(listener);
        EXPECT_THROW(change(document), std::out_of_range) << what;
        EXPECT_EQ(WriteDeckRecord(document.getCardData()), WriteDeckRecord(ThreeCards())) << what;
        EXPECT_TRUE(listener.changes.empty()) << what;
    }
}

TEST_F(DeckDocumentTest, ARefusedReadOrAFailedSaveLeavesTheDeckAndTheFileAsTheyWere) {
    const QString deckPath = dir.filePath(QStringLiteral("deck.krv"));
    SaveCardFile(deckPath.toStdString(), ThreeCards());
    const QString damaged = Write(QStringLiteral("damaged.krv"), "not a deck");
    const QString list = Write(QStringLiteral("list.csv"), "a,b\n\"c\",d\n");
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.krv")));
    const auto decline = [](const QString&, const DeckDocument::FileReader&) {
        return std::optional<WordList>();
    };
    struct Case {
        const char* what;
        std::function<DeckResult(DeckDocument&)> act;
        DeckFailure failure;
    };
    const std::vector<Case> cases = {
        {"open of another kind", [&](DeckDocument& d) { return d.Open(dir.filePath("x.doc"), "x.doc", {}); },
         DeckFailure::OtherKind},
        {"open of nothing", [&](DeckDocument& d) { return d.Open(dir.filePath("no.krv"), "no.krv", {}); },
         DeckFailure::Missing},
        {"open of a damaged deck", [&](DeckDocument& d) { return d.Open(damaged, "damaged.krv", {}); },
         DeckFailure::Unreadable},
        {"append of a damaged deck", [&](DeckDocument& d) { return d.Append(damaged, "damaged.krv", {}); },
         DeckFailure::Unreadable},
        {"declined list", [&](DeckDocument& d) { return d.Append(list, "list.csv", decline); }, DeckFailure::Cancelled},
        {"save over a folder", [&](DeckDocument& d) { return d.SaveAs(dir.filePath("folder.krv")); },
         DeckFailure::Unwritable},
    };
    for (const Case& c : cases) {
        DeckDocument document;
        ASSERT_TRUE(document.Open(deckPath, QStringLiteral("deck.krv"), {}).isDone());
        document.setEditedFlag(true);
        const auto original = document.getOriginal();
        Recorder listener;
        document.AddListener(listener);
        const DeckResult result = c.act(document);
        EXPECT_EQ(result.failure, c.failure) << c.what;
        EXPECT_FALSE(result.path.isEmpty()) << c.what;
        EXPECT_EQ(WriteDeckRecord(document.getCardData()), WriteDeckRecord(ThreeCards())) << c.what;
        EXPECT_EQ(document.getFilePath(), deckPath) << c.what;
        EXPECT_EQ(document.getFileName(), QStringLiteral("deck.krv")) << c.what;
        EXPECT_TRUE(document.getEditedFlag()) << c.what;
        EXPECT_EQ(document.getOriginal(), original) << c.what;
        EXPECT_TRUE(listener.changes.empty()) << c.what;
    }
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("folder.krv"))).isDir());
}

TEST_F(DeckDocumentTest, ReadsAndSavesTellWhatTheyChanged) {
    const QString deckPath = dir.filePath(QStringLiteral("deck.krv"));
    SaveCardFile(deckPath.toStdString(), ThreeCards());
    DeckDocument document;
    Recorder listener;
    document.AddListener(listener);
    ASSERT_TRUE(document.Open(deckPath, QStringLiteral("deck.krv"), {}).isDone());
    ASSERT_TRUE(document.Append(deckPath, QStringLiteral("other.krv"), {}).isDone());
    EXPECT_TRUE(document.getEditedFlag()) << "an append leaves the deck unlike its file";
    const QString copyPath = dir.filePath(QStringLiteral("copy.krv"));
    ASSERT_TRUE(document.SaveAs(copyPath).isDone());
    document.RemoveListener(listener);
    document.setEditedFlag(true);

    const std::vector<DeckChange> told = {
        {Kind::Replaced},
        {Kind::File},
        {Kind::EditedFlag},
        {Kind::Replaced, 0, 0, 0, true},
        {Kind::EditedFlag, 0, 0, 0, true},
        {Kind::EditedFlag},
        {Kind::File},
    };
    EXPECT_EQ(listener.changes, told);
    EXPECT_EQ(document.getFilePath(), copyPath);
    EXPECT_EQ(document.getFileName(), QStringLiteral("copy.krv"));
    EXPECT_EQ(document.getCardData().Total(), 6);
    EXPECT_EQ(document.getOriginal(), FingerprintOf(copyPath));
    EXPECT_EQ(ReadFileBytes(copyPath.toStdString()), WriteDeckRecord(document.getCardData()));
}

TEST_F(DeckDocumentTest, TheDeckIsEditedByWhatChangesItsCardsAndByNothingElse) {
    CardData checkedSlot = ThreeCards();
    checkedSlot.Checks[0][1] = True16;
    const struct Case {
        const char* what;
        CardData deck;
        std::function<void(DeckDocument&)> act;
        bool edited;
    } cases[] = {
        {"the same text", ThreeCards(), [](DeckDocument& d) { d.setItemText(1, 2, "q2"); }, false},
        {"the same asked item", ThreeCards(), [](DeckDocument& d) { d.setQuestionItemIndex(2, 1); }, false},
        {"a mark that stays: still a verdict", ThreeCards(), [](DeckDocument& d) { d.setCheck(false, 1, 1); }, true},
        {"every card unchecked already", ThreeCards(), [](DeckDocument& d) { d.setCheckLump(false, 1); }, false},
        {"slot 0 alone, never shown", checkedSlot, [](DeckDocument& d) { d.setCheckLump(false, 1); }, false},
        {"every card checked", ThreeCards(), [](DeckDocument& d) { d.setCheckLump(true, 1); }, true},
        {"a mode", ThreeCards(), [](DeckDocument& d) { d.setViewKind(ViewChecked); }, false},
        {"no cards inserted", ThreeCards(), [](DeckDocument& d) { d.InsertCards(2, 0); }, false},
        {"a card moved onto itself", ThreeCards(), [](DeckDocument& d) { d.MoveCards(2, 1, 2); }, false},
        {"a card removed", ThreeCards(), [](DeckDocument& d) { d.RemoveCards(3, 1); }, true},
        {"restored", ThreeCards(), [](DeckDocument& d) { d.Restore(ThreeCards(), "a.krv", "a.krv", {}); }, true},
    };
    for (const Case& c : cases) {
        DeckDocument document(c.deck);
        c.act(document);
        EXPECT_EQ(document.getEditedFlag(), c.edited) << c.what;
    }
}

TEST_F(DeckDocumentTest, StudyKeepsEachCardsMemoryAsAReplayOfTheRecordLeavesIt) {
    DeckDocument document(ThreeCards());
    std::int64_t now = 1'780'000'000'000;
    document.setClock([&now] { return now; });
    constexpr std::int64_t day = 86'400'000;
    // Passes and fails, both directions, the same day and days apart.
    const struct {
        int days;
        int16_t card;
        int16_t item;
        bool pass;
    } answers[] = {{0, 1, 1, true}, {0, 1, 1, false}, {0, 2, 2, true},  {1, 1, 1, true},
                   {3, 1, 2, true}, {3, 2, 2, false}, {10, 1, 1, true}, {10, 3, 1, true}};
    for (const auto& answer : answers) {
        now += answer.days * day;
        document.Review(answer.pass, answer.item, answer.card, -1);
    }
    const KorvaDeck& kept = document.getDeck();
    ASSERT_EQ(kept.record.size(), std::size(answers));
    EXPECT_EQ(kept.memoryRows, kept.record.size());
    EXPECT_EQ(kept.record.back().timeMs, now);

    KorvaDeck replayed = kept;
    replayed.memory.clear();
    replayed.memoryRows = 0;
    EXPECT_EQ(CatchUpMemory(replayed), std::size(answers));
    EXPECT_EQ(replayed.memory, kept.memory);
    EXPECT_EQ(kept.memory.size(), 3U);

    // Settings out of range are clamped; the same settings again are no edit.
    document.setScheduleSettings({.newCardsPerDay = 100'000, .desiredRetention = 0.5});
    EXPECT_EQ(document.getDeck().settings, (ScheduleSettings{MaxNewCardsPerDay, MinDesiredRetention}));
    DeckDocument unstudied(ThreeCards());
    unstudied.setScheduleSettings(ScheduleSettings{});
    EXPECT_FALSE(unstudied.getEditedFlag());
}

TEST_F(DeckDocumentTest, ARestoredCopyOfAKorvaDeckKeepsTheStudyItsFileHolds) {
    const QString path = dir.filePath(QStringLiteral("studied.korva"));
    CardData cards = ThreeCards();
    cards.encoding = ItemEncoding::Utf8;
    DeckDocument studied(cards);
    studied.setScheduleSettings({.newCardsPerDay = 7});
    studied.Review(true, 1, 1, -1);
    studied.Review(false, 1, 2, -1);
    ASSERT_TRUE(studied.SaveAs(path).isDone());
    const KorvaDeck saved = LoadKorvaFile(path.toStdString());
    EXPECT_TRUE(studied.UnsavedAnswers().empty());
    studied.Review(true, 2, 3, -1);
    std::vector<CopiedAnswer> answers = studied.UnsavedAnswers();
    ASSERT_EQ(answers, (std::vector<CopiedAnswer>{{studied.getRecord().back(), 3}}));

    // The copy: card 2's text edited, a card added before card 1.
    CardData copy = studied.getCardData();
    copy.Items[2][1] = "edited";
    copy.Items.insert(copy.Items.begin() + 1, {"", "new", "card"});
    copy.Checks.insert(copy.Checks.begin() + 1, {False16, False16, False16});
    copy.QuestionItems.insert(copy.QuestionItems.begin() + 1, 1);
    // Its answers follow: card 3 is the copy's card 4, and one card answered
    // has since been removed.
    answers[0].card = 4;
    answers.push_back({{.timeMs = 5, .cardId = 999, .item = 1, .checked = false, .style = AnswerNormal}, 0});
    DeckDocument restored;
    restored.Restore(copy, path, QStringLiteral("studied.korva"), std::nullopt, answers);
    const KorvaDeck& deck = restored.getDeck();
    ASSERT_EQ(deck.record.size(), saved.record.size() + 2);
    EXPECT_TRUE(std::equal(saved.record.begin(), saved.record.end(), deck.record.begin()));
    EXPECT_EQ(deck.record[saved.record.size()].cardId, saved.cardIds[3]);
    ASSERT_TRUE(deck.memory.at(saved.cardIds[3])[1].has_value());
    EXPECT_EQ(deck.memory.at(saved.cardIds[3])[1]->reviews, 1);
    EXPECT_EQ(std::count(deck.cardIds.begin(), deck.cardIds.end(), deck.record.back().cardId), 0);
    EXPECT_GE(deck.record.back().cardId, saved.nextCardId);
    EXPECT_EQ(deck.settings, saved.settings);
    EXPECT_EQ(deck.memoryRows, deck.record.size());
    // Cards 1 and 3 of the file keep their ids; the edited and the new one get new ones.
    EXPECT_EQ(deck.cardIds[2], saved.cardIds[1]);
    EXPECT_EQ(deck.cardIds[4], saved.cardIds[3]);
    for (const std::size_t fresh : {std::size_t{1}, std::size_t{3}}) {
        EXPECT_GE(deck.cardIds[fresh], saved.nextCardId) << fresh;
    }
    EXPECT_NE(deck.cardIds[1], deck.cardIds[3]);

    // The save after it writes the record back with the answers; the copy
    // after that has none left to keep.
    ASSERT_TRUE(restored.Save().isDone());
    const KorvaDeck again = LoadKorvaFile(path.toStdString());
    EXPECT_EQ(again.record, deck.record);
    EXPECT_TRUE(restored.UnsavedAnswers().empty());
    EXPECT_EQ(again.memory.at(saved.cardIds[1]), saved.memory.at(saved.cardIds[1]));
}

}  // namespace
