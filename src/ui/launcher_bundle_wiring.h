#pragma once

#include "platform/linux_main_bundle.h"
#include "services/launcher_updater.h"

#include <functional>
#include <memory>

class QNetworkAccessManager;

namespace nimbara {

// A launcher unpacked into the user's home (the per-user form) puts itself into the desktop's
// application menu: its entry is written, off the main thread, when missing or stale.
void ensureUserApplicationEntry(const LinuxMainBundle& bundle);

// The launcher's own updater: the feed, version and identifier of the main bundle's Info.plist;
// installs go through an app installer whose root is the folder holding the launcher's bundle,
// checked against the build's team and trust anchors, and end with `relaunch`. When self-update
// is on, what an update of the launcher cut short left beside its bundle is settled at once.
std::unique_ptr<LauncherUpdater> productionUpdater(const LinuxMainBundle& bundle,
                                                   QNetworkAccessManager& session,
                                                   std::function<void(const QUrl&)> relaunch);

} // namespace nimbara
