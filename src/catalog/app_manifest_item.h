#pragma once

#include "catalog/app_accent.h"
#include "catalog/app_release_status.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

namespace nimbara {

// One entry of an app's release history. `date` is display text only, never parsed.
struct ReleaseNote {
    QString version;
    QString date;
    QString text;

    bool operator==(const ReleaseNote&) const = default;
};

size_t qHash(const ReleaseNote& note, size_t seed = 0);

// One app of the catalog, as the catalog document lists it. Lists are identified by `id`;
// equality and hashing cover every field.
struct AppManifestItem {
    QString id;
    QString name;
    QString tagline;
    QString category;
    QString bundleId;
    QString version;
    QString minMacOS;
    AppReleaseStatus status = AppReleaseStatus::beta;
    std::optional<QUrl> downloadUrl;
    std::optional<QString> sha256;
    std::optional<QUrl> sparkleFeedUrl;
    QString symbolName;
    std::optional<QUrl> iconUrl;
    AppAccent accent = AppAccent::lime;
    QStringList tags;
    QString description;
    QString privacyNote;
    QList<ReleaseNote> releaseNotes;

    bool operator==(const AppManifestItem&) const = default;
};

size_t qHash(const AppManifestItem& item, size_t seed = 0);

} // namespace nimbara
