#include "presentation/tray_rules.h"

#include "catalog/manifest_policy.h"

namespace nimbara {

QList<TrayEntry> trayEntries(const LauncherManifest& catalog, bool includeBeta,
                             bool canCheckForUpdates, const QString& updateAllTitle) {
    using Kind = TrayEntry::Kind;
    QList<TrayEntry> entries{{Kind::openLauncher, {}, {}}, {Kind::separator, {}, {}}};
    const QList<AppManifestItem> published = ManifestPolicy::publishedApps(catalog, includeBeta);
    if (published.isEmpty()) {
        entries.append({Kind::noApps, {}, {}});
    }
    for (const AppManifestItem& app :
         published.first(std::min(published.size(), qsizetype(maximumTrayApps)))) {
        entries.append({Kind::app, app, {}});
    }
    if (!updateAllTitle.isEmpty()) {
        entries.append({Kind::updateAll, {}, updateAllTitle});
    }
    entries.append({Kind::separator, {}, {}});
    entries.append({Kind::sendFeedback, {}, {}});
    if (canCheckForUpdates) {
        entries.append({Kind::separator, {}, {}});
        entries.append({Kind::checkForUpdates, {}, {}});
    }
    return entries;
}

TrayAppAction trayAppAction(AppInstallState::Case state, bool canInstall) {
    using Case = AppInstallState::Case;
    switch (state) {
    case Case::installed:
    case Case::updateAvailable:
        return TrayAppAction::open;
    case Case::notInstalled:
    case Case::failed:
        return canInstall ? TrayAppAction::install : TrayAppAction::selectOnly;
    case Case::installing:
        return TrayAppAction::selectOnly;
    }
    return TrayAppAction::selectOnly;
}

} // namespace nimbara
