#pragma once

#include "platform/linux_main_bundle.h"
#include "services/launcher_updater.h"
#include "store/launcher_store.h"

#include <functional>
#include <memory>

class QNetworkAccessManager;

namespace nimbara {

// The collaborators the launcher runs with, built once by the entry point:
// - the catalog client on its configured endpoint (NIMBARA_MANIFEST_URL, else the Info.plist's
//   NimbaraManifestURL, else the local development server);
// - the feedback client and the event sink on the service base URL (NIMBARA_API_URL, else
//   NimbaraAPIURL, else the local development server);
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

// The launcher's own updater: the feed, version and identifier of the main bundle's Info.plist;
// installs go through an app installer whose root is the folder holding the launcher's bundle,
// checked against the build's team and trust anchors, and end with `relaunch`. When self-update
// is on, what an update of the launcher cut short left beside its bundle is settled at once.
// A launcher unpacked into the user's home (the per-user form) puts itself into the desktop's
// application menu: its entry is written, off the main thread, when missing or stale.
void ensureUserApplicationEntry(const LinuxMainBundle& bundle);

std::unique_ptr<LauncherUpdater> productionUpdater(const LinuxMainBundle& bundle,
                                                   QNetworkAccessManager& session,
                                                   std::function<void(const QUrl&)> relaunch);

} // namespace nimbara
