#include "recovery/EndedCopies.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <utility>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "deck/DeckError.h"
#include "deck/DeckRecord.h"
#include "deck/FileBytes.h"
#include "recovery/RecoveryError.h"
#include "recovery/RecoveryFiles.h"
#include "recovery/RecoveryFolder.h"
#include "recovery/RecoveryOrigin.h"

namespace korva {

namespace {

QString SystemReason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

RecoveryOrigin ReadOrigin(const QString& path) {
    std::string bytes;
    try {
        bytes = ReadFileBytes(path.toStdString());
    } catch (const DeckError& error) {
        throw RecoveryError({.kind = RecoveryErrorKind::OriginUnreadable, .deck = error.detail()});
    }
    return ReadOriginFile(bytes);
}

// Moves a file into the damaged folder under its program folder's name, so
// copies of several programs do not meet, readable by the user alone. Empty
// when moved (or when there is no such file), else why not.
QString MoveAside(const QString& path, const QString& damagedFolder, const QString& programFolder) {
    const QByteArray from = QFile::encodeName(path);
    struct stat info {};
    if (::lstat(from.constData(), &info) != 0) {
        return errno == ENOENT ? QString() : SystemReason(errno);
    }
    if (S_ISREG(info.st_mode) && ::chmod(from.constData(), S_IRUSR | S_IWUSR) != 0) {
        return SystemReason(errno);
    }
    const QByteArray to = QFile::encodeName(damagedFolder + u'/' + QFileInfo(programFolder).fileName() + u'-' +
                                            QFileInfo(path).fileName());
    if (::rename(from.constData(), to.constData()) != 0) {
        return SystemReason(errno);
    }
    return {};
}

}  // namespace

EndedCopies::EndedCopies(const QString& root) : Root_(root) {
    // Every kind of entry, links included, so that none is taken for a folder
    // unlooked.
    const QStringList names =
        QDir(root).entryList({ProgramFolderPrefix + u'*'},
                             QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& name : names) {
        ClaimFolder(root + u'/' + name);
    }
}

EndedCopies::~EndedCopies() = default;

QString EndedCopies::getDamagedFolder() const { return Root_ + u'/' + DamagedFolderName; }

void EndedCopies::ClaimFolder(const QString& folder) {
    if (const std::optional<FolderProblem> why = WhyNotPrivateFolder(folder)) {
        Damaged_.push_back(
            {QFileInfo(folder).fileName(), {.kind = RecoveryErrorKind::NotProgramsFolder, .folder = *why}});
        return;
    }
    Claim claim{folder, TryLockFolder(folder), {}};
    if (!claim.lock) {
        return;
    }
    ReadFolder(claim);
    Claims_.push_back(std::move(claim));
}

void EndedCopies::ReadFolder(Claim& claim) {
    for (const int number : CopyNumbers(claim.folder)) {
        QString name = QFileInfo(CopyPath(claim.folder, number)).fileName();
        // The program writes files there, never links: one would lead a
        // read, or a move, anywhere.
        if (QFileInfo(CopyPath(claim.folder, number)).isSymLink() ||
            QFileInfo(OriginPath(claim.folder, number)).isSymLink()) {
            Damaged_.push_back({name, {.kind = RecoveryErrorKind::CopyIsLink}});
            continue;
        }
        try {
            const RecoveryOrigin origin = ReadOrigin(OriginPath(claim.folder, number));
            name = origin.fileName;
            RecoveryCopy copy{CardData{}, origin.filePath, origin.fileName, origin.original, 0, origin.answers};
            ReadWithinMemory([&] {
                const FileContent content = ReadFileContent(CopyPath(claim.folder, number).toStdString());
                copy.deck = ReadDeckRecord(content.bytes);
                copy.deck.encoding = origin.encoding;
                copy.copiedMs = content.modifiedMs;
            });
            Copies_.push_back(std::move(copy));
            claim.taken.push_back(number);
        } catch (const DeckError& error) {
            SetAside(claim, number, name, {.kind = RecoveryErrorKind::DeckFailure, .deck = error.detail()});
        } catch (const RecoveryError& error) {
            SetAside(claim, number, name, error.detail());
        }
    }
}

void EndedCopies::SetAside(const Claim& claim, int number, const QString& name, RecoveryErrorDetail why) {
    const QString damaged = getDamagedFolder();
    std::optional<RecoveryErrorDetail> whyLeft;
    try {
        MakePrivateFolder(damaged);
        for (const QString& path : {CopyPath(claim.folder, number), OriginPath(claim.folder, number)}) {
            const QString reason = MoveAside(path, damaged, claim.folder);
            if (!reason.isEmpty()) {
                whyLeft = {.kind = RecoveryErrorKind::CannotMoveAside, .path = path, .reason = reason};
                break;
            }
        }
    } catch (const RecoveryError& error) {
        whyLeft = error.detail();
    }
    if (!whyLeft) {
        Damaged_.push_back({name, std::move(why), true});
        return;
    }
    Damaged_.push_back({name, std::move(why), false, claim.folder, std::move(*whyLeft)});
}

void EndedCopies::RemoveClaimedFolders() {
    for (Claim& claim : Claims_) {
        bool removed = true;
        for (const int number : claim.taken) {
            removed = RemoveCopy(claim.folder, number) && removed;
        }
        // A folder still holding a copy is unlocked as it is, when the claim
        // goes.
        if (removed && CopyNumbers(claim.folder).empty()) {
            RemoveLockedFolder(claim.folder, *claim.lock);
        }
    }
    Claims_.clear();
}

}  // namespace korva
