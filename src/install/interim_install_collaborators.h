#pragma once

// Stand-ins for the install collaborators whose real implementations are still being written. Each
// one is safe and says plainly that it cannot do its job: nothing here pretends to succeed. They
// are what this build wires in production until the real ones land; each class names its successor.

#include "contracts/collaborator_contracts.h"

namespace nimbara {

// Removes nothing. Every removal comes back with removedBundle false and one problem saying
// why, so the store reports a partial failure instead of claiming the app is gone; trashSelf
// fails with the same explanation.
// Replaced by AppUninstaller (terminate running instances, move bundle and data to the Trash).
class UnavailableAppUninstaller : public AppUninstalling {
public:
    // The problem text every removal reports (a fixed English text, as the uninstaller's own
    // problem texts are).
    static QString unavailableProblem();

    QCoro::Task<AppRemovalOutcome> removeApp(AppRemovalRequest request) override;
    SelfTrashResult trashSelf(const QUrl& bundleURL) override;
};

} // namespace nimbara
