// The document's files: open, append, import and save. Each read goes into
// the deck only whole, so a failure leaves it as it was.
#include <sys/stat.h>

#include <deque>
#include <string>
#include <unordered_map>

#include <QDateTime>
#include <QFileInfo>

#include "deck/DeckConversion.h"
#include "deck/DeckError.h"
#include "deck/DeckFile.h"
#include "deck/DeckPath.h"
#include "deck/DeckRecord.h"
#include "deck/DeckText.h"
#include "deck/FileBytes.h"
#include "deck/KorvaFile.h"
#include "deck/PathText.h"
#include "document/DeckDocument.h"
#include "memory/MemoryKeeping.h"

namespace korva {

namespace {

DeckResult Failed(DeckFailure failure, const QString& path, const DeckError& error) {
    return {failure, path, error.detail()};
}

// What a file was when it was read: the fingerprint of the bytes read, and
// when that was.
struct FileSeen {
    std::optional<FileFingerprint> original;
    qint64 atMs = 0;
};

// The file's bytes, read once; seen, when asked for, is the file as that
// read found it. The time is taken before the read, so a write the bytes
// missed is never counted as seen.
std::string ReadNoting(const QString& path, FileSeen* seen) {
    const qint64 atMs = QDateTime::currentMSecsSinceEpoch();
    FileContent content = ReadFileContent(TextToPath(path));
    if (seen) {
        *seen = {FingerprintOfBytes(content.bytes, content.modifiedMs), atMs};
    }
    return std::move(content.bytes);
}

// The deck with more cards after its own, each given a new id; its record
// and the rest stay.
KorvaDeck AppendedTo(const KorvaDeck& deck, CardData cards) {
    KorvaDeck appended = deck;
    appended.cards = std::move(cards);
    while (appended.cardIds.size() < appended.cards.Items.size()) {
        appended.cardIds.push_back(NewCardId(appended));
    }
    return appended;
}

// The key by which a card of a recovery copy is found again among its
// file's cards: both texts.
std::string CardKey(const CardData::ItemTexts& items) { return items[1] + '\0' + items[2]; }

// A recovery copy holds the cards and the answers since the last save, not
// the study before it: the record, the settings and the ids of the cards it
// shares with the deck's file as last saved come from that file, so that a
// save after the restore keeps them. A card found there by its texts keeps
// its id (the first such card not yet taken, in deck order); any other is a
// new card. Returns what the file holds, for the next save to write only the
// difference; a file that cannot be read leaves the copy as it is.
std::optional<KorvaSnapshot> AdoptSavedStudy(KorvaDeck& deck, const std::string& path) {
    KorvaDeck saved;
    KorvaSnapshot snapshot;
    try {
        saved = LoadKorvaFile(path, snapshot);
    } catch (const DeckError&) {
        return std::nullopt;
    }
    std::unordered_map<std::string, std::deque<int64_t>> ids;
    for (std::size_t card = 1; card < saved.cardIds.size(); ++card) {
        ids[CardKey(saved.cards.Items[card])].push_back(saved.cardIds[card]);
    }
    deck.nextCardId = saved.nextCardId;
    for (std::size_t card = 1; card < deck.cardIds.size(); ++card) {
        auto found = ids.find(CardKey(deck.cards.Items[card]));
        if (found != ids.end() && !found->second.empty()) {
            deck.cardIds[card] = found->second.front();
            found->second.pop_front();
        } else {
            deck.cardIds[card] = NewCardId(deck);
        }
    }
    deck.record = std::move(saved.record);
    deck.memory = std::move(saved.memory);
    deck.memoryRows = saved.memoryRows;
    deck.settings = saved.settings;
    deck.createdMs = saved.createdMs;
    return snapshot;
}

// The copy's answers after the record, each to the card it was given to;
// those of cards since removed to a card id of their own, as their rows in
// the record kept before.
void AppendCopiedAnswers(KorvaDeck& deck, const std::vector<CopiedAnswer>& answers) {
    std::unordered_map<int64_t, int64_t> removed;
    for (const CopiedAnswer& answer : answers) {
        ReviewRow row = answer.row;
        if (answer.card > 0 && static_cast<std::size_t>(answer.card) < deck.cardIds.size()) {
            row.cardId = deck.cardIds[static_cast<std::size_t>(answer.card)];
        } else {
            auto [slot, added] = removed.try_emplace(row.cardId, 0);
            if (added) {
                slot->second = NewCardId(deck);
            }
            row.cardId = slot->second;
        }
        deck.record.push_back(row);
    }
}

}  // namespace

bool IsDeckFilePath(const QString& Path) {
    // By the path's bytes: a name that is not UTF-8 is still the file named.
    struct stat info {};
    return !Path.isEmpty() && ::stat(TextToPath(Path).c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           !QFileInfo(Path).fileName().startsWith(u'.');
}

DeckResult DeckDocument::Open(const QString& Path, const QString& FileName, const WordListChooser& choose) {
    return Read(Path, FileName, false, choose);
}

DeckResult DeckDocument::Append(const QString& Path, const QString& FileName, const WordListChooser& choose) {
    return Read(Path, FileName, true, choose);
}

DeckResult DeckDocument::Read(const QString& Path, const QString& FileName, bool DataKeep,
                              const WordListChooser& choose) {
    const DeckPathKind kind = KindOfPath(Path.toStdString());
    if (kind == DeckPathKind::Other) {
        return {DeckFailure::OtherKind, Path, {}};
    }
    if (!IsDeckFilePath(Path)) {
        return {DeckFailure::Missing, Path, {}};
    }
    if (kind == DeckPathKind::Csv) {
        return Import(Path, FileName, DataKeep, choose);
    }
    const int before = Deck_.cards.Total();
    FileSeen seen;
    KorvaDeck read;
    std::optional<KorvaSnapshot> snapshot;
    try {
        ReadWithinMemory([&] {
            if (kind == DeckPathKind::Korva && !DataKeep) {
                seen.atMs = QDateTime::currentMSecsSinceEpoch();
                snapshot.emplace();
                read = LoadKorvaFile(TextToPath(Path), *snapshot);
                seen.original = FingerprintOf(Path);
                return;
            }
            CardData cards = DataKeep ? Deck_.cards : CardData{};
            if (kind == DeckPathKind::Korva) {
                AppendCards(cards, LoadKorvaFile(TextToPath(Path)).cards);
            } else {
                LoadCardBytes(ReadNoting(Path, DataKeep ? nullptr : &seen), cards, DataKeep);
            }
            read = DataKeep ? AppendedTo(Deck_, std::move(cards)) : WithCardIds(std::move(cards));
        });
    } catch (const DeckError& error) {
        return Failed(DeckFailure::Unreadable, Path, error);
    }
    Loaded(std::move(read), Path, FileName, DataKeep, before, std::move(seen.original), seen.atMs);
    if (!DataKeep) {
        Snapshot_ = std::move(snapshot);
    }
    return {};
}

// Without a chooser a list is read as it detects itself. A chooser that
// never reads the file leaves it unknown.
DeckResult DeckDocument::Import(const QString& Path, const QString& FileName, bool DataKeep,
                                const WordListChooser& choose) {
    const int before = Deck_.cards.Total();
    FileSeen seen;
    const FileReader read = [&Path, &seen, DataKeep] {
        return ReadNoting(Path, DataKeep ? nullptr : &seen);
    };
    std::optional<WordList> list;
    KorvaDeck imported;
    try {
        ReadWithinMemory([&] {
            list = choose ? choose(FileName, read) : ReadWordList(read());
            if (list) {
                // A new deck holds its texts as the list was read.
                CardData cards = DataKeep ? Deck_.cards : CardData{};
                cards.encoding = DataKeep ? cards.encoding : list->items;
                ImportWordList(std::move(*list), cards, DataKeep);
                imported = DataKeep ? AppendedTo(Deck_, std::move(cards)) : WithCardIds(std::move(cards));
            }
        });
    } catch (const DeckError& error) {
        return Failed(DeckFailure::Unreadable, Path, error);
    }
    if (!list) {
        return {DeckFailure::Cancelled, Path, {}};
    }
    Loaded(std::move(imported), Path, FileName, DataKeep, before, std::move(seen.original), seen.atMs);
    if (!DataKeep) {
        Snapshot_.reset();
    }
    return {};
}

// An appended file is not the one the deck belongs to.
void DeckDocument::Loaded(KorvaDeck read, const QString& Path, const QString& FileName, bool DataKeep, int before,
                          std::optional<FileFingerprint> original, qint64 seenMs) {
    const DeckGroup action(*this);
    TellChanging(DeckChangeKind::Replaced);
    Deck_ = std::move(read);
    // A file whose memory lags its record (written by a program that kept
    // no memory, or cut short) is brought up to it, so every answer from
    // here on follows a memory that equals a replay.
    CatchUpMemory(Deck_);
    if (DataKeep) {
        // Read anew, though its file stays: a view deals from the start.
        TellChange(Deck_.cards.Total() > before, DeckChangeKind::Replaced);
        return;
    }
    FilePath_ = Path;
    FileName_ = FileName;
    Original_ = std::move(original);
    OriginalSeenMs_ = seenMs;
    AskBeforeOverwrite_ = false;
    EditedFlag_ = false;
    Tell(DeckChangeKind::Replaced);
    Tell(DeckChangeKind::File);
    Tell(DeckChangeKind::EditedFlag);
}

void DeckDocument::Restore(CardData deck, const QString& Path, const QString& FileName,
                           std::optional<FileFingerprint> original, const std::vector<CopiedAnswer>& answers) {
    const DeckGroup action(*this);
    TellChanging(DeckChangeKind::Replaced);
    Deck_ = WithCardIds(std::move(deck));
    Snapshot_.reset();
    if (Deck_.cards.encoding == ItemEncoding::Utf8 && KindOfPath(Path.toStdString()) == DeckPathKind::Korva) {
        Snapshot_ = AdoptSavedStudy(Deck_, TextToPath(Path));
    }
    AppendCopiedAnswers(Deck_, answers);
    CatchUpMemory(Deck_);
    FilePath_ = Path;
    FileName_ = FileName;
    AskBeforeOverwrite_ = !original || FingerprintOf(Path) != original;
    Original_ = std::move(original);
    OriginalSeenMs_ = 0;
    EditedFlag_ = true;
    Tell(DeckChangeKind::Replaced);
    Tell(DeckChangeKind::File);
    Tell(DeckChangeKind::EditedFlag);
}

// The path's ending chooses the format; a deck held in the other encoding is
// written in that file's, whole or not at all, and is held so from then on.
DeckResult DeckDocument::Write(const QString& Path, bool allowLoss) {
    try {
        ReadWithinMemory([&] {
            if (KindOfPath(Path.toStdString()) == DeckPathKind::Korva) {
                WriteKorva(Path, allowLoss);
            } else {
                WriteKrv(Path, allowLoss);
            }
        });
    } catch (const DeckError& error) {
        return Failed(DeckFailure::Unwritable, Path, error);
    }
    return {};
}

// Only the changes since the last read or save of that very file are
// written there; any other file is written whole.
void DeckDocument::WriteKorva(const QString& Path, bool allowLoss) {
    const bool recode = Deck_.cards.encoding != ItemEncoding::Utf8;
    KorvaDeck recoded;
    if (recode) {
        recoded = Deck_;
        recoded.cards = InEncoding(Deck_.cards, ItemEncoding::Utf8, allowLoss);
    }
    KorvaDeck& saved = recode ? recoded : Deck_;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    saved.savedMs = now;
    saved.createdMs = saved.createdMs != 0 ? saved.createdMs : now;
    saved.savedByVersion = KORVA_VERSION;
    const std::string path = TextToPath(Path);
    if (!recode && Snapshot_ && Path == FilePath_) {
        SaveKorvaChanges(path, saved, *Snapshot_);
    } else {
        Snapshot_ = SaveKorvaFile(path, saved);
    }
    if (recode) {
        AdoptRecoded(std::move(recoded));
    }
}

std::vector<CopiedAnswer> DeckDocument::UnsavedAnswers() const {
    const std::size_t saved = Snapshot_ ? Snapshot_->recordRows : 0;
    std::vector<CopiedAnswer> answers;
    if (saved >= Deck_.record.size()) {
        return answers;
    }
    std::unordered_map<int64_t, int> cards;
    for (std::size_t card = 1; card < Deck_.cardIds.size(); ++card) {
        cards.emplace(Deck_.cardIds[card], static_cast<int>(card));
    }
    for (auto row = Deck_.record.begin() + static_cast<std::ptrdiff_t>(saved); row != Deck_.record.end(); ++row) {
        const auto card = cards.find(row->cardId);
        answers.push_back({*row, card != cards.end() ? card->second : 0});
    }
    return answers;
}

CardConversion DeckDocument::LossesSavingAs(const QString& Path) const {
    const bool korva = KindOfPath(Path.toStdString()) == DeckPathKind::Korva;
    return LossesInEncoding(Deck_.cards, korva ? ItemEncoding::Utf8 : ItemEncoding::Cp932);
}

// A .krv file keeps no record and no ids: the deck goes on as that file's.
void DeckDocument::WriteKrv(const QString& Path, bool allowLoss) {
    if (Deck_.cards.encoding == ItemEncoding::Cp932) {
        SaveCardFile(TextToPath(Path), Deck_.cards);
        Snapshot_.reset();
        return;
    }
    CardData cards = InEncoding(Deck_.cards, ItemEncoding::Cp932, allowLoss);
    // A .krv file keeps no record to schedule by, and its view byte only
    // the kinds it has always had.
    if (cards.Modes.ViewKind == ViewDue) {
        cards.Modes.ViewKind = ViewAll;
    }
    SaveCardFile(TextToPath(Path), cards);
    Snapshot_.reset();
    KorvaDeck deck = WithCardIds(std::move(cards));
    AdoptRecoded(std::move(deck));
}

// The same cards, their texts held anew: told as every card's texts.
void DeckDocument::AdoptRecoded(KorvaDeck deck) {
    Deck_ = std::move(deck);
    TellOnly(DeckChangeKind::Texts, 0, Deck_.cards.Total() + 1);
}

// A failed save keeps the deck edited.
DeckResult DeckDocument::Save() {
    DeckResult result = Write(FilePath_, false);
    if (result.isDone()) {
        const DeckGroup action(*this);
        NoteFileWritten();
        setEditedFlag(false);
    }
    return result;
}

DeckResult DeckDocument::SaveAs(const QString& Path, bool allowLoss) {
    DeckResult result = Write(Path, allowLoss);
    if (result.isDone()) {
        const DeckGroup action(*this);
        FilePath_ = Path;
        NoteFileWritten();
        setEditedFlag(false);
        FileName_ = DisplayPath(QFileInfo(Path).fileName());
        Tell(DeckChangeKind::File);
    }
    return result;
}

// Only a file as this deck last saw it is overwritten without a word.
void DeckDocument::NoteFileWritten() {
    Original_ = FingerprintOf(FilePath_);
    OriginalSeenMs_ = QDateTime::currentMSecsSinceEpoch();
    AskBeforeOverwrite_ = false;
}

// A file deleted since is not a file written since: there is nothing left
// to lose by writing it anew.
bool DeckDocument::isFileWrittenSince() const {
    struct stat info {};
    return Original_ && ::stat(TextToPath(FilePath_).c_str(), &info) == 0 &&
           !isFileAsSeen(FilePath_, *Original_, OriginalSeenMs_);
}

}  // namespace korva
