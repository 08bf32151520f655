#pragma once

#include <memory>
#include <optional>
#include <vector>

#include <QLockFile>
#include <QString>

#include "deck/CardData.h"
#include "recovery/FileFingerprint.h"
#include "recovery/RecoveryError.h"
#include "recovery/RecoveryOrigin.h"

namespace korva {

// One copy as its card window held it.
struct RecoveryCopy {
    CardData deck;
    QString filePath;                                        // the window's FilePath
    QString fileName;                                        // the window's FileName, its caption
    std::optional<FileFingerprint> original = std::nullopt;  // the file as the window last read or wrote it
    qint64 copiedMs = 0;                                     // when the copy was last written, since the epoch
    std::vector<CopiedAnswer> answers = {};                  // given since the file was last written
};

// A copy that could not be read, and why; or something in the recovery
// folder that is not the program's own, which is left as it is. Worded by
// DescribeDamagedCopy.
struct DamagedCopy {
    QString name;  // the deck's file name when its side file says it, else the copy's own
    RecoveryErrorDetail why;
    bool movedAside = false;        // now in the damaged folder
    QString leftIn{};               // the folder it stays in when it could not be moved aside
    RecoveryErrorDetail whyLeft{};  // and why it could not
};

// The copies left by programs that ended without a regular end: killed, or
// cut off from their display. Their folders are claimed by locking them, so
// that no other program offers the same copies while these are held; the
// folder of a program still running is never touched.
class EndedCopies {
public:
    // Claims every ended program's folder under root and reads its copies.
    // A copy that cannot be read is moved to the damaged folder at once, or
    // left where it is when it cannot be. Only folders the program made are
    // opened: a symbolic link or another user's folder is never followed.
    explicit EndedCopies(const QString& root);
    ~EndedCopies();
    EndedCopies(const EndedCopies&) = delete;
    EndedCopies& operator=(const EndedCopies&) = delete;

    std::vector<RecoveryCopy> TakeCopies() { return std::move(Copies_); }
    const std::vector<DamagedCopy>& getDamaged() const { return Damaged_; }
    QString getDamagedFolder() const;

    // Removes the copies taken, each on its own: they have been restored or
    // refused. Then every claimed folder that holds nothing more goes; one
    // whose damaged copy could not be moved aside stays, with that copy only.
    void RemoveClaimedFolders();

private:
    struct Claim {
        QString folder;
        std::unique_ptr<QLockFile> lock;
        std::vector<int> taken;  // the numbers of the copies read
    };

    void ClaimFolder(const QString& folder);
    void ReadFolder(Claim& claim);
    void SetAside(const Claim& claim, int number, const QString& name, RecoveryErrorDetail why);

    QString Root_;
    std::vector<Claim> Claims_;
    std::vector<RecoveryCopy> Copies_;
    std::vector<DamagedCopy> Damaged_;
};

}  // namespace korva
