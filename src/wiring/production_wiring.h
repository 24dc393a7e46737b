#pragma once

#include "store/launcher_store.h"

#include <QString>
#include <QUrl>
#include <memory>

class QNetworkAccessManager;

namespace nimbara {

class BundleSignatureValidator;

// Where the launcher's production collaborators point, read from the environment and the main
// bundle's Info.plist when asked. Every process that runs the store (the launcher, nimbara-cli)
// reads the same places.
struct ProductionLocations {
    // NIMBARA_MANIFEST_URL, else the Info.plist's NimbaraManifestURL, else the local
    // development server.
    QUrl catalogURL;
    // NIMBARA_API_URL, else NimbaraAPIURL, else the local development server.
    QUrl serviceBaseURL;
    // Where apps are installed (~/Applications/Nimbara).
    QString installRoot;
    // PreferencesStore::defaultPath(); the single-instance lock lives beside it.
    QString preferencesPath;

    static ProductionLocations current();
};

// Checks signatures against the team and trust anchors this build was configured with.
std::shared_ptr<BundleSignatureValidator> productionSignatureValidator();

// The collaborators the launcher runs with, built once by the entry point:
// - the catalog client on ProductionLocations' catalog URL;
// - the feedback client and the event sink on its service base URL;
// - the error reporter (NIMBARA_LAUNCHER_SENTRY_DSN), the Linux workspace, system information
//   and main bundle, and the preferences file at PreferencesStore::defaultPath();
// - the built-in seed catalog, with stored state restored later, when the window shows;
// - the app installer on the install root, with the signature validator of the build's team
//   and trust anchors (which also re-checks remembered installs), keeping the bundle an update
//   replaces under KeptCopies::defaultRoot() for a rollback;
// - the app uninstaller for the current user (install root, ~/Applications, XDG data
//   locations, the freedesktop Trash);
// The quit handler, the launcher's bundle location and the login-item manager are the store's
// defaults (quit the application; the main bundle's folder; the XDG autostart entry starting
// this executable, with the wish kept in the preferences file). Environment and Info.plist are read
// now, once. `session` is shared, not owned, and must outlive the store.
LauncherStoreWiring productionWiring(QNetworkAccessManager& session);

} // namespace nimbara
