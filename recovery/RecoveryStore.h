#pragma once

#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include <QLockFile>
#include <QObject>
#include <QString>
#include <QThreadPool>

#include "recovery/RecoveryError.h"
#include "recovery/RecoveryOrigin.h"

namespace korva {

// What became of one job of the writer.
struct RecoveryJobResult {
    enum class Outcome { Done, Replaced, Failed };
    int number = 0;
    bool removal = false;
    Outcome outcome = Outcome::Done;
    RecoveryErrorDetail failure{};  // why, for Failed
};

// The running program's recovery copies: a folder of its own under the
// recovery root, locked for as long as the program runs, so that no other
// program offers, reads or removes what is in it.
//
// Copies are written and removed by one worker thread: a write waits for the
// disk (each file is synced before it replaces the last), and that wait must
// not fall on the user's typing. The caller hands over the finished bytes,
// so the worker never reads a deck. Only the latest job of each copy waits:
// a newer one replaces it, so a slow disk holds at most one deck per window
// in memory, and the newest is never behind older ones of its own copy.
class RecoveryStore {
public:
    using JobDone = std::function<void(const RecoveryJobResult&)>;
    using FailureReport = std::function<void(const RecoveryErrorDetail& failure)>;
    // Short enough that a write, with a slow disk's sync, is on disk about 2
    // seconds after the change.
    static constexpr int DefaultWriteDelayMs = 1500;

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
    // How long a window waits after a change before it hands over its copy.
    int getWriteDelayMs() const { return WriteDelayMs_; }
    void setWriteDelayMs(int delayMs) { WriteDelayMs_ = delayMs; }

    // Both return at once. A copy replaces the earlier one of its number
    // only once it has been written whole. done, when given, is called on
    // the thread that made the store, from its event loop.
    void SubmitCopy(int number, std::string record, const RecoveryOrigin& origin, JobDone done = {});
    void SubmitRemoval(int number, JobDone done = {});
    // Returns once the latest job of that copy is done: true when it succeeded.
    bool WaitFor(int number);
    // Returns once every job asked for is done.
    void WaitForWriter();

    // Called, like done, when a copy cannot be written; once, and again only
    // after a later write of a copy has succeeded.
    void setFailureReport(FailureReport report) { Report_ = std::move(report); }
    // Hands a failure found before any write (a deck that cannot be a copy)
    // to the same report, from the event loop; the caller tells it once.
    void ReportFailure(const RecoveryErrorDetail& failure);

    // A regular end: nothing of this program stays behind. By then every
    // card window has closed and taken its copy along, and a removal that
    // failed is tried once more; a copy still here means the end was not a
    // regular one after all, and it is left, unlocked, for the next start.
    void RemoveFolder();
    // An end by a signal: the copies stay, and the folder is unlocked, so
    // that the next start offers them at once.
    void Release();

private:
    struct Job {
        std::string record;  // empty for a removal
        std::string origin;
        bool removal = false;
        JobDone done;
    };

    void Schedule(int number, Job job);
    void Drain();
    RecoveryJobResult Run(int number, const Job& job) const;
    void Finish(const Job& job, const RecoveryJobResult& result);
    void Deliver(const JobDone& done, const RecoveryJobResult& result);
    void Post(std::function<void()> call);

    // Runs the calls posted to it, on its own thread.
    class CallReceiver : public QObject {
    protected:
        void customEvent(QEvent* event) override;
    };

    QString Root_;
    QString Folder_;
    std::unique_ptr<QLockFile> Lock_;
    // Where the results are handed back: the thread that made the store.
    CallReceiver Context_;
    int WriteDelayMs_ = DefaultWriteDelayMs;
    FailureReport Report_;
    int LastCopyNumber_ = 0;

    std::mutex Mutex_;
    std::condition_variable Idle_;
    std::map<int, Job> Pending_;
    int Running_ = 0;  // the number of the copy the worker is on; 0 for none
    bool Draining_ = false;
    bool Failing_ = false;
    std::map<int, RecoveryJobResult> Last_;
    QThreadPool Writer_;
};

}  // namespace korva
