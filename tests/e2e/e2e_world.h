#pragma once

// One user's machine for an end-to-end test: a temporary home, the real development server over
// a copy of a catalog folder the demo build generated, and the launcher's store built from its
// production wiring, offscreen and in-process.

#include "store/launcher_store.h"
#include "support/dev_server_process.h"
#include "support/temp_home.h"

#include <QCoro/QCoroTask>
#include <QJsonArray>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QTemporaryDir>
#include <functional>
#include <memory>

namespace nimbara::test {

class E2eWorld {
public:
    // Serves a copy of `generation` ("catalog" or "catalog-update" of the demo build).
    explicit E2eWorld(const QString& generation = QStringLiteral("catalog"));
    // Kills whatever still runs from the temporary home (apps a failed test left open).
    ~E2eWorld();
    E2eWorld(const E2eWorld&) = delete;
    E2eWorld& operator=(const E2eWorld&) = delete;

    // Empty when the server is up and serves the catalog; else what went wrong.
    const QString& problem() const { return problem_; }
    DevServerProcess* server() { return server_.get(); }
    // Kills the server at once; it stays down.
    void killServer() { server_.reset(); }

    // Copies a generated catalog folder over the served one and names the running server in it.
    void serve(const QString& generation);
    // A file of the served folder.
    QString served(const QString& relative) const;
    // Changes one app of the served catalog.json.
    void editServedApp(const QString& appID, const std::function<void(QJsonObject&)>& edit);
    // What the server keeps under `path`, the array `key` of its listing.
    QJsonArray listed(const QString& path, const QString& key);

    // The store of the production wiring, its stored state restored and the catalog loaded.
    LauncherStore& startStore();
    LauncherStore& store() { return *store_; }
    // The validator the store's installer checks bundles with.
    InstalledCodeValidating& validator() { return *validator_; }
    const AppManifestItem& app(const QString& appID) const;
    // Installs the app and waits until the install ended; true when it ended installed.
    bool install(const QString& appID);
    // Waits for `task`; the description of what it threw, empty when it did not throw.
    static QString await(QCoro::Task<> task);

    // Times the quit handler of the wiring was called.
    int quits = 0;
    // Where the launcher's own bundle lives in this home.
    QString launcherBundle;

private:
    TempHome home_;
    QTemporaryDir work_;
    std::unique_ptr<DevServerProcess> server_;
    QNetworkAccessManager network_;
    std::shared_ptr<InstalledCodeValidating> validator_;
    std::unique_ptr<LauncherStore> store_;
    qint64 clock_ = 0;
    QString problem_;
};

// Where the demo build wrote its output.
QString demoDir();
// Processes whose program lies inside an app bundle with this identifier.
QList<qint64> runningApp(const QString& bundleID);

} // namespace nimbara::test
