#pragma once

#include <atomic>
#include <memory>
#include <string>

#include <QLockFile>
#include <QString>
#include <QThreadPool>

#include "recovery/RecoveryOrigin.h"

namespace korva {

// The running program's recovery copies: a folder of its own under the
// recovery root, locked for as long as the program runs, so that no other
// program offers, reads or removes what is in it.
//
// Copies are written and removed by one worker thread, in the order they
// were asked for: a write waits for the disk (each file is synced before it
// replaces the last), and that wait must not fall on the user's typing. The
// caller hands over the finished bytes, so the worker never reads a deck.
class RecoveryStore {
public:
    // Makes the program's folder under root and locks it. Throws
    // RecoveryError when the folder cannot be made or locked.
    explicit RecoveryStore(const QString& root);
    // Waits for the worker; leaves the folder and its copies where they are.
    ~RecoveryStore();
    RecoveryStore(const RecoveryStore&) = delete;
    RecoveryStore& operator=(const RecoveryStore&) = delete;

    const QString& getRoot() const { return Root_; }
    const QString& getFolder() const { return Folder_; }

    // A number for one card window's copy, unique within this program.
    int NewCopyNumber() { return ++LastCopyNumber_; }
    // Both return at once. A copy replaces the earlier one of its number
    // only once it has been written whole.
    void SubmitCopy(int number, std::string record, const RecoveryOrigin& origin);
    void SubmitRemoval(int number);
    // Returns once everything asked for is done: true when every write since
    // the last call succeeded.
    bool WaitForWriter();

    // A regular end: nothing of this program stays behind. By then every
    // card window has closed and taken its copy along; a copy still here
    // means the end was not a regular one after all, and it is left, unlocked,
    // for the next start.
    void RemoveFolder();
    // An end by a signal: the copies stay, and the folder is unlocked, so
    // that the next start offers them at once.
    void Release();

private:
    QString Root_;
    QString Folder_;
    std::unique_ptr<QLockFile> Lock_;
    QThreadPool Writer_;
    std::atomic<bool> WriteFailed_ = false;
    int LastCopyNumber_ = 0;
};

}  // namespace korva
