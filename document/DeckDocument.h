#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QDateTime>
#include <QString>

#include "deck/CardData.h"
#include "deck/DeckConversion.h"
#include "deck/KorvaDeck.h"
#include "deck/KorvaFile.h"
#include "deck/WordList.h"
#include "document/CardSlot.h"
#include "document/DeckChange.h"
#include "document/DeckResult.h"
#include "recovery/FileFingerprint.h"
#include "recovery/RecoveryOrigin.h"

namespace korva {

// Whether Path names an existing regular file that is not hidden, by the
// path's bytes.
bool IsDeckFilePath(const QString& Path);

// A deck read from a file that keeps no card ids, given ids 1..total in card
// order; its texts and card 0 stay exactly as read.
KorvaDeck WithCardIds(CardData cards);

// One open deck: the record, the file it belongs to, whether it is edited
// since it was read or written, and that file as it was then. Every change
// of any of them goes through here and is told to the listeners, so a view,
// the recovery copy or an editor never misses one.
//
// The deck decides for itself whether it is edited: any change of its cards'
// texts, marks, asked items or order marks it, a read or a save clears it and
// a restored copy is edited from the start. The study modes are how the deck
// is studied, not its data, and leave the flag alone.
//
// Card and item indexes outside the deck throw std::out_of_range before
// anything changes.
class DeckDocument {
public:
    // Reads the file being opened, whole, on any thread; a DeckError says
    // why it cannot. The bytes it returns are the file as the deck will know
    // it: a write after that read is a write since.
    using FileReader = std::function<std::string()>;
    // Reads the word list through read, once, as its reader chooses (a
    // preview, a progress window); nullopt declines the file, a DeckError
    // says why it cannot be read.
    using WordListChooser = std::function<std::optional<WordList>(const QString& name, const FileReader& read)>;

    DeckDocument() = default;
    explicit DeckDocument(CardData deck);
    DeckDocument(const DeckDocument&) = delete;
    DeckDocument& operator=(const DeckDocument&) = delete;

    void AddListener(DeckListener& listener);
    void RemoveListener(DeckListener& listener);
    // Brackets the changes until the matching EndGroup as one action; only
    // the outermost bracket is told.
    void BeginGroup();
    void EndGroup();

    const CardData& getCardData() const { return Deck_.cards; }
    // The cards' ids, each kept through edits and moves ([card], [0] unused),
    // and the record of every answer given in study.
    const std::vector<int64_t>& getCardIds() const { return Deck_.cardIds; }
    const std::vector<ReviewRow>& getRecord() const { return Deck_.record; }
    // The whole deck as the .korva file keeps it: cards, ids, record, memory, settings.
    const KorvaDeck& getDeck() const { return Deck_; }
    const QString& getFilePath() const { return FilePath_; }
    const QString& getFileName() const { return FileName_; }
    bool getEditedFlag() const { return EditedFlag_; }
    // The file as this deck last read or wrote it; nullopt when unknown.
    const std::optional<FileFingerprint>& getOriginal() const { return Original_; }
    // Restored over a file written since, gone or never known.
    bool isOverwriteAsked() const { return AskBeforeOverwrite_; }
    // The deck's file is there but is not the one this deck last read or
    // wrote: someone else has written it since.
    bool isFileWrittenSince() const;

    void setFilePath(const QString& Path);
    void setFileName(const QString& FileName);
    // For the undo history, whose walk back to the state last saved leaves
    // the deck as its file holds it. Told every time, not only when it
    // turns: a save of a clean deck still clears what a listener keeps for
    // an edited one.
    void setEditedFlag(bool Value);

    // Files. A refused, cancelled or failed read leaves the deck, its file
    // and its flags as they were; so does a failed save.
    DeckResult Open(const QString& Path, const QString& FileName, const WordListChooser& choose);
    // The cards of a file added after these; the deck stays its own file's.
    DeckResult Append(const QString& Path, const QString& FileName, const WordListChooser& choose);
    DeckResult Import(const QString& Path, const QString& FileName, bool DataKeep, const WordListChooser& choose);
    DeckResult Save();
    // A save under another path that, once written, is the deck's file. A
    // deck held the other way than that file's format is carried over whole,
    // or, with a loss (a character code page 932 lacks, a byte that does not
    // decode), refused unless allowLoss.
    DeckResult SaveAs(const QString& Path, bool allowLoss = false);
    // What SaveAs(Path) would lose, for the question before it.
    CardConversion LossesSavingAs(const QString& Path) const;
    // A deck from a recovery copy: still edited, under its original file,
    // with the answers given since that file was written.
    void Restore(CardData deck, const QString& Path, const QString& FileName, std::optional<FileFingerprint> original,
                 const std::vector<CopiedAnswer>& answers = {});
    // The answers the deck's file does not hold, for its recovery copy: all
    // of them until the deck is first written as a .korva file.
    std::vector<CopiedAnswer> UnsavedAnswers() const;
    void Replace(CardData deck);

    // Cards
    void setItemText(int16_t itemIndex, int16_t CardIndex, std::string bytes);
    void setCheck(bool Value, int16_t QuestionItemIndex, int16_t CardIndex);
    // A verdict given in study: the mark, and a row of the record with the
    // time, the answer style and, for a typed answer, its judgement (-1 none,
    // 0 wrong, 1 right), and the card's memory after it. One change, told as
    // the mark once the memory follows it.
    void Review(bool Value, int16_t QuestionItemIndex, int16_t CardIndex, int8_t judged);
    // How the deck is scheduled, clamped to the settings' ranges; the kept
    // due times follow a new retention. An edit of the deck when it differs.
    void setScheduleSettings(ScheduleSettings settings);
    // Grows with every change told, so a view can tell whether what it
    // worked out of the deck still holds.
    std::uint64_t getRevision() const { return Revision_; }
    // The time, in milliseconds since the epoch, that study reckons with:
    // a review's row and what is due. The system's clock unless set, so a
    // test can study on days of its choosing.
    std::int64_t Now() const { return Clock_(); }
    void setClock(std::function<std::int64_t()> clock) { Clock_ = std::move(clock); }
    // Every card, slot 0 included, as the deck file keeps it.
    void setCheckLump(bool Value, int16_t QuestionItemIndex);
    void setQuestionItemIndex(int16_t CardIndex, int16_t Value);
    // Every card, slot 0 included, asks its other item.
    void AllReversal();
    // count empty cards asking item 1, unchecked, standing at first.
    void InsertCards(int16_t first, int16_t count);
    void RemoveCards(int16_t first, int16_t count);
    // count cards from first stand at to afterwards, the others in order.
    void MoveCards(int16_t first, int16_t count, int16_t to);
    // The cards first..first+count-1, as they stand.
    std::vector<CardSlot> getCards(int16_t first, int16_t count) const;
    // The cards, as they are, standing at first..: one change, however many.
    // A card's items, marks and asked item as a whole; each kind of them
    // that differs is told.
    void setCard(int16_t CardIndex, CardSlot card);
    void InsertCards(int16_t first, std::vector<CardSlot> cards);

    // Modes
    void setTurnMode(uint8_t Mode);
    void setAnswerMode(uint8_t Mode);
    void setViewKind(uint8_t Value);

private:
    void Tell(DeckChangeKind kind, int first = 0, int count = 0, int to = 0);
    void TellOnly(DeckChangeKind kind, int first = 0, int count = 0, int to = 0);
    void TellChanging(DeckChangeKind kind, int first = 0, int count = 0, int to = 0);
    void EndAction();
    void TellChange(bool edits, DeckChangeKind kind, int first = 0, int count = 0, int to = 0);
    void TellEach(const std::function<void(DeckListener&)>& tell);
    DeckResult Read(const QString& Path, const QString& FileName, bool DataKeep, const WordListChooser& choose);
    DeckResult Write(const QString& Path, bool allowLoss);
    void WriteKorva(const QString& Path, bool allowLoss);
    void WriteKrv(const QString& Path, bool allowLoss);
    void AdoptRecoded(KorvaDeck deck);
    void Loaded(KorvaDeck read, const QString& Path, const QString& FileName, bool DataKeep, int before,
                std::optional<FileFingerprint> original, qint64 seenMs);
    void NoteFileWritten();
    void CheckCardRange(int first, int count, int extent) const;

    KorvaDeck Deck_;
    // The .korva file as this deck last read or wrote it, so a save there
    // writes only what changed; nullopt for any other file.
    std::optional<KorvaSnapshot> Snapshot_;
    QString FilePath_;
    QString FileName_;
    bool EditedFlag_ = false;
    std::optional<FileFingerprint> Original_;
    qint64 OriginalSeenMs_ = 0;  // when Original_ was taken, since the epoch; 0 when unknown
    bool AskBeforeOverwrite_ = false;
    std::vector<DeckListener*> Listeners_;
    int GroupDepth_ = 0;
    std::uint64_t Revision_ = 0;
    std::function<std::int64_t()> Clock_ = [] {
        return QDateTime::currentMSecsSinceEpoch();
    };
};

// One action's changes, bracketed for as long as it lives.
class DeckGroup {
public:
    explicit DeckGroup(DeckDocument& document) : Document_(document) { Document_.BeginGroup(); }
    ~DeckGroup() { Document_.EndGroup(); }
    DeckGroup(const DeckGroup&) = delete;
    DeckGroup& operator=(const DeckGroup&) = delete;

private:
    DeckDocument& Document_;
};

}  // namespace korva
