#pragma once

#include "wiring/exclusive_file_lock.h"

#include <QString>
#include <memory>

namespace nimbara {

// The lock that keeps one process at a time on one user's preferences: two processes writing the
// same preferences would overwrite each other's changes, and two stores would install or remove
// the same apps at once. It is an advisory lock on ".lock" in the preferences folder, so it is
// the same lock however the folder is reached (a symbolic link, another runtime folder), and the
// kernel drops it when its holder dies. The launcher and nimbara-cli both take it before they
// read the preferences.
class PreferencesLock {
public:
    explicit PreferencesLock(const QString& preferencesPath);

    // Creates the preferences folder if needed and tries to take the lock, without waiting.
    ExclusiveFileLock::Outcome tryAcquire();

    // The preferences folder, canonical once tryAcquire() has created it.
    const QString& folder() const { return folder_; }
    QString lockPath() const;
    // Why the last tryAcquire() failed.
    QString errorString() const;

private:
    QString folder_;
    std::unique_ptr<ExclusiveFileLock> lock_;
};

} // namespace nimbara
