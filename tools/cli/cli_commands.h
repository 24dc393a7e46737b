#pragma once

#include "catalog/app_manifest_item.h"
#include "cli_request.h"
#include "exit_code.h"

#include <QCoro/QCoroTask>
#include <QList>
#include <optional>

namespace nimbara::cli {

class CliOutput;
class CliSession;

// Runs the request's command on a session built while the preferences lock is held, and answers
// the exit status. Every command loads the stored state and the catalog first; a catalog that
// cannot be loaded fails the command before it acts.
QCoro::Task<ExitCode> runCommand(CliSession& session, Request request, const CliOutput& output);

// What `status` can say without a store, while the launcher holds the preferences.
void printStatusWhileLauncherRuns(const CliOutput& output);

// The commands themselves, each on a loaded catalog; `apps` are the request's apps, found in the
// catalog and visible.
ExitCode listApps(CliSession& session, const Request& request, const CliOutput& output);
QCoro::Task<ExitCode> openApp(CliSession& session, AppManifestItem app, const CliOutput& output);
QCoro::Task<ExitCode> removeApp(CliSession& session, AppManifestItem app, bool withData,
                                const CliOutput& output);
QCoro::Task<ExitCode> installApps(CliSession& session, QList<AppManifestItem> apps,
                                  const CliOutput& output);
QCoro::Task<ExitCode> updateApps(CliSession& session, QList<AppManifestItem> apps,
                                 const CliOutput& output);
QCoro::Task<ExitCode> rollBackApp(CliSession& session, AppManifestItem app,
                                  const CliOutput& output);

} // namespace nimbara::cli
