#pragma once

#include "catalog/app_manifest_item.h"
#include "text/nimbara_locale.h"

#include <QVariantMap>

namespace nimbara {

// The fields of an app that screens draw, as a QML value: id, name, tagline, category,
// description, privacyNote, accent (raw name), symbolName, iconUrl (empty without one) and
// releaseStatus (the status's label in `locale`).
QVariantMap appPresentation(const AppManifestItem& app, NimbaraLocale locale);

} // namespace nimbara
