#pragma once

#include "catalog/app_manifest_item.h"
#include "catalog/launcher_manifest.h"

namespace nimbara::test {

// A complete, installable app: live, with a download address, a valid digest, version 1.0.0
// and a minimum system of 13.0. Tests change the fields they are about.
AppManifestItem publishedApp(const QString& id, AppReleaseStatus status = AppReleaseStatus::live);

// An app that is announced but has no download yet.
AppManifestItem comingSoonApp(const QString& id);

// A catalog listing `apps`, generated at the seed catalog's instant.
LauncherManifest catalogWith(const QList<AppManifestItem>& apps);

} // namespace nimbara::test
