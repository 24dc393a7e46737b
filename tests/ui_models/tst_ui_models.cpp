#include "tst_ui_models.h"

#include "support/temp_home.h"

namespace nimbara::test {

void ModelStore::persistInstalled(const AppManifestItem& app, const QString& version) {
    const QString path = fakes.bundlePath(app.name);
    writeBundle(path, app.bundleId, version);
    fakes.persistInstall(app.id, version, path);
}

LauncherStore& ModelStore::start(const LauncherManifest& catalog) {
    store = std::make_unique<LauncherStore>(fakes.wiring(catalog, true));
    return *store;
}

QString english(CopyKey key, const CopyValues& values) {
    return NimbaraCopy::text(key, NimbaraLocale::en, values);
}

QStringList idsOf(const QList<AppManifestItem>& apps) {
    QStringList ids;
    for (const AppManifestItem& app : apps) {
        ids.append(app.id);
    }
    return ids;
}

void settle() {
    for (int round = 0; round < 20; ++round) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

} // namespace nimbara::test

NIMBARA_TEST_MAIN(TestUiModels)
