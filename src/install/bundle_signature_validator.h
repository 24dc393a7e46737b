#pragma once

#include "contracts/collaborator_contracts.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace nimbara {

// Checks that an installed bundle is the app the catalog describes and that its seal is intact
// and made with a Developer ID certificate of the expected team, chained to one of the pinned
// roots. Checks run in a fixed order and the first failure ends the check with its
// InstalledCodeValidationError; no other error escapes. Writes nothing. A value: any thread.
class BundleSignatureValidator : public InstalledCodeValidating {
public:
    // `trustAnchorsPem`: the root certificates to trust, in PEM. Without a usable team
    // identifier or without any root, every check fails with missingTeamIDConfiguration before
    // a file is read.
    BundleSignatureValidator(QString expectedTeamID, const QByteArray& trustAnchorsPem);

    void validate(const QUrl& appAt, const QString& expectedBundleID,
                  const QString& expectedVersion) const override;

    // Non-empty and only letters or digits (in any script).
    static bool isUsableTeamID(QStringView teamID);

private:
    void check(const QUrl& appAt, const QString& expectedBundleID,
               const QString& expectedVersion) const;

    QString expectedTeamID_;
    QList<QByteArray> anchors_; // DER
};

} // namespace nimbara
