#include "catalog/launcher_manifest.h"

namespace nimbara {

size_t qHash(const LauncherManifest& manifest, size_t seed) {
    return qHashMulti(seed, manifest.generatedAt, manifest.apps, manifest.announcements);
}

} // namespace nimbara
