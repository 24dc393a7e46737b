#include "cli_commands.h"
#include "cli_output.h"
#include "cli_session.h"
#include "install_progress_line.h"
#include "interrupt_watch.h"
#include "store/launcher_store.h"

#include <QCoro/QCoroSignal>

namespace nimbara::cli {

namespace {

using namespace Qt::StringLiterals;

// Starts the app's install (or update) through the store and waits until it has ended; true when
// the app ended installed. A refused install never starts: the store's message says why.
QCoro::Task<bool> installThroughStore(LauncherStore& store, AppManifestItem app) {
    store.install(app);
    while (store.state(app).kind() == AppInstallState::Case::installing) {
        co_await qCoro(&store, &LauncherStore::installStatesChanged);
    }
    co_return store.state(app).kind() == AppInstallState::Case::installed;
}

// Ctrl+C while installs run: the running one is cancelled (the store puts back what was there),
// and no further one starts.
struct Interruption {
    InterruptWatch watch;
    bool requested = false;
    QString running; // the app whose install runs

    explicit Interruption(LauncherStore& store) {
        QObject::connect(&watch, &InterruptWatch::interrupted, &store, [this, &store] {
            requested = true;
            if (!running.isEmpty()) {
                store.cancelInstall(running);
            }
        });
    }
};

// The store's message for an operation that answered false; a cancelled one leaves none.
QString failureOf(const LauncherStore& store, const CliOutput& output) {
    return store.errorMessage().value_or(output.text(CopyKey::cliInterrupted));
}

} // namespace

QCoro::Task<ExitCode> installApps(CliSession& session, QList<AppManifestItem> apps,
                                  const CliOutput& output) {
    LauncherStore& store = session.store();
    const bool terminal = CliOutput::errorsGoToTerminal();
    ExitCode code = ExitCode::done;
    Interruption interruption(store);
    for (const AppManifestItem& app : apps) {
        if (interruption.requested) {
            break;
        }
        const AppInstallState state = store.state(app);
        if (state.kind() == AppInstallState::Case::installed) {
            output.say(CopyKey::cliAlreadyInstalled,
                       {{u"app"_s, app.name}, {u"version"_s, state.version()}});
            continue;
        }
        if (state.kind() == AppInstallState::Case::updateAvailable) {
            output.say(CopyKey::cliUpdateOffered, {{u"app"_s, app.name},
                                                   {u"installed"_s, state.installedVersion()},
                                                   {u"latest"_s, state.latestVersion()},
                                                   {u"identifier"_s, app.id}});
            continue;
        }
        store.setErrorMessage(std::nullopt);
        bool installed = false;
        {
            const InstallProgressLine progress(store, app, output, terminal);
            interruption.running = app.id;
            QCoro::Task<bool> installing = installThroughStore(store, app);
            installed = co_await std::move(installing);
            interruption.running.clear();
        }
        if (installed) {
            output.say(CopyKey::cliInstalled,
                       {{u"app"_s, app.name}, {u"version"_s, store.state(app).version()}});
        } else {
            output.complain(failureOf(store, output));
            code = ExitCode::failed;
        }
    }
    if (interruption.requested && code == ExitCode::done) {
        output.complain(CopyKey::cliInterrupted);
        code = ExitCode::failed;
    }
    co_return code;
}

QCoro::Task<ExitCode> updateApps(CliSession& session, QList<AppManifestItem> apps,
                                 const CliOutput& output) {
    LauncherStore& store = session.store();
    ExitCode code = ExitCode::done;
    QList<AppManifestItem> updating;
    if (apps.isEmpty()) {
        for (const AppManifestItem& app : store.manifest().apps) {
            if (store.state(app).kind() == AppInstallState::Case::updateAvailable &&
                store.canInstall(app)) {
                updating.append(app);
            }
        }
        if (updating.isEmpty()) {
            output.say(CopyKey::cliNoUpdates);
            co_return code;
        }
    }
    for (const AppManifestItem& app : apps) {
        const AppInstallState state = store.state(app);
        if (state.kind() == AppInstallState::Case::updateAvailable) {
            updating.append(app);
        } else if (state.kind() == AppInstallState::Case::installed) {
            output.say(CopyKey::cliUpToDate,
                       {{u"app"_s, app.name}, {u"version"_s, state.version()}});
        } else {
            output.complain(CopyKey::cliNotInstalled, {{u"app"_s, app.name}});
            code = ExitCode::failed;
        }
    }
    if (updating.isEmpty()) {
        co_return code;
    }

    // One after another; a failure does not stop the others, an interruption does.
    const bool terminal = CliOutput::errorsGoToTerminal();
    Interruption interruption(store);
    for (const AppManifestItem& app : updating) {
        if (interruption.requested) {
            break;
        }
        store.setErrorMessage(std::nullopt);
        bool updated = false;
        {
            const InstallProgressLine progress(store, app, output, terminal);
            interruption.running = app.id;
            QCoro::Task<bool> installing = installThroughStore(store, app);
            updated = co_await std::move(installing);
            interruption.running.clear();
        }
        if (updated) {
            output.say(CopyKey::cliUpdated,
                       {{u"app"_s, app.name}, {u"version"_s, store.state(app).version()}});
        } else {
            output.complain(failureOf(store, output));
            code = ExitCode::failed;
        }
    }
    if (interruption.requested && code == ExitCode::done) {
        output.complain(CopyKey::cliInterrupted);
        code = ExitCode::failed;
    }
    co_return code;
}

} // namespace nimbara::cli
