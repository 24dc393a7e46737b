#include "install/interim_install_collaborators.h"

namespace nimbara {

QString UnavailableAppUninstaller::unavailableProblem() {
    return QStringLiteral("Removing apps is not available in this build yet; nothing was moved "
                          "to the Trash.");
}

QCoro::Task<AppRemovalOutcome> UnavailableAppUninstaller::removeApp(AppRemovalRequest request) {
    AppRemovalOutcome outcome;
    outcome.appID = request.appID;
    outcome.removedBundle = false;
    outcome.problems.append(unavailableProblem());
    co_return outcome;
}

SelfTrashResult UnavailableAppUninstaller::trashSelf(const QUrl&) {
    return SelfTrashResult::failed(unavailableProblem());
}

} // namespace nimbara
