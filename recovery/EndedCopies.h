#pragma once

#include <memory>
#include <vector>

#include <QLockFile>
#include <QString>

#include "deck/CardData.h"

namespace korva {

// One copy as its card window held it.
struct RecoveryCopy {
    CardData deck;
    QString filePath;  // the window's FilePath
    QString fileName;  // the window's FileName, its caption
};

// A copy that could not be read, and why.
struct DamagedCopy {
    QString name;    // the deck's file name when its side file says it, else the copy's own
    QString reason;  // in Japanese
};

// The copies left by programs that ended without a regular end: killed, or
// cut off from their display. Their folders are claimed by locking them, so
// that no other program offers the same copies while these are held; the
// folder of a program still running is never touched.
class EndedCopies {
public:
    // Claims every ended program's folder under root and reads its copies.
    // A copy that cannot be read is moved to the damaged folder at once.
    explicit EndedCopies(const QString& root);
    ~EndedCopies();
    EndedCopies(const EndedCopies&) = delete;
    EndedCopies& operator=(const EndedCopies&) = delete;

    std::vector<RecoveryCopy> TakeCopies() { return std::move(Copies_); }
    const std::vector<DamagedCopy>& getDamaged() const { return Damaged_; }
    QString getDamagedFolder() const;

    // Removes the claimed folders: their copies have been restored or
    // refused. A folder whose damaged copy could not be moved aside stays.
    void RemoveClaimedFolders();

private:
    struct Claim {
        QString folder;
        std::unique_ptr<QLockFile> lock;
        bool keep = false;
    };

    void ReadFolder(Claim& claim);
    void SetAside(Claim& claim, int number, const QString& name, const QString& reason);

    QString Root_;
    std::vector<Claim> Claims_;
    std::vector<RecoveryCopy> Copies_;
    std::vector<DamagedCopy> Damaged_;
};

}  // namespace korva
