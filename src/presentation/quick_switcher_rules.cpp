#include "presentation/quick_switcher_rules.h"

#include "catalog/manifest_policy.h"
#include "presentation/library_rules.h"

#include <algorithm>

namespace nimbara {

QList<AppManifestItem> quickSwitcherResults(const LauncherManifest& catalog, bool includeBeta,
                                            QStringView query) {
    QList<AppManifestItem> apps = ManifestPolicy::publishedApps(catalog, includeBeta);
    const QString needle = normalizedSearchQuery(query);
    if (needle.isEmpty()) {
        return apps;
    }
    apps.removeIf([&needle](const AppManifestItem& app) {
        return !app.name.toLower().contains(needle) && !app.tagline.toLower().contains(needle) &&
               !app.category.toLower().contains(needle);
    });
    return apps;
}

QuickSwitcherAction quickSwitcherAction(const AppInstallState& state) {
    switch (state.kind()) {
    case AppInstallState::Case::installed:
    case AppInstallState::Case::updateAvailable:
        return QuickSwitcherAction::open;
    case AppInstallState::Case::notInstalled:
    case AppInstallState::Case::installing:
    case AppInstallState::Case::failed:
        break;
    }
    return QuickSwitcherAction::install;
}

CopyKey quickSwitcherHint(QuickSwitcherAction action) {
    return action == QuickSwitcherAction::open ? CopyKey::quickOpenHint : CopyKey::quickInstallHint;
}

int movedSelection(int selected, int count, int step) {
    if (count <= 0) {
        return selected;
    }
    return std::clamp(selected + step, 0, count - 1);
}

} // namespace nimbara
