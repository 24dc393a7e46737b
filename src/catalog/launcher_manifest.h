#pragma once

#include "catalog/app_manifest_item.h"
#include "catalog/launcher_announcement.h"

#include <QDateTime>
#include <QList>

namespace nimbara {

// The catalog: every app of the family and the announcements of newly published apps, in
// document order. `generatedAt` is kept with the catalog; nothing depends on it.
struct LauncherManifest {
    QDateTime generatedAt;
    QList<AppManifestItem> apps;
    QList<LauncherAnnouncement> announcements;

    bool operator==(const LauncherManifest&) const = default;
};

size_t qHash(const LauncherManifest& manifest, size_t seed = 0);

} // namespace nimbara
