#pragma once

#include "contracts/collaborator_contracts.h"
#include "install/bundle_placement.h"
#include "install/kept_copies.h"

#include <memory>

namespace nimbara {

// Puts an app back to the bundle its last update replaced. The kept copy is checked where it
// lies (the catalog's bundle identifier, the version it was kept at, the build team's
// signature), copied beside the installed bundle as `<name>.<UUID>.staged`, checked again and
// swapped in with the same crash-safe swap as an install; the bundle it replaced stays as
// `<name>.<UUID>.backup` until finishRollBack, so the install recovery puts it back when the
// launcher ends before the store recorded the rollback. Blocking work runs on the global thread
// pool.
class AppRollback : public AppRollingBack {
public:
    AppRollback(KeptCopies kept, std::shared_ptr<const InstalledCodeValidating> validator,
                SwapHook swapHook = {});

    QCoro::Task<QHash<QString, QString>> keptVersions() override;
    QCoro::Task<RolledBackApp> rollBack(AppManifestItem app, QUrl installedURL) override;
    QCoro::Task<> finishRollBack(RolledBackApp rolledBack) override;
    QCoro::Task<> discardKeptCopy(QString appID) override;
    QCoro::Task<> discardAllKeptCopies() override;

private:
    KeptCopies kept_;
    std::shared_ptr<const InstalledCodeValidating> validator_;
    SwapHook swapHook_;
};

} // namespace nimbara
