#include "cli_commands.h"

#include "app_listing.h"
#include "catalog/manifest_policy.h"
#include "cli_output.h"
#include "cli_session.h"
#include "store/launcher_store.h"

#include <QPair>
#include <algorithm>

namespace nimbara::cli {

namespace {

using namespace Qt::StringLiterals;

using StatusLines = QList<QPair<CopyKey, QString>>;

// "Label:  value" lines with the values aligned.
void printStatus(const StatusLines& lines, const CliOutput& output) {
    qsizetype width = 0;
    for (const auto& [label, value] : lines) {
        width = std::max(width, output.text(label).size() + 1);
    }
    QString text;
    for (const auto& [label, value] : lines) {
        text += (output.text(label) + u':').leftJustified(width + 2) + value + u'\n';
    }
    output.print(text);
}

StatusLines locationLines(const ProductionLocations& locations, bool launcherRuns,
                          const CliOutput& output) {
    return {{CopyKey::cliStatusCatalog, locations.catalogURL.toString()},
            {CopyKey::cliStatusInstallRoot, locations.installRoot},
            {CopyKey::cliStatusPreferences, locations.preferencesPath},
            {CopyKey::cliStatusLauncher,
             output.text(launcherRuns ? CopyKey::cliStatusRunning : CopyKey::cliStatusNotRunning)}};
}

bool isInstalled(const AppInstallState& state) {
    return state.kind() == AppInstallState::Case::installed ||
           state.kind() == AppInstallState::Case::updateAvailable;
}

void printStatus(CliSession& session, bool catalogLoaded, const CliOutput& output) {
    StatusLines lines = locationLines(session.locations(), false, output);
    if (catalogLoaded) {
        const LauncherStore& store = session.store();
        qsizetype installed = 0;
        qsizetype updates = 0;
        for (const AppManifestItem& app : store.manifest().apps) {
            const AppInstallState state = store.state(app);
            installed += isInstalled(state) ? 1 : 0;
            updates += state.kind() == AppInstallState::Case::updateAvailable ? 1 : 0;
        }
        lines.append({CopyKey::cliStatusInstalledCount, QString::number(installed)});
        lines.append({CopyKey::cliStatusUpdateCount, QString::number(updates)});
    }
    printStatus(lines, output);
}

// The request's apps among the apps the library shows; none when one of them is not there.
std::optional<QList<AppManifestItem>>
requestedApps(const LauncherStore& store, const Request& request, const CliOutput& output) {
    const QList<AppManifestItem> visible =
        ManifestPolicy::visibleApps(store.manifest(), store.includeBetaApps());
    QList<AppManifestItem> apps;
    for (const QString& id : request.appIDs) {
        const auto found = std::find_if(visible.cbegin(), visible.cend(),
                                        [&](const AppManifestItem& app) { return app.id == id; });
        if (found == visible.cend()) {
            output.complain(CopyKey::cliUnknownApp, {{u"identifier"_s, id}});
            return std::nullopt;
        }
        apps.append(*found);
    }
    return apps;
}

QCoro::Task<ExitCode> finished(ExitCode code) {
    co_return code;
}

// The command's task, started at once.
QCoro::Task<ExitCode> commandTask(CliSession& session, const Request& request,
                                  const QList<AppManifestItem>& apps, const CliOutput& output) {
    switch (request.command) {
    case Command::status:
        return finished(ExitCode::done);
    case Command::list:
        return finished(listApps(session, request, output));
    case Command::install:
        return installApps(session, apps, output);
    case Command::update:
        return updateApps(session, apps, output);
    case Command::rollback:
        return rollBackApp(session, apps.first(), output);
    case Command::open:
        return openApp(session, apps.first(), output);
    case Command::remove:
        return removeApp(session, apps.first(), request.withData, output);
    }
    return finished(ExitCode::usage);
}

} // namespace

void printStatusWhileLauncherRuns(const CliOutput& output) {
    printStatus(locationLines(ProductionLocations::current(), true, output), output);
}

QCoro::Task<ExitCode> runCommand(CliSession& session, Request request, const CliOutput& output) {
    QCoro::Task<bool> loading = session.loadCatalog();
    const bool loaded = co_await std::move(loading);
    if (request.command == Command::status) {
        printStatus(session, loaded, output);
    }
    if (!loaded) {
        output.complain(CopyKey::cliCatalogUnavailable,
                        {{u"value"_s, session.locations().catalogURL.toString()}});
        co_return ExitCode::failed;
    }
    const std::optional<QList<AppManifestItem>> apps =
        requestedApps(session.store(), request, output);
    if (!apps) {
        co_return ExitCode::usage;
    }
    QCoro::Task<ExitCode> running = commandTask(session, request, *apps, output);
    co_return co_await std::move(running);
}

ExitCode listApps(CliSession& session, const Request& request, const CliOutput& output) {
    const QList<AppRow> rows =
        listedApps(session.store(), session.runningSystem(), session.recordedVersions());
    if (request.json) {
        output.print(QString::fromUtf8(jsonText(rows)));
    } else if (rows.isEmpty()) {
        output.say(CopyKey::cliListEmpty);
    } else {
        output.print(columnsText(rows, output.locale()));
    }
    return ExitCode::done;
}

QCoro::Task<ExitCode> openApp(CliSession& session, AppManifestItem app, const CliOutput& output) {
    LauncherStore& store = session.store();
    if (!isInstalled(store.state(app))) {
        output.complain(CopyKey::cliNotInstalled, {{u"app"_s, app.name}});
        co_return ExitCode::failed;
    }
    store.setErrorMessage(std::nullopt);
    QCoro::Task<bool> opening = store.openApp(app);
    if (!co_await std::move(opening)) {
        output.complain(store.errorMessage().value_or(
            output.text(CopyKey::cliNotInstalled, {{u"app"_s, app.name}})));
        co_return ExitCode::failed;
    }
    output.say(CopyKey::cliOpened, {{u"app"_s, app.name}});
    co_return ExitCode::done;
}

QCoro::Task<ExitCode> removeApp(CliSession& session, AppManifestItem app, bool withData,
                                const CliOutput& output) {
    LauncherStore& store = session.store();
    // An install that failed still leaves the earlier copy in place, which is removed too.
    if (!isInstalled(store.state(app)) && !store.installedAppURLs().contains(app.id)) {
        output.complain(CopyKey::cliNotInstalled, {{u"app"_s, app.name}});
        co_return ExitCode::failed;
    }
    store.setErrorMessage(std::nullopt);
    QCoro::Task<> removing = store.uninstall(app.id, withData);
    co_await std::move(removing);
    if (const std::optional<QString> problem = store.errorMessage()) {
        output.complain(*problem);
        co_return ExitCode::failed;
    }
    output.say(withData ? CopyKey::cliRemovedWithData : CopyKey::cliRemoved,
               {{u"app"_s, app.name}});
    co_return ExitCode::done;
}

} // namespace nimbara::cli
