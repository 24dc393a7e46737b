#include "install/install_destination.h"

#include "core/error.h"
#include "core/logging.h"
#include "install/app_installer_error.h"
#include "install/bundle_placement.h"
#include "install/installed_bundle_metadata.h"

#include <QDir>

namespace nimbara {

namespace {

bool carriesIdentifier(const QString& bundle, const QString& bundleID) {
    try {
        return loadInstalledBundleMetadata(QUrl::fromLocalFile(bundle)).bundleIdentifier ==
               bundleID;
    } catch (const Error&) {
        return false;
    }
}

} // namespace

void checkBundleIdentity(const QString& bundle, const QString& bundleID) {
    if (!carriesIdentifier(bundle, bundleID))
        throw AppInstallerError::of(AppInstallerError::Case::bundleIdentifierMismatch);
}

QString chooseDestination(const std::optional<QUrl>& existing, const QString& bundleID,
                          const QString& installRoot, const QString& bundleName) {
    const QString fresh = QDir::cleanPath(QDir(installRoot).filePath(bundleName));
    if (!existing || !existing->isLocalFile())
        return fresh;
    const QString recorded = QDir::cleanPath(existing->toLocalFile());
    if (!entryExists(recorded))
        return fresh;
    if (carriesIdentifier(recorded, bundleID))
        return recorded;
    qCInfo(logInstall).noquote() << recorded << "no longer holds" << bundleID
                                 << "; it is left as it is";
    if (recorded == fresh)
        throw FileError(QStringLiteral("Could not install to %1: something else is there now, "
                                       "and it was left as it is")
                            .arg(recorded));
    return fresh;
}

} // namespace nimbara
