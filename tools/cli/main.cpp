// nimbara-cli: finds, installs, updates, opens and removes the catalog's apps without a window,
// through the launcher's own store, collaborators, preferences and single-instance lock.

#include "cli_commands.h"
#include "cli_output.h"
#include "cli_request.h"
#include "cli_session.h"
#include "core/logging.h"
#include "nimbara/build_info.h"
#include "platform/detached_task.h"
#include "platform/log_file.h"
#include "platform/preferences_store.h"
#include "platform/preferred_languages.h"
#include "wiring/preferences_lock.h"

#include <QCoreApplication>
#include <QTimer>

using namespace nimbara;
using namespace nimbara::cli;
using namespace Qt::StringLiterals;

namespace {

// Runs the command and ends the event loop with its exit status. Whatever escapes the command
// is a failure, said on stderr.
QCoro::Task<> runAndQuit(CliSession& session, Request request, const CliOutput& output) {
    ExitCode code = ExitCode::failed;
    try {
        QCoro::Task<ExitCode> running = runCommand(session, std::move(request), output);
        code = co_await std::move(running);
    } catch (...) {
        const QString reason = currentFailureReason();
        qCWarning(logStore).noquote() << "nimbara-cli failed:" << reason;
        output.complain(reason);
    }
    QCoreApplication::exit(code);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(u"nimbara-cli"_s);
    // The launcher's log file; stderr is for what the command says.
    installMessageLog(defaultLogFilePath(), logFileCapBytes, false);

    // The launcher's language: it follows the system's preferred languages.
    CliOutput output(systemLocale());
    const std::variant<Request, UsageError> parsed =
        parseCommandLine(QCoreApplication::arguments());
    if (const auto* error = std::get_if<UsageError>(&parsed)) {
        output.complain(error->key, error->values);
        return ExitCode::usage;
    }
    const Request request = std::get<Request>(parsed);
    switch (request.mode) {
    case Request::Mode::help:
        output.print(output.text(CopyKey::cliHelp) + u'\n');
        return ExitCode::done;
    case Request::Mode::version:
        output.print(u"nimbara-cli "_s + QString::fromUtf8(build_info::kShortVersion) + u'\n');
        return ExitCode::done;
    case Request::Mode::run:
        break;
    }

    // The launcher's own lock, taken before the preferences are read. The CLI never listens for
    // or talks to a running launcher: it only stands back.
    PreferencesLock lock(PreferencesStore::defaultPath());
    switch (lock.tryAcquire()) {
    case ExclusiveFileLock::Outcome::acquired:
        break;
    case ExclusiveFileLock::Outcome::heldElsewhere:
        if (request.command == Command::status) {
            printStatusWhileLauncherRuns(output);
            return ExitCode::done;
        }
        output.complain(CopyKey::cliLauncherRunning);
        return ExitCode::usage;
    case ExclusiveFileLock::Outcome::failed:
        // As the launcher does: without a lock it runs, and says what it cannot guard against.
        output.complain(CopyKey::cliLockUnavailable,
                        {{u"value"_s, lock.lockPath()}, {u"reason"_s, lock.errorString()}});
        break;
    }

    CliSession session;
    output.setLocale(session.store().locale());
    if (const QString keptAside = session.keptAsidePreferences(); !keptAside.isEmpty()) {
        output.complain(CopyKey::cliPreferencesKeptAside, {{u"value"_s, keptAside}});
    }
    // Started from the event loop, so that its end can end the loop.
    QTimer::singleShot(0, &application, [&session, &request, &output] {
        startDetached(runAndQuit(session, request, output), logStore(), u"nimbara-cli"_s);
    });
    return application.exec();
}
