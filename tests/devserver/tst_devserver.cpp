#include "catalog/manifest_coding.h"
#include "support/dev_server_process.h"
#include "support/catalog_samples.h"
#include "support/temp_home.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>

using nimbara::test::DevServerProcess;
using nimbara::test::HttpAnswer;

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray catalogListing(const QString& appId) {
    return nimbara::encodeLauncherManifestJson(
        nimbara::test::catalogWith({nimbara::test::publishedApp(appId)}));
}

QByteArray feedback(const QString& requestId, const QString& title) {
    return QJsonDocument(
               QJsonObject{{QStringLiteral("clientRequestId"), requestId},
                           {QStringLiteral("type"), QStringLiteral("bug")},
                           {QStringLiteral("title"), title},
                           {QStringLiteral("description"), QStringLiteral("Steps")},
                           {QStringLiteral("appId"), QStringLiteral("alpha")},
                           {QStringLiteral("diagnostics"),
                            QJsonObject{{QStringLiteral("locale"), QStringLiteral("pl")}}}})
        .toJson();
}

} // namespace

// The development server as a separate process, spoken to over loopback HTTP.
class TestDevServer : public QObject {
    Q_OBJECT

private:
    QString path(const QString& name) const { return QDir(root_->path()).filePath(name); }
    std::unique_ptr<QTemporaryDir> root_;

private Q_SLOTS:
    void init() { root_ = std::make_unique<QTemporaryDir>(); }

    void servesCatalogByLanguage() {
        writeFile(path(QStringLiteral("catalog.json")), catalogListing(QStringLiteral("alpha")));
        writeFile(path(QStringLiteral("catalog.pl.json")), catalogListing(QStringLiteral("beta")));
        writeFile(path(QStringLiteral("catalog.de.json")), "{\"apps\": \"not a catalog\"}");
        DevServerProcess server(root_->path(), path(QStringLiteral("db.sqlite")));
        QVERIFY2(server.start(), qPrintable(server.error()));

        const HttpAnswer plain = server.get(QStringLiteral("/api/launcher/manifest"));
        QCOMPARE(plain.status, 200);
        QCOMPARE(plain.body, catalogListing(QStringLiteral("alpha")));
        QCOMPARE(plain.header("Content-Type"), QByteArray("application/json"));
        QCOMPARE(server.get(QStringLiteral("/api/launcher/manifest?lang=pl")).body,
                 catalogListing(QStringLiteral("beta")));
        // Served even though the launcher would reject it: tests use broken catalogs.
        QCOMPARE(server.get(QStringLiteral("/api/launcher/manifest?lang=de")).body,
                 QByteArray("{\"apps\": \"not a catalog\"}"));
        for (const char* lang : {"fr", "PL", "pl.json", "..%2Fcatalog"}) {
            const QString query =
                QStringLiteral("/api/launcher/manifest?lang=") + QLatin1StringView(lang);
            QCOMPARE(server.get(query).body, plain.body);
        }

        const QByteArray etag = plain.header("ETag");
        QVERIFY(!etag.isEmpty());
        QCOMPARE(
            server.get(QStringLiteral("/api/launcher/manifest"), {{"If-None-Match", etag}}).status,
            304);
        QCOMPARE(
            server.get(QStringLiteral("/api/launcher/manifest?lang=pl"), {{"If-None-Match", etag}})
                .status,
            200);
        QCOMPARE(server
                     .get(QStringLiteral("/api/launcher/manifest"),
                          {{"If-Modified-Since", plain.header("Last-Modified")}})
                     .status,
                 304);

        writeFile(path(QStringLiteral("catalog.json")), catalogListing(QStringLiteral("gamma")));
        const HttpAnswer changed =
            server.get(QStringLiteral("/api/launcher/manifest"), {{"If-None-Match", etag}});
        QCOMPARE(changed.status, 200);
        QCOMPARE(changed.body, catalogListing(QStringLiteral("gamma")));
        QVERIFY(changed.header("ETag") != etag);

        QVERIFY(QFile::remove(path(QStringLiteral("catalog.json"))));
        const HttpAnswer missing = server.get(QStringLiteral("/api/launcher/manifest?lang=fr"));
        QCOMPARE(missing.status, 404);
        QVERIFY(!missing.json().value(QStringLiteral("error")).toString().isEmpty());
    }

    void servesDownloadsInsideTheirFolderOnly() {
        writeFile(path(QStringLiteral("catalog.json")), "secret");
        writeFile(path(QStringLiteral("downloads/Alpha-1.0.0.zip")), "PK\x03\x04zip");
        writeFile(path(QStringLiteral("downloads/notes/readme.txt")), "text");
        QVERIFY(QFile::link(path(QStringLiteral("catalog.json")),
                            path(QStringLiteral("downloads/link.zip"))));
        DevServerProcess server(root_->path(), path(QStringLiteral("db.sqlite")));
        QVERIFY2(server.start(), qPrintable(server.error()));

        const HttpAnswer zip = server.get(QStringLiteral("/downloads/Alpha-1.0.0.zip"));
        QCOMPARE(zip.status, 200);
        QCOMPARE(zip.body, QByteArray("PK\x03\x04zip"));
        QCOMPARE(zip.header("Content-Type"), QByteArray("application/zip"));
        QCOMPARE(zip.header("Content-Length"), QByteArray("7"));
        const HttpAnswer text = server.get(QStringLiteral("/downloads/notes/readme.txt"));
        QCOMPARE(text.body, QByteArray("text"));
        QCOMPARE(text.header("Content-Type"), QByteArray("application/octet-stream"));

        for (const char* target :
             {"/downloads/../catalog.json", "/downloads/..%2Fcatalog.json",
              "/downloads/%2e%2e/catalog.json", "/downloads/notes/..%5C..%5Ccatalog.json",
              "/downloads/%2F"
              "etc%2Fpasswd",
              "/downloads/notes/../../catalog.json", "/downloads/link.zip",
              "/downloads/missing.zip", "/downloads/notes"}) {
            QCOMPARE(server.rawGetStatus(target), 404);
        }
        QCOMPARE(server.rawGetStatus("/downloads/notes/readme.txt"), 200);

        QCOMPARE(server.get(QStringLiteral("/appcast.xml")).status, 404);
        writeFile(path(QStringLiteral("appcast.xml")), "<rss/>");
        const HttpAnswer appcast = server.get(QStringLiteral("/appcast.xml"));
        QCOMPARE(appcast.body, QByteArray("<rss/>"));
        QCOMPARE(appcast.header("Content-Type"), QByteArray("application/rss+xml"));
    }

    void feedbackIsNumberedAcrossRestarts() {
        const QString database = path(QStringLiteral("reports/feedback.sqlite"));
        QDir().mkpath(path(QStringLiteral("reports")));
        {
            DevServerProcess server(root_->path(), database);
            QVERIFY2(server.start(), qPrintable(server.error()));
            const HttpAnswer first = server.post(
                QStringLiteral("/api/feedback"),
                feedback(QStringLiteral("A"), QStringLiteral("One")), {{"X-Nimbara-Locale", "pl"}});
            QCOMPARE(first.status, 201);
            const QJsonObject issue = first.json().value(QStringLiteral("issue")).toObject();
            QCOMPARE(first.json().value(QStringLiteral("ok")), QJsonValue(true));
            QCOMPARE(issue.value(QStringLiteral("id")).toString(), QStringLiteral("1"));
            QCOMPARE(issue.value(QStringLiteral("identifier")).toString(), QStringLiteral("FB-1"));
            QCOMPARE(issue.value(QStringLiteral("url")).toString(),
                     server.url(QStringLiteral("/feedback/FB-1")).toString());

            const HttpAnswer repeated =
                server.post(QStringLiteral("/api/feedback"),
                            feedback(QStringLiteral("A"), QStringLiteral("One")));
            QCOMPARE(repeated.status, 200);
            QCOMPARE(repeated.json().value(QStringLiteral("issue")).toObject(), issue);
            const HttpAnswer second =
                server.post(QStringLiteral("/api/feedback"),
                            feedback(QStringLiteral("B"), QStringLiteral("Two")));
            QCOMPARE(second.status, 201);
            QCOMPARE(
                second.json()[QStringLiteral("issue")][QStringLiteral("identifier")].toString(),
                QStringLiteral("FB-2"));
        }

        DevServerProcess restarted(root_->path(), database);
        QVERIFY2(restarted.start(), qPrintable(restarted.error()));
        const QJsonArray reports = restarted.get(QStringLiteral("/api/feedback"))
                                       .json()
                                       .value(QStringLiteral("reports"))
                                       .toArray();
        QCOMPARE(reports.size(), 2);
        const QJsonObject first = reports.at(0).toObject();
        QCOMPARE(first.value(QStringLiteral("identifier")).toString(), QStringLiteral("FB-1"));
        QCOMPARE(first.value(QStringLiteral("title")).toString(), QStringLiteral("One"));
        QCOMPARE(first.value(QStringLiteral("appId")).toString(), QStringLiteral("alpha"));
        QCOMPARE(first.value(QStringLiteral("locale")).toString(), QStringLiteral("pl"));
        QCOMPARE(first[QStringLiteral("diagnostics")][QStringLiteral("locale")].toString(),
                 QStringLiteral("pl"));
        QCOMPARE(reports.at(1)[QStringLiteral("title")].toString(), QStringLiteral("Two"));

        const HttpAnswer third =
            restarted.post(QStringLiteral("/api/feedback"),
                           feedback(QStringLiteral("C"), QStringLiteral("Three")));
        QCOMPARE(third.status, 201);
        QCOMPARE(third.json()[QStringLiteral("issue")][QStringLiteral("identifier")].toString(),
                 QStringLiteral("FB-3"));
        QCOMPARE(
            restarted.get(QStringLiteral("/feedback/FB-3")).json().value(QStringLiteral("title")),
            QJsonValue(QStringLiteral("Three")));
    }

    void rejectsMalformedFeedback_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("named");
        const QJsonObject valid =
            QJsonDocument::fromJson(feedback(QStringLiteral("X"), QStringLiteral("T"))).object();
        const auto with = [&](const char* key, const QJsonValue& value) {
            QJsonObject changed = valid;
            if (value.isUndefined())
                changed.remove(QLatin1StringView(key));
            else
                changed.insert(QLatin1StringView(key), value);
            return QJsonDocument(changed).toJson();
        };
        QTest::newRow("not JSON") << QByteArray("title=hello") << QStringLiteral("JSON");
        QTest::newRow("array") << QByteArray("[]") << QStringLiteral("object");
        QTest::newRow("no title") << with("title", QJsonValue::Undefined)
                                  << QStringLiteral("title");
        QTest::newRow("blank title")
            << with("title", QStringLiteral("  ")) << QStringLiteral("title");
        QTest::newRow("unknown type")
            << with("type", QStringLiteral("Bug")) << QStringLiteral("type");
        QTest::newRow("no request id")
            << with("clientRequestId", QJsonValue::Undefined) << QStringLiteral("clientRequestId");
        QTest::newRow("appId number") << with("appId", 7) << QStringLiteral("appId");
        QTest::newRow("diagnostics text")
            << with("diagnostics", QStringLiteral("x")) << QStringLiteral("diagnostics");
    }

    void rejectsMalformedFeedback() {
        QFETCH(QByteArray, body);
        QFETCH(QString, named);
        DevServerProcess server(root_->path(), path(QStringLiteral("db.sqlite")));
        QVERIFY2(server.start(), qPrintable(server.error()));
        const HttpAnswer answer = server.post(QStringLiteral("/api/feedback"), body);
        QCOMPARE(answer.status, 400);
        const QString error = answer.json().value(QStringLiteral("error")).toString();
        QVERIFY2(error.contains(named), qPrintable(error));
        QVERIFY(server.get(QStringLiteral("/api/feedback"))
                    .json()[QStringLiteral("reports")]
                    .toArray()
                    .isEmpty());
    }

    void storesOperationalEvents() {
        DevServerProcess server(root_->path(), path(QStringLiteral("db.sqlite")));
        QVERIFY2(server.start(), qPrintable(server.error()));
        QCOMPARE(server
                     .post(QStringLiteral("/api/launcher/events"),
                           R"({"eventType": "install_failed", "appSlug": "alpha",
                                 "appVersion": "1.0.0", "status": "failed", "reason": "x"})")
                     .status,
                 202);
        QCOMPARE(
            server
                .post(QStringLiteral("/api/launcher/events"), R"({"eventType": "install_started"})")
                .status,
            400);
        QCOMPARE(server
                     .post(QStringLiteral("/api/launcher/events"),
                           R"({"eventType": "x", "status": "y", "appSlug": 3})")
                     .status,
                 400);
        const QJsonArray events = server.get(QStringLiteral("/api/launcher/events"))
                                      .json()[QStringLiteral("events")]
                                      .toArray();
        QCOMPARE(events.size(), 1);
        QCOMPARE(events.at(0)[QStringLiteral("eventType")].toString(),
                 QStringLiteral("install_failed"));
        QCOMPARE(events.at(0)[QStringLiteral("appSlug")].toString(), QStringLiteral("alpha"));
        QCOMPARE(events.at(0)[QStringLiteral("reason")].toString(), QStringLiteral("x"));
    }

    void errorStoreRequiresAuthentication() {
        DevServerProcess server(root_->path(), path(QStringLiteral("db.sqlite")));
        QVERIFY2(server.start(), qPrintable(server.error()));
        const QString endpoint = QStringLiteral("/api/42/store/");
        const QByteArray event =
            R"({"event_id": "0123456789abcdef0123456789abcdef", "level": "error"})";
        QCOMPARE(server.post(endpoint, event).status, 401);
        for (const char* auth :
             {"Bearer sentry_version=7, sentry_key=pk", "Sentry sentry_version=6, sentry_key=pk",
              "Sentry sentry_version=7, sentry_key=", "Sentry sentry_version=7"}) {
            QCOMPARE(server.post(endpoint, event, {{"X-Sentry-Auth", auth}}).status, 401);
        }
        const QByteArray good =
            "Sentry sentry_version=7, sentry_client=nimbara-launcher/0.1.0, sentry_key=pk";
        QCOMPARE(server.post(endpoint, R"({"level": "error"})", {{"X-Sentry-Auth", good}}).status,
                 400);
        const HttpAnswer stored = server.post(endpoint, event, {{"X-Sentry-Auth", good}});
        QCOMPARE(stored.status, 200);
        QCOMPARE(stored.json().value(QStringLiteral("id")).toString(),
                 QStringLiteral("0123456789abcdef0123456789abcdef"));

        const QJsonArray events = server.get(endpoint).json()[QStringLiteral("events")].toArray();
        QCOMPARE(events.size(), 1);
        QCOMPARE(events.at(0)[QStringLiteral("publicKey")].toString(), QStringLiteral("pk"));
        QCOMPARE(events.at(0)[QStringLiteral("event")][QStringLiteral("level")].toString(),
                 QStringLiteral("error"));
        QVERIFY(server.get(QStringLiteral("/api/7/store/"))
                    .json()[QStringLiteral("events")]
                    .toArray()
                    .isEmpty());
    }

    void answersUnknownPathsAndMethods() {
        DevServerProcess server(root_->path(), path(QStringLiteral("db.sqlite")));
        QVERIFY2(server.start(), qPrintable(server.error()));
        const HttpAnswer unknown = server.get(QStringLiteral("/api/nothing"));
        QCOMPARE(unknown.status, 404);
        QVERIFY(unknown.json().contains(QStringLiteral("error")));
        const HttpAnswer wrong = server.post(QStringLiteral("/api/launcher/manifest"), "{}");
        QCOMPARE(wrong.status, 405);
        QCOMPARE(wrong.header("Allow"), QByteArray("GET, HEAD"));
    }
};

NIMBARA_TEST_MAIN(TestDevServer)
#include "tst_devserver.moc"
