#include "recovery/EndedCopies.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "deck/DeckError.h"
#include "deck/DeckRecord.h"
#include "deck/FileBytes.h"
#include "recovery/RecoveryFiles.h"
#include "recovery/RecoveryOrigin.h"

namespace korva {

namespace {

QString Reason(const DeckError& error) { return QString::fromStdString(error.what()); }

RecoveryOrigin ReadOrigin(const QString& path) {
    std::string bytes;
    try {
        bytes = ReadFileBytes(path.toStdString());
    } catch (const DeckError& error) {
        throw DeckError(std::string("元のファイルの情報を読めません。") + error.what());
    }
    return ReadOriginFile(bytes);
}

// Moves a file into the damaged folder under its program folder's name, so
// copies of several programs do not meet; false when it could not be moved.
bool MoveAside(const QString& path, const QString& damagedFolder, const QString& programFolder) {
    if (!QFile::exists(path)) {
        return true;
    }
    const QString target =
        damagedFolder + u'/' + QFileInfo(programFolder).fileName() + u'-' + QFileInfo(path).fileName();
    QFile::remove(target);
    return QFile::rename(path, target);
}

}  // namespace

EndedCopies::EndedCopies(const QString& root) : Root_(root) {
    const QStringList folders = QDir(root).entryList({ProgramFolderPrefix + u'*'},
                                                     QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& name : folders) {
        Claim claim{root + u'/' + name, nullptr, false};
        claim.lock = TryLockFolder(claim.folder);
        if (!claim.lock) {
            continue;
        }
        ReadFolder(claim);
        Claims_.push_back(std::move(claim));
    }
}

EndedCopies::~EndedCopies() = default;

QString EndedCopies::getDamagedFolder() const { return Root_ + u'/' + DamagedFolderName; }

void EndedCopies::ReadFolder(Claim& claim) {
    for (const int number : CopyNumbers(claim.folder)) {
        QString name = QFileInfo(CopyPath(claim.folder, number)).fileName();
        try {
            const RecoveryOrigin origin = ReadOrigin(OriginPath(claim.folder, number));
            name = origin.fileName;
            RecoveryCopy copy{CardData{}, origin.filePath, origin.fileName};
            ReadWithinMemory(
                [&] { copy.deck = ReadDeckRecord(ReadFileBytes(CopyPath(claim.folder, number).toStdString())); });
            Copies_.push_back(std::move(copy));
        } catch (const DeckError& error) {
            SetAside(claim, number, name, Reason(error));
        }
    }
}

void EndedCopies::SetAside(Claim& claim, int number, const QString& name, const QString& reason) {
    Damaged_.push_back({name, reason});
    const QString damaged = getDamagedFolder();
    QDir().mkpath(damaged);
    const bool moved = MoveAside(CopyPath(claim.folder, number), damaged, claim.folder) &&
                       MoveAside(OriginPath(claim.folder, number), damaged, claim.folder);
    claim.keep = claim.keep || !moved;
}

void EndedCopies::RemoveClaimedFolders() {
    for (Claim& claim : Claims_) {
        if (!claim.keep) {
            RemoveLockedFolder(claim.folder, *claim.lock);
        }
    }
    Claims_.clear();
}

}  // namespace korva
