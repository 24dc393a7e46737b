#include "cli_commands.h"
#include "cli_output.h"
#include "cli_session.h"
#include "install_progress_line.h"
#include "interrupt_watch.h"
#include "store/launcher_store.h"

#include <memory>
#include <vector>

namespace nimbara::cli {

namespace {

using namespace Qt::StringLiterals;

bool isInstalled(const AppInstallState& state) {
    return state.kind() == AppInstallState::Case::installed ||
           state.kind() == AppInstallState::Case::updateAvailable;
}

// Ctrl+C while installs run: `cancel` stops the running one (the store puts back what was
// there), and no further one starts.
struct Interruption {
    InterruptWatch watch;
    bool requested = false;

    Interruption(LauncherStore& store, std::function<void()> cancel) {
        QObject::connect(&watch, &InterruptWatch::interrupted, &store,
                         [this, cancel = std::move(cancel)] {
                             requested = true;
                             cancel();
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
    QString running;
    Interruption interruption(store, [&store, &running] {
        if (!running.isEmpty()) {
            store.cancelInstall(running);
        }
    });
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
            running = app.id;
            QCoro::Task<bool> installing = store.installApp(app);
            installed = co_await std::move(installing);
            running.clear();
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
    // Without names: every app with an update that can be installed now.
    QList<AppManifestItem> updating = apps.isEmpty() ? store.updatableApps() : apps;
    if (apps.isEmpty() && updating.isEmpty()) {
        output.say(CopyKey::cliNoUpdates);
        co_return code;
    }
    if (!apps.isEmpty()) {
        updating.clear();
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
    }

    // One after another in the store; each app's install draws its own progress.
    QStringList ids;
    std::vector<std::unique_ptr<InstallProgressLine>> progress;
    for (const AppManifestItem& app : updating) {
        ids.append(app.id);
        progress.push_back(std::make_unique<InstallProgressLine>(store, app, output,
                                                                 CliOutput::errorsGoToTerminal()));
    }
    const Interruption interruption(store, [&store] { store.cancelUpdateAll(); });
    store.setErrorMessage(std::nullopt);
    QCoro::Task<LauncherStore::UpdateAllOutcome> running = store.updateAll(ids);
    const LauncherStore::UpdateAllOutcome outcome = co_await std::move(running);
    progress.clear();
    for (const AppManifestItem& app : updating) {
        if (outcome.updated.contains(app.id)) {
            output.say(CopyKey::cliUpdated,
                       {{u"app"_s, app.name}, {u"version"_s, store.state(app).version()}});
        }
    }
    if (!outcome.failed.isEmpty()) {
        output.complain(failureOf(store, output));
        code = ExitCode::failed;
    }
    if (outcome.cancelled || interruption.requested) {
        output.complain(CopyKey::cliInterrupted);
        code = ExitCode::failed;
    }
    co_return code;
}

QCoro::Task<ExitCode> rollBackApp(CliSession& session, AppManifestItem app,
                                  const CliOutput& output) {
    LauncherStore& store = session.store();
    if (!isInstalled(store.state(app))) {
        output.complain(CopyKey::cliNotInstalled, {{u"app"_s, app.name}});
        co_return ExitCode::failed;
    }
    store.setErrorMessage(std::nullopt);
    QCoro::Task<bool> rolling = store.rollBack(app.id);
    if (!co_await std::move(rolling)) {
        output.complain(failureOf(store, output));
        co_return ExitCode::failed;
    }
    const AppInstallState state = store.state(app);
    output.say(CopyKey::cliRolledBack,
               {{u"app"_s, app.name},
                {u"version"_s, state.kind() == AppInstallState::Case::updateAvailable
                                   ? state.installedVersion()
                                   : state.version()}});
    co_return ExitCode::done;
}

} // namespace nimbara::cli
