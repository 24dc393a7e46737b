#include "app_listing.h"

#include "catalog/manifest_policy.h"
#include "core/plain_identifier.h"
#include "store/launcher_store.h"
#include "text/nimbara_copy.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace nimbara::cli {

namespace {

using namespace Qt::StringLiterals;

std::optional<QString> nonBlank(const QString& text) {
    const QString trimmed = text.trimmed();
    return trimmed.isEmpty() ? std::nullopt : std::optional(trimmed);
}

bool canEverInstall(const AppManifestItem& app) {
    return ManifestPolicy::hasPublishedRelease(app) && isPlainIdentifier(app.bundleId);
}

// The last column is not padded, so that no line ends in blanks.
void appendLine(QString& text, const QStringList& cells, const QList<qsizetype>& widths) {
    QString line;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        line += i + 1 < cells.size() ? cells[i].leftJustified(widths[i] + 2) : cells[i];
    }
    text += line + u'\n';
}

} // namespace

QString stateWord(const LauncherStore& store, const AppManifestItem& app,
                  const OperatingSystemVersion& running) {
    if (app.status == AppReleaseStatus::comingSoon) {
        return u"coming-soon"_s;
    }
    switch (store.state(app).kind()) {
    case AppInstallState::Case::installing:
        return u"installing"_s;
    case AppInstallState::Case::installed:
        return u"installed"_s;
    case AppInstallState::Case::updateAvailable:
        return u"update-available"_s;
    case AppInstallState::Case::failed:
        return u"failed"_s;
    case AppInstallState::Case::notInstalled:
        break;
    }
    if (!canEverInstall(app)) {
        return u"unavailable"_s;
    }
    const std::optional<OperatingSystemVersion> required =
        ManifestPolicy::macOSVersion(app.minMacOS);
    return required && running < *required ? u"needs-newer-system"_s : u"not-installed"_s;
}

QList<AppRow> listedApps(const LauncherStore& store, const OperatingSystemVersion& running,
                         const QMap<QString, QString>& recordedVersions) {
    QList<AppRow> rows;
    for (const AppManifestItem& app :
         ManifestPolicy::visibleApps(store.manifest(), store.includeBetaApps())) {
        const AppInstallState state = store.state(app);
        std::optional<QString> installed;
        switch (state.kind()) {
        case AppInstallState::Case::installed:
            installed = state.version();
            break;
        case AppInstallState::Case::updateAvailable:
            installed = state.installedVersion();
            break;
        case AppInstallState::Case::installing:
        case AppInstallState::Case::failed:
            if (store.installedAppURLs().contains(app.id) && recordedVersions.contains(app.id)) {
                installed = recordedVersions.value(app.id);
            }
            break;
        case AppInstallState::Case::notInstalled:
            break;
        }
        rows.append(
            {app.id, app.name, stateWord(store, app, running), installed, nonBlank(app.version)});
    }
    return rows;
}

QString columnsText(const QList<AppRow>& rows, NimbaraLocale locale) {
    QList<QStringList> table{{NimbaraCopy::text(CopyKey::cliColumnID, locale),
                              NimbaraCopy::text(CopyKey::cliColumnName, locale),
                              NimbaraCopy::text(CopyKey::cliColumnState, locale),
                              NimbaraCopy::text(CopyKey::cliColumnInstalled, locale),
                              NimbaraCopy::text(CopyKey::cliColumnLatest, locale)}};
    for (const AppRow& row : rows) {
        table.append({row.id, row.name, row.state, row.installedVersion.value_or(u"-"_s),
                      row.latestVersion.value_or(u"-"_s)});
    }
    QList<qsizetype> widths(table.first().size(), 0);
    for (const QStringList& cells : table) {
        for (qsizetype i = 0; i < cells.size(); ++i) {
            widths[i] = std::max(widths[i], cells[i].size());
        }
    }
    QString text;
    for (const QStringList& cells : table) {
        appendLine(text, cells, widths);
    }
    return text;
}

QByteArray jsonText(const QList<AppRow>& rows) {
    const auto orNull = [](const std::optional<QString>& value) {
        return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
    };
    QJsonArray array;
    for (const AppRow& row : rows) {
        array.append(QJsonObject{{u"id"_s, row.id},
                                 {u"name"_s, row.name},
                                 {u"state"_s, row.state},
                                 {u"installedVersion"_s, orNull(row.installedVersion)},
                                 {u"latestVersion"_s, orNull(row.latestVersion)}});
    }
    return QJsonDocument(array).toJson(QJsonDocument::Indented);
}

} // namespace nimbara::cli
