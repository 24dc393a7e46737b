#pragma once

#include "wiring/preferences_lock.h"

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <memory>

namespace nimbara {

// Keeps one launcher per preferences file: two processes writing the same preferences would
// overwrite each other's changes. The first process to claim the guard holds the preferences
// lock and listens on a local socket; a later one finds the lock taken, asks the first to bring
// its window forward and then ends without touching the preferences.
//
// The lock decides (see PreferencesLock). The socket only carries the hand-over; it lives in the
// user's runtime folder
// ($XDG_RUNTIME_DIR, private to the user), named after the user id and a digest of the
// preferences folder's canonical path.
class SingleInstanceGuard : public QObject {
    Q_OBJECT

public:
    enum class Role {
        primary,    // this process is the launcher for these preferences
        handedOver, // a running launcher was asked to come forward; this launch ends
        refused,    // a running launcher holds the preferences but could not be reached
    };

    explicit SingleInstanceGuard(const QString& preferencesPath, QObject* parent = nullptr);
    ~SingleInstanceGuard() override;

    // "nimbara-<uid>-<digest of the folder's path>"
    static QString instanceName(const QString& canonicalFolder);

    // Creates the preferences folder if needed, takes the lock and starts listening (primary),
    // or, when another live process holds the lock, asks that one to raise its window. Says on
    // stderr (and in the log) why a launch does not run. Waits at most a few seconds.
    Role claim();

Q_SIGNALS:
    // A later launch asked this (primary) process to bring its window forward.
    void activationRequested();

private:
    void listen();
    void acceptConnections();
    bool askPrimaryToActivate(int attempts);

    PreferencesLock lock_;
    QString socketPath_;
    std::unique_ptr<QLocalServer> server_;
};

} // namespace nimbara
