#pragma once

#include "catalog/launcher_manifest.h"

namespace nimbara {

// The built-in empty catalog that the launcher holds before its first successful load:
// generated at 2026-05-03T00:00:00Z, no apps, no announcements.
struct SeedManifest {
    // Built once, on first use.
    static const LauncherManifest& manifest();
};

} // namespace nimbara
