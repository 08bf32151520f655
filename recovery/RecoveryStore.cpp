#include "recovery/RecoveryStore.h"

#include <cstdlib>

#include <QDir>
#include <QFile>

#include "deck/DeckError.h"
#include "deck/FileBytes.h"
#include "recovery/RecoveryError.h"
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
        throw RecoveryError(QStringLiteral("%1 にフォルダーを作れません").arg(root).toStdString());
    }
    return QFile::decodeName(pattern);
}

}  // namespace

RecoveryStore::RecoveryStore(const QString& root) : Root_(root) {
    MakePrivateFolder(root);
    for (int attempt = 0; attempt < FolderAttempts && !Lock_; ++attempt) {
        Folder_ = MakeUniqueFolder(root);
        Lock_ = TryLockFolder(Folder_);
    }
    if (!Lock_) {
        throw RecoveryError(QStringLiteral("%1 をロックできません").arg(Folder_).toStdString());
    }
    Writer_.setMaxThreadCount(1);
}

RecoveryStore::~RecoveryStore() { Writer_.waitForDone(); }

void RecoveryStore::SubmitCopy(int number, std::string record, const RecoveryOrigin& origin) {
    Writer_.start([this, number, record = std::move(record), origin = WriteOriginFile(origin)] {
        try {
            // The side file first: a copy on disk always has its origin.
            WriteFileAtomically(OriginPath(Folder_, number).toStdString(), origin);
            WriteFileAtomically(CopyPath(Folder_, number).toStdString(), record);
        } catch (const DeckError& error) {
            WriteFailed_ = true;
            qWarning("KORVA: %s: %s", qUtf8Printable(CopyPath(Folder_, number)), error.what());
        }
    });
}

void RecoveryStore::SubmitRemoval(int number) {
    Writer_.start([this, number] {
        QFile::remove(CopyPath(Folder_, number));
        QFile::remove(OriginPath(Folder_, number));
    });
}

bool RecoveryStore::WaitForWriter() {
    Writer_.waitForDone();
    return !WriteFailed_.exchange(false);
}

void RecoveryStore::RemoveFolder() {
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
