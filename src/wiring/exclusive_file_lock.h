#pragma once

#include <QString>

namespace nimbara {

// An advisory lock (flock) on one file, held from acquire() until the object is destroyed or the
// process ends. The kernel releases it when its holder dies, however it dies, so a lock left by
// a crashed process never needs to be recognised or cleaned up. It works across hosts sharing
// the file over NFS. The file's content means nothing and is never read or changed.
class ExclusiveFileLock {
public:
    enum class Outcome {
        acquired,      // this object holds the lock
        heldElsewhere, // another open of the file (another process) holds it
        failed,        // the file cannot be opened or locked; see errorString()
    };

    explicit ExclusiveFileLock(QString path);
    ~ExclusiveFileLock();
    ExclusiveFileLock(const ExclusiveFileLock&) = delete;
    ExclusiveFileLock& operator=(const ExclusiveFileLock&) = delete;

    // Creates the file when missing and tries to lock it, without waiting.
    Outcome tryAcquire();

    QString path() const;
    // Why the last tryAcquire() failed.
    QString errorString() const;

private:
    QString path_;
    QString error_;
    int descriptor_ = -1;
};

} // namespace nimbara
