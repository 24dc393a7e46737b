#include "e2e_world.h"

#include "core/error.h"
#include "platform/running_processes.h"
#include "support/sample_bundle.h"
#include "wiring/production_wiring.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTest>
#include <csignal>

namespace nimbara::test {

namespace {

// Generous guard against a hung install; no test depends on how fast anything is.
constexpr int kInstallGuardMs = 60000;
// The address the generated catalogs name the server by.
constexpr char kGeneratedOrigin[] = "http://127.0.0.1:3000";

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Copies the files below `from` into `to`, replacing what is there.
bool copyTree(const QString& from, const QString& to) {
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = QDir(to).filePath(QDir(from).relativeFilePath(source));
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile::remove(target);
        if (!QFile::copy(source, target))
            return false;
    }
    return true;
}

QCoro::Task<> guarded(QCoro::Task<> task, QString& failure) {
    try {
        co_await std::move(task);
    } catch (const std::exception& error) {
        failure = errorDescription(error);
    } catch (...) {
        failure = QStringLiteral("unknown error");
    }
}

} // namespace

QString demoDir() {
    return QStringLiteral(NIMBARA_DEMO_DIR);
}

QList<qint64> runningApp(const QString& bundleID) {
    return processesRunningApp(bundleID);
}

E2eWorld::E2eWorld(const QString& generation) {
    launcherBundle = QDir::homePath() + QStringLiteral("/.local/lib/Nimbara.app");
    QDir().mkpath(launcherBundle + QStringLiteral("/Contents"));
    writeBytes(launcherBundle + QStringLiteral("/Contents/Info.plist"),
               infoPlist({{QStringLiteral("CFBundleIdentifier"),
                           QStringLiteral("com.nimbara.launcher")}}));
    if (!copyTree(QDir(demoDir()).filePath(generation), served(QString()))) {
        problem_ = QStringLiteral("cannot copy the generated ") + generation;
        return;
    }
    server_ = std::make_unique<DevServerProcess>(served(QString()),
                                                 work_.filePath(QStringLiteral("reports.sqlite")));
    if (!server_->start()) {
        problem_ = server_->error();
        return;
    }
    serve(generation);
}

E2eWorld::~E2eWorld() {
    store_.reset();
    for (const qint64 pid : processesRunningFrom(QDir::homePath()))
        ::kill(static_cast<pid_t>(pid), SIGKILL);
    for (const char* name :
         {"NIMBARA_MANIFEST_URL", "NIMBARA_API_URL", "NIMBARA_LAUNCHER_SENTRY_DSN"})
        qunsetenv(name);
}

QString E2eWorld::served(const QString& relative) const {
    return work_.filePath(QStringLiteral("root/") + relative);
}

void E2eWorld::serve(const QString& generation) {
    if (!copyTree(QDir(demoDir()).filePath(generation), served(QString()))) {
        problem_ = QStringLiteral("cannot copy the generated ") + generation;
        return;
    }
    const QByteArray origin = server_->url(QString()).toString().toUtf8();
    QDirIterator it(served(QString()), {QStringLiteral("catalog*.json")}, QDir::Files);
    while (it.hasNext()) {
        const QString path = it.next();
        writeBytes(path, contentOf(path).replace(kGeneratedOrigin, origin));
    }
}

void E2eWorld::editServedApp(const QString& appID, const std::function<void(QJsonObject&)>& edit) {
    const QString path = served(QStringLiteral("catalog.json"));
    QJsonObject catalog = QJsonDocument::fromJson(contentOf(path)).object();
    QJsonArray apps = catalog.value(QStringLiteral("apps")).toArray();
    for (qsizetype i = 0; i < apps.size(); ++i) {
        QJsonObject app = apps.at(i).toObject();
        if (app.value(QStringLiteral("id")).toString() == appID) {
            edit(app);
            apps.replace(i, app);
        }
    }
    catalog.insert(QStringLiteral("apps"), apps);
    writeBytes(path, QJsonDocument(catalog).toJson());
}

QJsonArray E2eWorld::listed(const QString& path, const QString& key) {
    return server_ ? server_->get(path).json().value(key).toArray() : QJsonArray();
}

LauncherStore& E2eWorld::startStore() {
    qputenv("NIMBARA_MANIFEST_URL",
            server_->url(QStringLiteral("/api/launcher/manifest")).toString().toUtf8());
    qputenv("NIMBARA_API_URL", server_->url(QString()).toString().toUtf8());
    QUrl dsn = server_->url(QStringLiteral("/42"));
    dsn.setUserName(QStringLiteral("e2e"));
    qputenv("NIMBARA_LAUNCHER_SENTRY_DSN", dsn.toString().toUtf8());

    LauncherStoreWiring wiring = productionWiring(network_);
    validator_ = wiring.installedCodeValidator;
    wiring.quitHandler = [this] {
        ++quits;
    };
    wiring.appBundleURLProvider = [bundle = launcherBundle] {
        return QUrl::fromLocalFile(bundle);
    };
    wiring.locale = NimbaraLocale::en;
    // Every progress report counts: a second passes between any two readings.
    wiring.clock = [this] {
        return clock_ += 1000;
    };
    store_ = std::make_unique<LauncherStore>(std::move(wiring));
    await(store_->loadStoredStateIfNeeded());
    await(store_->loadManifest());
    return *store_;
}

const AppManifestItem& E2eWorld::app(const QString& appID) const {
    for (const AppManifestItem& item : store_->manifest().apps) {
        if (item.id == appID)
            return item;
    }
    qFatal("the catalog has no app %s", qPrintable(appID));
}

bool E2eWorld::install(const QString& appID) {
    store_->install(app(appID));
    (void)QTest::qWaitFor(
        [&] { return store_->state(appID).kind() != AppInstallState::Case::installing; },
        kInstallGuardMs);
    return store_->state(appID).kind() == AppInstallState::Case::installed;
}

QString E2eWorld::await(QCoro::Task<> task) {
    QString failure;
    QCoro::Task<> waiting = guarded(std::move(task), failure);
    QCoro::waitFor(std::move(waiting));
    return failure;
}

} // namespace nimbara::test
