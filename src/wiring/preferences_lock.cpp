#include "wiring/preferences_lock.h"

#include "core/logging.h"

#include <QDir>
#include <QFileInfo>

namespace nimbara {

PreferencesLock::PreferencesLock(const QString& preferencesPath)
    : folder_(QFileInfo(preferencesPath).absolutePath()) {}

ExclusiveFileLock::Outcome PreferencesLock::tryAcquire() {
    if (!lock_) {
        if (!QDir().mkpath(folder_)) {
            qCWarning(logPlatform).noquote() << "cannot create the preferences folder" << folder_;
        }
        const QString canonical = QFileInfo(folder_).canonicalFilePath();
        folder_ = canonical.isEmpty() ? QDir::cleanPath(folder_) : canonical;
        lock_ =
            std::make_unique<ExclusiveFileLock>(QDir(folder_).filePath(QStringLiteral(".lock")));
    }
    return lock_->tryAcquire();
}

QString PreferencesLock::lockPath() const {
    return lock_ ? lock_->path() : QDir(folder_).filePath(QStringLiteral(".lock"));
}

QString PreferencesLock::errorString() const {
    return lock_ ? lock_->errorString() : QString();
}

} // namespace nimbara
