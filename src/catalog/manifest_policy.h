#pragma once

#include "catalog/app_manifest_item.h"
#include "catalog/catalog_lifecycle.h"
#include "catalog/launcher_announcement.h"
#include "catalog/launcher_manifest.h"
#include "platform/operating_system_version.h"

#include <QList>
#include <QSet>
#include <QString>
#include <optional>

namespace nimbara {

// The rules that turn a catalog into what the launcher shows and offers. Pure functions:
// every screen and the store ask them with the same catalog and flag, so all views agree.
// Every list keeps the catalog's order.
namespace ManifestPolicy {

// Apps that are not retired and, unless `includeBeta`, not beta either.
QList<AppManifestItem> visibleApps(const LauncherManifest& from, bool includeBeta);

// True when the app can be installed: beta or live, a download address, a 64-digit
// hexadecimal SHA-256, a non-blank version and a parseable minimum system version.
bool hasPublishedRelease(const AppManifestItem& app);

// The visible apps that have a published release.
QList<AppManifestItem> publishedApps(const LauncherManifest& from, bool includeBeta);

// The visible apps that are coming soon (a preview is never beta, so no flag is needed).
QList<AppManifestItem> comingSoonApps(const LauncherManifest& from);

CatalogLifecycle catalogLifecycle(const LauncherManifest& from, bool includeBeta);

// The catalog's announcements whose id is not in `seenIDs` (exact comparison).
QList<LauncherAnnouncement> unseenAnnouncements(const LauncherManifest& from,
                                                const QSet<QString>& seenIDs);

// Parses a minimum-system string: one to three dot-separated decimal integers (an optional
// sign allowed), surrounding white space ignored, empty pieces dropped; otherwise none.
std::optional<OperatingSystemVersion> macOSVersion(QStringView from);

} // namespace ManifestPolicy

} // namespace nimbara
