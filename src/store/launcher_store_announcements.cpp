#include "catalog/manifest_policy.h"
#include "platform/preferences_store.h"
#include "store/launcher_store.h"

namespace nimbara {

void LauncherStore::updatePendingAnnouncement(bool establishBaseline) {
    if (announcementBaselineEstablished_) {
        const auto unseen = ManifestPolicy::unseenAnnouncements(manifest_, seenAnnouncementIDs_);
        setPendingAnnouncement(unseen.isEmpty() ? std::nullopt : std::optional(unseen.first()));
        return;
    }
    if (establishBaseline) {
        // Nothing published before the first successful catalog load is announced.
        for (const LauncherAnnouncement& announcement : manifest_.announcements) {
            seenAnnouncementIDs_.insert(announcement.id);
        }
        saveSeenAnnouncementIDs();
        announcementBaselineEstablished_ = true;
        wiring_.userDefaults->setBool(QLatin1String(StoreKeys::announcementBaselineEstablished),
                                      true);
    }
    setPendingAnnouncement(std::nullopt);
}

void LauncherStore::acknowledgePendingAnnouncement() {
    if (!pendingAnnouncement_) {
        return;
    }
    seenAnnouncementIDs_.insert(pendingAnnouncement_->id);
    saveSeenAnnouncementIDs();
    setPendingAnnouncement(std::nullopt);
    updatePendingAnnouncement(false);
}

void LauncherStore::selectPendingAnnouncementApp() {
    if (!pendingAnnouncement_) {
        return;
    }
    for (const AppManifestItem& app : ManifestPolicy::visibleApps(manifest_, includeBetaApps_)) {
        if (app.id == pendingAnnouncement_->appId) {
            setSelectedAppID(app.id);
            break;
        }
    }
    acknowledgePendingAnnouncement();
}

void LauncherStore::saveSeenAnnouncementIDs() {
    QStringList ids(seenAnnouncementIDs_.cbegin(), seenAnnouncementIDs_.cend());
    ids.sort();
    wiring_.userDefaults->setStringArray(QLatin1String(StoreKeys::seenAnnouncementIDs), ids);
}

void LauncherStore::toggleStarterSelection(const AppManifestItem& app) {
    if (!selectedStarterAppIDs_.remove(app.id)) {
        selectedStarterAppIDs_.insert(app.id);
    }
    Q_EMIT selectedStarterAppIDsChanged();
}

void LauncherStore::finishOnboarding() {
    setOnboardingComplete(true);
    for (const AppManifestItem& app : ManifestPolicy::publishedApps(manifest_, includeBetaApps_)) {
        // Apps that cannot be installed now are skipped without a message.
        if (selectedStarterAppIDs_.contains(app.id) && canInstall(app)) {
            install(app);
        }
    }
}

} // namespace nimbara
