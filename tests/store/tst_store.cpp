#include "tst_store.h"

#include "support/temp_home.h"

#include <QCoro/QCoroTask>
#include <QFile>
#include <QThreadPool>

char* toString(const std::optional<QString>& text) {
    return text ? QTest::toString(*text) : qstrdup("none");
}

char* toString(const std::optional<QUrl>& url) {
    return url ? QTest::toString(*url) : qstrdup("none");
}

namespace nimbara {

char* toString(const AppInstallState& state) {
    const QString text =
        QStringLiteral("%1(%2 %3 %4 %5 %6)")
            .arg(static_cast<int>(state.kind()))
            .arg(state.progress())
            .arg(state.version(), state.installedVersion(), state.latestVersion(), state.message());
    return qstrdup(text.toUtf8().constData());
}

} // namespace nimbara

namespace nimbara::test {

LauncherStore& StoreHarness::start(LauncherManifest manifest, bool loadStoredStateSynchronously) {
    store = std::make_unique<LauncherStore>(
        fakes.wiring(std::move(manifest), loadStoredStateSynchronously));
    return *store;
}

LauncherStore& StoreHarness::restart(LauncherManifest manifest) {
    store.reset();
    return start(std::move(manifest));
}

void StoreHarness::startUp() {
    QCoro::waitFor(store->loadStoredStateIfNeeded());
    loadManifest();
}

void StoreHarness::loadManifest() {
    QCoro::waitFor(store->loadManifest());
}

void StoreHarness::persistInstalledApp(const AppManifestItem& app, const QString& version) {
    const QString path = fakes.bundlePath(app.name);
    writeBundle(path, app.bundleId, version);
    fakes.persistInstall(app.id, version, path);
}

QUrl StoreHarness::bundleURL(const AppManifestItem& app) const {
    return QUrl::fromLocalFile(fakes.bundlePath(app.name));
}

void settle() {
    for (int round = 0; round < 20; ++round) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

void finishWorkers() {
    QThreadPool::globalInstance()->waitForDone();
    settle();
}

QString textFor(CopyKey key, const QString& app, const QString& reason) {
    CopyValues values{{u"app"_qs, app}};
    if (!reason.isNull()) {
        values.insert(u"reason"_qs, reason);
    }
    return NimbaraCopy::text(key, NimbaraLocale::en, values);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool storedFlag(const StoreHarness& h, const char* key) {
    return PreferencesStore(h.fakes.preferencesPath).boolForKey(QString::fromLatin1(key));
}

LauncherOperationalEvent alphaEvent(const char* type, const char* status,
                                    std::optional<QString> reason) {
    return {QString::fromLatin1(type), u"alpha"_qs, u"1.0.0"_qs, QString::fromLatin1(status),
            std::move(reason)};
}

std::exception_ptr offline() {
    return std::make_exception_ptr(NetworkError(u"offline"_qs));
}

} // namespace nimbara::test

// Runs the tests in a temporary home, or, started by a crash test, the update it kills.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (const std::optional<int> status = nimbara::test::runAsCrashChild()) {
        return *status;
    }
    nimbara::test::TempHome home;
    TestStore test;
    return QTest::qExec(&test, argc, argv);
}
