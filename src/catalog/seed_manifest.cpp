#include "catalog/seed_manifest.h"

namespace nimbara {

const LauncherManifest& SeedManifest::manifest() {
    // 2026-05-03T00:00:00Z
    static const LauncherManifest seed{QDateTime::fromSecsSinceEpoch(1777766400, Qt::UTC), {}, {}};
    return seed;
}

} // namespace nimbara
