#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

namespace nimbara {

// Keeps one launcher per preferences file: two processes writing the same preferences would
// overwrite each other's changes. The first process to claim the guard holds a lock file and
// listens on a local socket; a later one finds the lock taken, asks the first to bring its
// window forward and then ends without touching the preferences.
//
// Both live in the user's runtime folder ($XDG_RUNTIME_DIR, private to the user), named after
// the user id and a digest of the preferences path, so that two users, or two test homes, never
// meet.
class SingleInstanceGuard : public QObject {
    Q_OBJECT

public:
    enum class Role { primary, secondary };

    explicit SingleInstanceGuard(const QString& preferencesPath, QObject* parent = nullptr);
    ~SingleInstanceGuard() override;

    // "nimbara-<uid>-<digest of the preferences path>"
    static QString instanceName(const QString& preferencesPath);

    // Takes the lock and starts listening (primary), or, when another live process holds the
    // lock, asks that one to raise its window (secondary). A lock left behind by a process that
    // died is taken over.
    Role claim();

Q_SIGNALS:
    // A later launch asked this (primary) process to bring its window forward.
    void activationRequested();

private:
    void acceptConnections();
    bool askPrimaryToActivate();

    QString name_;
    QString socketPath_;
    QLockFile lock_;
    std::unique_ptr<QLocalServer> server_;
};

} // namespace nimbara
