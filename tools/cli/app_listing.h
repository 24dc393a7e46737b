#pragma once

#include "catalog/app_manifest_item.h"
#include "text/nimbara_locale.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <optional>

namespace nimbara {
class LauncherStore;
struct OperatingSystemVersion;
} // namespace nimbara

namespace nimbara::cli {

// One app as `list` shows it. `state` is one of the stable words scripts can rely on:
// not-installed, installing, installed, update-available, failed, coming-soon,
// needs-newer-system, unavailable.
struct AppRow {
    QString id;
    QString name;
    QString state;
    std::optional<QString> installedVersion;
    std::optional<QString> latestVersion;
};

// The app's state word: coming-soon before anything else, then the store's install state; an app
// that is not installed needs a newer system when this one is older than its minimum, and is
// unavailable without a release that can be installed.
QString stateWord(const LauncherStore& store, const AppManifestItem& app,
                  const OperatingSystemVersion& running);

// Every app of the catalog the library shows (retired apps never, beta apps only while the store
// includes them), in catalog order. `recordedVersions` are the installed versions the
// preferences remember, which name what stays installed while an update runs or after it failed.
QList<AppRow> listedApps(const LauncherStore& store, const OperatingSystemVersion& running,
                         const QMap<QString, QString>& recordedVersions);

// Aligned columns under a header in `locale`, one line per app; "-" for a missing version.
QString columnsText(const QList<AppRow>& rows, NimbaraLocale locale);

// A JSON array of {"id", "name", "state", "installedVersion", "latestVersion"} objects; a missing
// version is null.
QByteArray jsonText(const QList<AppRow>& rows);

} // namespace nimbara::cli
