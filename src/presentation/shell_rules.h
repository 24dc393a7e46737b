#pragma once

#include "catalog/app_manifest_item.h"
#include "catalog/launcher_announcement.h"

#include <QList>
#include <QStringList>
#include <optional>

// The shell's derived values, as pure functions of the store's values.
namespace nimbara {

// The distinct categories of `visibleApps`, sorted by their Unicode code points
// (case-sensitive, no locale rules: "Zebra" comes before "apple").
QStringList sortedCategories(const QList<AppManifestItem>& visibleApps);

// Code-point order of two texts (UTF-16 order differs for characters beyond the BMP).
bool codePointLess(const QString& a, const QString& b);

// The first visible app the announcement speaks of, if any.
std::optional<AppManifestItem> announcedApp(const LauncherAnnouncement& announcement,
                                            const QList<AppManifestItem>& visibleApps);

} // namespace nimbara
