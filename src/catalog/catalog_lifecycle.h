#pragma once

#include "catalog/app_manifest_item.h"

#include <QLatin1StringView>
#include <QList>
#include <optional>

namespace nimbara {

// The four classes a catalog can be in, from what the user can install.
enum class CatalogLifecycleKind { empty, comingSoonOnly, firstPublishedApp, multiAppCatalog };

// The kind's name for diagnostics: the case name ("comingSoonOnly").
QLatin1StringView catalogLifecycleKindName(CatalogLifecycleKind kind);

// A catalog's lifecycle class with the lists that decide it. `featuredApp` is present exactly
// for firstPublishedApp and multiAppCatalog and is then the first published app.
struct CatalogLifecycle {
    CatalogLifecycleKind kind = CatalogLifecycleKind::empty;
    QList<AppManifestItem> publishedApps;
    QList<AppManifestItem> comingSoonApps;
    std::optional<AppManifestItem> featuredApp;

    bool operator==(const CatalogLifecycle&) const = default;
};

} // namespace nimbara
