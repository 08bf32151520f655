#include "recovery/RecoveryStore.h"

#include <cstdlib>
#include <utility>
#include <vector>

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>

#include "deck/DeckError.h"
#include "deck/FileBytes.h"
#include "recovery/RecoveryError.h"
#include "recovery/RecoveryErrorText.h"
#include "recovery/RecoveryFiles.h"
#include "recovery/RecoveryFolder.h"

namespace korva {

namespace {

// A program starting at the same moment may lock a folder that has just been
// made and not yet locked, taking it for one left behind; another name is
// tried then.
constexpr int FolderAttempts = 3;

QString MakeUniqueFolder(const QString& root) {
    QByteArray pattern = QFile::encodeName(root + u'/' + ProgramFolderPrefix) + "XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw RecoveryError({.kind = RecoveryErrorKind::CannotMakeFolderIn, .path = root});
    }
    return QFile::decodeName(pattern);
}

// A call that the worker hands to the store's thread.
class CallEvent : public QEvent {
public:
    explicit CallEvent(std::function<void()> call) : QEvent(QEvent::User), Call_(std::move(call)) {}
    void Run() const { Call_(); }

private:
    std::function<void()> Call_;
};

void Failed(RecoveryJobResult& result, const QString& copy, RecoveryErrorDetail failure) {
    result.outcome = RecoveryJobResult::Outcome::Failed;
    qWarning("KORVA: %s: %s", qUtf8Printable(copy), qUtf8Printable(DescribeRecoveryError(failure)));
    result.failure = std::move(failure);
}

// Gone already counts as removed.
void RemoveFile(const QString& path) {
    QFile file(path);
    if (file.exists() && !file.remove()) {
        throw RecoveryError({.kind = RecoveryErrorKind::CannotRemove, .path = path, .reason = file.errorString()});
    }
}

}  // namespace

RecoveryStore::RecoveryStore(const QString& root) : Root_(root) {
    MakePrivateFolder(root);
    for (int attempt = 0; attempt < FolderAttempts && !Lock_; ++attempt) {
        Folder_ = MakeUniqueFolder(root);
        Lock_ = TryLockFolder(Folder_);
    }
    if (!Lock_) {
        throw RecoveryError({.kind = RecoveryErrorKind::CannotLock, .path = Folder_});
    }
    Writer_.setMaxThreadCount(1);
}

RecoveryStore::~RecoveryStore() { Writer_.waitForDone(); }

void RecoveryStore::SubmitCopy(int number, std::string record, const RecoveryOrigin& origin, JobDone done) {
    Schedule(number, {std::move(record), WriteOriginFile(origin), false, std::move(done)});
}

void RecoveryStore::SubmitRemoval(int number, JobDone done) { Schedule(number, {{}, {}, true, std::move(done)}); }

void RecoveryStore::Schedule(int number, Job job) {
    JobDone replaced;
    bool replacedRemoval = false;
    bool start = false;
    {
        const std::lock_guard<std::mutex> guard(Mutex_);
        const auto [place, added] = Pending_.try_emplace(number);
        if (!added) {
            replaced = std::move(place->second.done);
            replacedRemoval = place->second.removal;
        }
        place->second = std::move(job);
        start = !Draining_;
        Draining_ = true;
    }
    if (replaced) {
        Deliver(replaced, {number, replacedRemoval, RecoveryJobResult::Outcome::Replaced, {}});
    }
    if (start) {
        Writer_.start([this] { Drain(); });
    }
}

void RecoveryStore::Drain() {
    for (;;) {
        int number = 0;
        Job job;
        {
            const std::lock_guard<std::mutex> guard(Mutex_);
            if (Pending_.empty()) {
                Draining_ = false;
                Idle_.notify_all();
                return;
            }
            number = Pending_.begin()->first;
            job = std::move(Pending_.begin()->second);
            Pending_.erase(Pending_.begin());
            Running_ = number;
        }
        Finish(job, Run(number, job));
    }
}

RecoveryJobResult RecoveryStore::Run(int number, const Job& job) const {
    RecoveryJobResult result{number, job.removal, RecoveryJobResult::Outcome::Done, {}};
    try {
        if (job.removal) {
            // The copy first: a side file alone is never offered.
            RemoveFile(CopyPath(Folder_, number));
            RemoveFile(OriginPath(Folder_, number));
        } else {
            // The side file first: a copy on disk always has its origin.
            WriteFileAtomically(OriginPath(Folder_, number).toStdString(), job.origin);
            WriteFileAtomically(CopyPath(Folder_, number).toStdString(), job.record);
        }
    } catch (const DeckError& error) {
        Failed(result, CopyPath(Folder_, number), {.kind = RecoveryErrorKind::DeckFailure, .deck = error.detail()});
    } catch (const RecoveryError& error) {
        Failed(result, CopyPath(Folder_, number), error.detail());
    }
    return result;
}

// The results are on their way before anyone waiting learns the job is done.
void RecoveryStore::Finish(const Job& job, const RecoveryJobResult& result) {
    bool report = false;
    {
        const std::lock_guard<std::mutex> guard(Mutex_);
        Last_[result.number] = result;
        if (!result.removal) {
            const bool failed = result.outcome == RecoveryJobResult::Outcome::Failed;
            report = failed && !Failing_;
            Failing_ = failed;
        }
    }
    if (report) {
        ReportFailure(result.failure);
    }
    Deliver(job.done, result);
    const std::lock_guard<std::mutex> guard(Mutex_);
    Running_ = 0;
    Idle_.notify_all();
}

// Report_ is set and read on the store's own thread only.
void RecoveryStore::ReportFailure(const RecoveryErrorDetail& failure) {
    Post([this, failure] {
        if (Report_) {
            Report_(failure);
        }
    });
}

void RecoveryStore::Deliver(const JobDone& done, const RecoveryJobResult& result) {
    if (done) {
        Post([done, result] { done(result); });
    }
}

void RecoveryStore::Post(std::function<void()> call) {
    QCoreApplication::postEvent(&Context_, new CallEvent(std::move(call)));
}

void RecoveryStore::CallReceiver::customEvent(QEvent* event) {
    if (auto* call = dynamic_cast<CallEvent*>(event)) {
        call->Run();
    }
}

bool RecoveryStore::WaitFor(int number) {
    std::unique_lock<std::mutex> lock(Mutex_);
    Idle_.wait(lock, [&] { return Pending_.count(number) == 0 && Running_ != number; });
    const auto last = Last_.find(number);
    return last == Last_.end() || last->second.outcome != RecoveryJobResult::Outcome::Failed;
}

void RecoveryStore::WaitForWriter() {
    std::unique_lock<std::mutex> lock(Mutex_);
    Idle_.wait(lock, [&] { return !Draining_; });
}

void RecoveryStore::RemoveFolder() {
    WaitForWriter();
    std::vector<int> failedRemovals;
    {
        const std::lock_guard<std::mutex> guard(Mutex_);
        for (const auto& [number, last] : Last_) {
            if (last.removal && last.outcome == RecoveryJobResult::Outcome::Failed) {
                failedRemovals.push_back(number);
            }
        }
    }
    for (const int number : failedRemovals) {
        SubmitRemoval(number);
    }
    WaitForWriter();
    if (!CopyNumbers(Folder_).empty()) {
        Lock_->unlock();
        return;
    }
    RemoveLockedFolder(Folder_, *Lock_);
}

void RecoveryStore::Release() {
    WaitForWriter();
    Lock_->unlock();
}

}  // namespace korva
