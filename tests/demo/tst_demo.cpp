// The demo family as the build publishes it: both served catalog folders are what the launcher
// accepts and installs, and the generator that writes them refuses bad input without harm.

#include "catalog/manifest_coding.h"
#include "catalog/manifest_policy.h"
#include "catalog/version_order.h"
#include "core/error.h"
#include "demo_catalog.h"
#include "install/archive_extraction.h"
#include "install/archive_layout.h"
#include "install/bundle_signature_validator.h"
#include "install/installed_code_validation_error.h"
#include "support/sample_bundle.h"
#include "support/temp_home.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace nimbara;
using namespace nimbara::test;
using namespace nimbara::ManifestPolicy;
using namespace Qt::StringLiterals;

namespace {

const QString kDemo = QStringLiteral(NIMBARA_DEMO_DIR);

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

LauncherManifest servedCatalog(const QString& generation) {
    return decodeLauncherManifest(readAll(kDemo + u'/' + generation + u"/catalog.json"_s));
}

const AppManifestItem* findApp(const LauncherManifest& catalog, const QString& id) {
    for (const AppManifestItem& app : catalog.apps)
        if (app.id == id)
            return &app;
    return nullptr;
}

// "valid", or the name of the check the bundle fails.
QString verdict(const BundleSignatureValidator& validator, const QString& bundle,
                const AppManifestItem& app, const QString& version) {
    try {
        validator.validate(QUrl::fromLocalFile(bundle), app.bundleId, version);
        return u"valid"_s;
    } catch (const InstalledCodeValidationError& error) {
        return error.caseName();
    }
}

// The one bundle the archive unpacks to, or an empty path (the reason is logged).
QString unpackedBundle(const QString& zip, const QString& folder) {
    try {
        extractArchive(zip, folder);
        return findExtractedApp(folder);
    } catch (const std::exception& error) {
        qWarning("%s: %s", qPrintable(zip), qPrintable(errorDescription(error)));
        return {};
    }
}

QJsonObject json(const char* text) {
    return QJsonDocument::fromJson(text).object();
}

} // namespace

class TestDemo : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void servedGeneration_data() {
        QTest::addColumn<QString>("generation");
        QTest::newRow("first") << u"catalog"_s;
        QTest::newRow("update") << u"catalog-update"_s;
    }

    // Every offered app downloads with its digest, unpacks to one bundle sealed by the demo's
    // team, and that bundle runs the program of the listed version.
    void servedGeneration() {
        QFETCH(QString, generation);
        const LauncherManifest catalog = servedCatalog(generation);
        QCOMPARE(publishedApps(catalog, true).size(), 4);
        QCOMPARE(comingSoonApps(catalog).size(), 1);
        QVERIFY(!catalog.announcements.isEmpty());
        const BundleSignatureValidator validator(QStringLiteral(NIMBARA_DEMO_TEAM_ID),
                                                 readAll(kDemo + u"/dev-ca/root.pem"_s));
        for (const AppManifestItem& app : publishedApps(catalog, true)) {
            const QString zip = kDemo + u'/' + generation + u'/' + app.downloadUrl->path();
            const QByteArray bytes = readAll(zip);
            QVERIFY2(!bytes.isEmpty(), qPrintable(zip));
            QCOMPARE(QString::fromLatin1(
                         QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex()),
                     *app.sha256);
            QTemporaryDir unpacked;
            const QString bundle = unpackedBundle(zip, unpacked.path());
            QVERIFY(!bundle.isEmpty());
            QCOMPARE(verdict(validator, bundle, app, app.version), u"valid"_s);
            QCOMPARE(verdict(validator, bundle, app, u"0.0.1"_s), u"bundleVersionMismatch"_s);
            QProcess program;
            program.start(bundle + u"/Contents/MacOS/"_s + app.id, {u"--identify"_s});
            QVERIFY(program.waitForFinished());
            QCOMPARE(QString::fromUtf8(program.readAllStandardOutput()).trimmed(),
                     app.id + u' ' + app.version + u' ' + app.bundleId);
        }
    }

    // The update differs in exactly two apps, whose releases are newer; one is announced.
    void updateGeneration() {
        const LauncherManifest first = servedCatalog(u"catalog"_s);
        const LauncherManifest update = servedCatalog(u"catalog-update"_s);
        QCOMPARE(update.apps.size(), first.apps.size());
        QStringList changed;
        QStringList announced;
        for (const AppManifestItem& app : update.apps) {
            const AppManifestItem* before = findApp(first, app.id);
            QVERIFY(before);
            if (app.version == before->version) {
                QCOMPARE(app.sha256, before->sha256);
                continue;
            }
            changed.append(app.id);
            QCOMPARE(compareVersions(app.version, before->version), VersionOrder::descending);
            QVERIFY(app.sha256 != before->sha256);
            QCOMPARE(app.releaseNotes.constFirst().version, app.version);
            if (std::any_of(update.announcements.cbegin(), update.announcements.cend(),
                            [&](const LauncherAnnouncement& announcement) {
                                return announcement.appId == app.id &&
                                       announcement.version == app.version;
                            }))
                announced.append(app.id);
        }
        QCOMPARE(changed, (QStringList{u"lumen-notes"_s, u"tidy-clipboard"_s}));
        QCOMPARE(announced, QStringList{u"lumen-notes"_s});
    }

    void overlay_data() {
        QTest::addColumn<QJsonObject>("base");
        QTest::addColumn<QJsonObject>("overlay");
        QTest::addColumn<QJsonObject>("expected"); // empty: refused
        const QJsonObject base = json(R"({"generatedAt": "a", "apps": [
            {"id": "x", "version": "1", "releaseNotes": [{"version": "1"}]}, {"id": "y"}],
            "announcements": [{"id": "n1"}]})");
        QTest::newRow("nothing") << base << QJsonObject() << base;
        QTest::newRow("top level and fields replaced, notes and announcements added")
            << base << json(R"({"generatedAt": "b", "apps": [{"id": "x", "version": "2",
                        "releaseNotes": [{"version": "2"}]}], "announcements": [{"id": "n2"}]})")
            << json(R"({"generatedAt": "b", "apps": [{"id": "x", "version": "2",
                        "releaseNotes": [{"version": "2"}, {"version": "1"}]}, {"id": "y"}],
                        "announcements": [{"id": "n1"}, {"id": "n2"}]})");
        QTest::newRow("second app") << base << json(R"({"apps": [{"id": "y", "tags": []}]})")
                                    << json(R"({"generatedAt": "a", "apps": [{"id": "x",
                                            "version": "1", "releaseNotes": [{"version": "1"}]},
                                            {"id": "y", "tags": []}],
                                            "announcements": [{"id": "n1"}]})");
        QTest::newRow("unknown app") << base << json(R"({"apps": [{"id": "z"}]})") << QJsonObject();
        QTest::newRow("app without id")
            << base << json(R"({"apps": [{"version": "3"}]})") << QJsonObject();
    }

    void overlay() {
        QFETCH(QJsonObject, base);
        QFETCH(QJsonObject, overlay);
        QFETCH(QJsonObject, expected);
        if (expected.isEmpty())
            QVERIFY_THROWS_EXCEPTION(demo::DemoCatalogError, demo::applyOverlay(base, overlay));
        else
            QCOMPARE(demo::applyOverlay(base, overlay), expected);
    }

    void badInput_data() {
        QTest::addColumn<QByteArray>("templateJson");
        QTest::addColumn<QString>("reason");
        const QByteArray app = R"({"id": "a", "name": "A", "tagline": "t", "category": "c",
            "bundleId": "com.example.a", "version": "2.0", "minMacOS": "5.10", "status": "%s",
            "symbolName": "s", "accent": "lime", "tags": [], "description": "d",
            "privacyNote": "p", "releaseNotes": []})";
        const auto catalogWith = [&](const char* status) {
            return R"({"generatedAt": "2026-05-03T00:00:00Z", "apps": [)" +
                   QByteArray(app).replace("%s", status) + "]}";
        };
        QTest::newRow("offered without a package") << catalogWith("live") << u"a-2.0.zip"_s;
        QTest::newRow("rejected by the launcher") << catalogWith("Live") << u"apps[0].status"_s;
        QTest::newRow("not JSON") << QByteArray("{") << u"not JSON"_s;
    }

    // A failed generation explains itself and leaves the last one as it was.
    void badInput() {
        QFETCH(QByteArray, templateJson);
        QFETCH(QString, reason);
        QTemporaryDir work;
        const QString out = work.filePath(u"out"_s);
        QDir().mkpath(out + u"/downloads"_s);
        writeBytes(out + u"/catalog.json"_s, "earlier");
        writeBytes(out + u"/downloads/earlier.zip"_s, "zip");
        writeBytes(work.filePath(u"template.json"_s), templateJson);
        const QMap<QString, QByteArray> before = treeSnapshot(out);
        try {
            demo::generateCatalog({work.filePath(u"template.json"_s),
                                   {},
                                   work.path(),
                                   {},
                                   QUrl(u"http://127.0.0.1:3000"_s),
                                   out});
            QFAIL("the generation was not refused");
        } catch (const demo::DemoCatalogError& error) {
            QVERIFY2(error.description().contains(reason), qPrintable(error.description()));
        }
        QCOMPARE(treeSnapshot(out), before);
    }
};

NIMBARA_TEST_MAIN(TestDemo)
#include "tst_demo.moc"
