#pragma once

// A store on substitutes for the view-model tests of this folder, and small helpers.

#include "store/launcher_store.h"
#include "support/catalog_samples.h"
#include "support/fake_collaborators.h"
#include "text/nimbara_copy.h"

#include <QCoreApplication>
#include <memory>

namespace nimbara::test {

// A store on substitutes, with installs recorded before it starts where a test needs them.
struct ModelStore {
    FakeCollaborators fakes;
    std::unique_ptr<LauncherStore> store;

    // Records `app` as installed at `version` (with a real bundle) for the next start().
    void persistInstalled(const AppManifestItem& app, const QString& version) {
        const QString path = fakes.bundlePath(app.name);
        writeBundle(path, app.bundleId, version);
        fakes.persistInstall(app.id, version, path);
    }
    LauncherStore& start(const LauncherManifest& catalog) {
        store = std::make_unique<LauncherStore>(fakes.wiring(catalog, true));
        return *store;
    }
    // Starts the store on `catalog` and hands it to `model`.
    template <typename Model> LauncherStore& show(Model& model, const LauncherManifest& catalog) {
        model.setStore(&start(catalog));
        return *store;
    }
};

inline QString english(CopyKey key, const CopyValues& values = {}) {
    return NimbaraCopy::text(key, NimbaraLocale::en, values);
}

// Lets queued resumptions and posted events run.
inline void settle() {
    for (int round = 0; round < 20; ++round) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

} // namespace nimbara::test
