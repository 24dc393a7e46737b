#pragma once

#include "contracts/collaborator_contracts.h"
#include "contracts/collaborator_records.h"

#include <QDateTime>
#include <QString>

namespace nimbara {

// Mends what an install cut short left behind. In the install root and in the folder of every
// recorded install, each `<name>.<UUID>.backup` is settled against the recorded version of
// `<name>`:
// - nothing at `<name>`: the backup moves back;
// - `<name>` carries the recorded version: the backup is stale and is removed;
// - the backup carries it: the copy at `<name>` goes to the freedesktop.org Trash and the backup
// moves back;
// - otherwise, or when no install is recorded at `<name>`, both stay as they are.
// Then `<name>.<UUID>.staged` copies in those folders, `NimbaraInstall-<UUID>` work folders
// in the temporary folder and unfinished or replaced kept copies (`.incoming-<UUID>`,
// `.old-<UUID>`) in the kept copies' folder that were last changed before this process started
// are removed.
// Nothing else is touched. Each rename is made durable by syncing its folder. Every action
// and every failure is logged; a failure leaves that item and goes on with the next.
class InstallRecovery : public InterruptedInstallRecovering {
public:
    InstallRecovery(QString installRoot, QString temporaryFolder, QDateTime processStarted,
                    QString keptCopiesRoot = {});

    void recover(const QList<RecordedInstall>& recorded) const override;

    // When the running process started, as the kernel recorded it (now when unknown).
    static QDateTime processStartTime();

private:
    void settleBackup(const QString& backupPath, const QString& destination,
                      const std::optional<QString>& recordedVersion) const;
    void removeLeftovers(const QString& folder, const QString& pattern) const;

    QString installRoot_;
    QString temporaryFolder_;
    QDateTime processStarted_;
    QString keptCopiesRoot_;
};

} // namespace nimbara
