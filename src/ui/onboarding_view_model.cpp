#include "ui/onboarding_view_model.h"

#include "catalog/manifest_policy.h"
#include "core/logging.h"
#include "store/launcher_store.h"

#include <algorithm>

namespace nimbara {

OnboardingViewModel::OnboardingViewModel(QObject* parent) : StoreViewModel(parent) {}

void OnboardingViewModel::observe(LauncherStore& store) {
    apps_.setStore(&store);
    connect(&store, &LauncherStore::manifestChanged, this, &OnboardingViewModel::refresh);
    connect(&store, &LauncherStore::includeBetaAppsChanged, this, &OnboardingViewModel::refresh);
    connect(&store, &LauncherStore::selectedStarterAppIDsChanged, this,
            &OnboardingViewModel::onSelectionChanged);
    connect(&store, &LauncherStore::localeChanged, this, [this] { apps_.refreshLabels(); });
}

void OnboardingViewModel::refresh() {
    if (!store_) {
        apps_.setStore(nullptr);
    }
    apps_.setApps(store_
                      ? ManifestPolicy::publishedApps(store_->manifest(), store_->includeBetaApps())
                      : QList<AppManifestItem>());
    Q_EMIT countsChanged();
}

void OnboardingViewModel::onSelectionChanged() {
    apps_.refreshLabels();
    Q_EMIT countsChanged();
}

int OnboardingViewModel::selectedCount() const {
    return store_ ? static_cast<int>(store_->selectedStarterAppIDs().size()) : 0;
}

bool OnboardingViewModel::canContinue() const {
    return publishedCount() > 0 && selectedCount() > 0;
}

void OnboardingViewModel::toggle(const QString& appID) {
    if (!store_) {
        return;
    }
    const QList<AppManifestItem>& apps = apps_.apps();
    const auto app = std::find_if(apps.cbegin(), apps.cend(),
                                  [&](const AppManifestItem& item) { return item.id == appID; });
    if (app == apps.cend()) {
        qCWarning(logUi) << "Onboarding cannot tick" << appID << "- it is not a published app";
        return;
    }
    store_->toggleStarterSelection(*app);
}

void OnboardingViewModel::finish() {
    if (store_) {
        store_->finishOnboarding();
    }
}

} // namespace nimbara
