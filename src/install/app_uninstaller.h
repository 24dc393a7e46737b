#pragma once

#include "contracts/collaborator_contracts.h"
#include "install/app_data_paths.h"
#include "install/running_app_terminating.h"

#include <functional>
#include <memory>

namespace nimbara {

// Removes managed apps by moving them to the Trash; nothing is ever deleted for good.
//
// A removal first quits the app's running instances, then moves its bundle to the Trash and, on
// request, its data locations (appDataPaths) that exist, in their order. The bundle is the one at
// the recorded location when that still carries the app's identifier; anything else found there
// is left untouched, and the bundle is looked up by identifier in the install root, then in the
// applications folder (its entries, then one level below), the first by name in each. Every
// failure becomes a readable problem in the outcome and the removal goes on.
class AppUninstaller : public AppUninstalling {
public:
    // Moves one item to the Trash; throws an error with a readable description when it cannot.
    // Called on worker threads.
    using TrashOperation = std::function<void(const QUrl&)>;

    struct Settings {
        QUrl installRoot;
        QUrl applicationsFolder;
        AppDataRoots libraryRoot;
        std::shared_ptr<RunningAppTerminating> runningAppTerminator;
        double terminationTimeout = 5.0; // seconds
        TrashOperation trashOperation;   // the freedesktop.org Trash when empty

        // The current user's install root, applications folder and data roots, the /proc
        // terminator, 5 seconds and the freedesktop.org Trash.
        static Settings forCurrentUser();
    };

    explicit AppUninstaller(Settings settings);

    // The problems a removal reports besides the Trash's own failures.
    static QString couldNotQuitProblem(const QString& bundleID);
    static QString noBundleProblem();
    static QString unsafeIdentifierProblem(const QString& bundleID);

    QCoro::Task<AppRemovalOutcome> removeApp(AppRemovalRequest request) override;
    // Moves the launcher's own bundle to the Trash; anything not named "*.app" is left alone, and
    // a bundle whose Info.plist says NimbaraPackageManaged (the system package's) stays with a
    // failure that tells the user to remove it with the package manager.
    SelfTrashResult trashSelf(const QUrl& bundleURL) override;

private:
    Settings settings_;
};

} // namespace nimbara
