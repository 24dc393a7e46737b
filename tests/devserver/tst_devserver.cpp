#include "catalog/manifest_coding.h"
#include "support/catalog_samples.h"
#include "support/dev_server_process.h"
#include "support/temp_home.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using nimbara::test::DevServerProcess;
using nimbara::test::HttpAnswer;
using nimbara::test::statusOf;

namespace {

QByteArray catalogListing(const QString& appId) {
    return nimbara::encodeLauncherManifestJson(
        nimbara::test::catalogWith({nimbara::test::publishedApp(appId)}));
}

QJsonObject feedback(const QString& requestId, const QString& title) {
    return {{u"clientRequestId"_s, requestId},
            {u"type"_s, u"bug"_s},
            {u"title"_s, title},
            {u"description"_s, u"Steps"_s},
            {u"appId"_s, u"alpha"_s},
            {u"diagnostics"_s, QJsonObject{{u"locale"_s, u"pl"_s}}}};
}

QByteArray json(const QJsonObject& object) {
    return QJsonDocument(object).toJson();
}

QByteArray postHead(const QByteArray& path, const QByteArray& headers) {
    return "POST " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + headers + "\r\n";
}

// What follows the head of a raw answer.
QByteArray bodyOf(const QByteArray& answer) {
    const qsizetype end = answer.indexOf("\r\n\r\n");
    return end < 0 ? QByteArray() : answer.mid(end + 4);
}

constexpr int kGuardMs = 60000; // against a hung server only

} // namespace

// The development server as a separate process, spoken to over loopback HTTP.
class TestDevServer : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> root_;
    std::unique_ptr<DevServerProcess> server_; // serving root_, started for every case

    QString path(const QString& name) const { return QDir(root_->path()).filePath(name); }
    void write(const QString& name, const QByteArray& bytes) const {
        QDir().mkpath(QFileInfo(path(name)).path());
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(bytes), bytes.size());
    }
    QJsonArray listed(const QString& pathAndQuery, const QString& key) const {
        return server_->get(pathAndQuery).json().value(key).toArray();
    }

private Q_SLOTS:
    void init() {
        root_ = std::make_unique<QTemporaryDir>();
        server_ = std::make_unique<DevServerProcess>(root_->path(), path(u"db.sqlite"_s));
        QVERIFY2(server_->start(), qPrintable(server_->error()));
    }

    void servesCatalogByLanguage() {
        const QString endpoint = u"/api/launcher/manifest"_s;
        write(u"catalog.json"_s, catalogListing(u"alpha"_s));
        write(u"catalog.pl.json"_s, catalogListing(u"beta"_s));
        write(u"catalog.de.json"_s, "{\"apps\": \"not a catalog\"}");
        const HttpAnswer plain = server_->get(endpoint);
        QCOMPARE(plain.status, 200);
        QCOMPARE(plain.body, catalogListing(u"alpha"_s));
        QCOMPARE(plain.header("Content-Type"), QByteArray("application/json"));
        QCOMPARE(server_->get(endpoint + u"?lang=pl"_s).body, catalogListing(u"beta"_s));
        // Served even though the launcher would reject it: tests use broken catalogs.
        QCOMPARE(server_->get(endpoint + u"?lang=de"_s).body,
                 QByteArray("{\"apps\": \"not a catalog\"}"));
        for (const QString& lang : {u"fr"_s, u"PL"_s, u"..%2Fcatalog"_s})
            QCOMPARE(server_->get(endpoint + u"?lang="_s + lang).body, plain.body);

        const QByteArray etag = plain.header("ETag");
        QVERIFY(!etag.isEmpty());
        QCOMPARE(server_->get(endpoint, {{"If-None-Match", etag}}).status, 304);

        write(u"catalog.json"_s, catalogListing(u"gamma"_s));
        const HttpAnswer changed = server_->get(endpoint, {{"If-None-Match", etag}});
        QCOMPARE(changed.status, 200);
        QCOMPARE(changed.body, catalogListing(u"gamma"_s));
        QVERIFY(changed.header("ETag") != etag);

        QVERIFY(QFile::remove(path(u"catalog.json"_s)));
        const HttpAnswer missing = server_->get(endpoint + u"?lang=fr"_s);
        QCOMPARE(missing.status, 404);
        QVERIFY(!missing.json().value(u"error"_s).toString().isEmpty());
    }

    void servesDownloadsInsideTheirFolderOnly() {
        write(u"catalog.json"_s, "secret");
        write(u"downloads/Alpha-1.0.0.zip"_s, "PK\x03\x04zip");
        write(u"downloads/notes/readme.txt"_s, "text");
        QVERIFY(QFile::link(path(u"catalog.json"_s), path(u"downloads/link.zip"_s)));

        const HttpAnswer zip = server_->get(u"/downloads/Alpha-1.0.0.zip"_s);
        QCOMPARE(zip.status, 200);
        QCOMPARE(zip.body, QByteArray("PK\x03\x04zip"));
        QCOMPARE(zip.header("Content-Type"), QByteArray("application/zip"));
        for (const char* target :
             {"/downloads/../catalog.json", "/downloads/..%2Fcatalog.json",
              "/downloads/%2e%2e/catalog.json", "/downloads/notes/..%5C..%5Ccatalog.json",
              "/downloads/notes/../Alpha-1.0.0.zip", "/downloads/%2Fetc%2Fpasswd",
              "/downloads/link.zip", "/downloads/missing.zip", "/downloads/notes"})
            QCOMPARE(server_->rawGetStatus(target), 404);
        QCOMPARE(server_->rawGetStatus("/downloads/notes/readme.txt"), 200);

        write(u"appcast.xml"_s, "<rss/>");
        QCOMPARE(server_->get(u"/appcast.xml"_s).body, QByteArray("<rss/>"));
    }

    void feedbackIsNumberedAcrossRestarts() {
        const HttpAnswer first = server_->post(u"/api/feedback"_s, json(feedback(u"A"_s, u"One"_s)),
                                               {{"X-Nimbara-Locale", "pl"}});
        QCOMPARE(first.status, 201);
        const QJsonObject issue = first.json().value(u"issue"_s).toObject();
        QCOMPARE(issue, (QJsonObject{{u"id"_s, u"1"_s},
                                     {u"identifier"_s, u"FB-1"_s},
                                     {u"url"_s, server_->url(u"/feedback/FB-1"_s).toString()}}));
        // The same client request id is answered with the same issue.
        const HttpAnswer repeated =
            server_->post(u"/api/feedback"_s, json(feedback(u"A"_s, u"One"_s)));
        QCOMPARE(repeated.status, 200);
        QCOMPARE(repeated.json().value(u"issue"_s).toObject(), issue);
        QCOMPARE(server_->post(u"/api/feedback"_s, json(feedback(u"B"_s, u"Two"_s))).status, 201);

        server_ = std::make_unique<DevServerProcess>(root_->path(), path(u"db.sqlite"_s));
        QVERIFY2(server_->start(), qPrintable(server_->error()));
        const QJsonArray reports = listed(u"/api/feedback"_s, u"reports"_s);
        QCOMPARE(reports.size(), 2);
        QCOMPARE(reports.at(0)[u"title"_s].toString(), u"One"_s);
        QCOMPARE(reports.at(0)[u"locale"_s].toString(), u"pl"_s); // from the request header
        QCOMPARE(reports.at(1)[u"identifier"_s].toString(), u"FB-2"_s);

        const HttpAnswer third =
            server_->post(u"/api/feedback"_s, json(feedback(u"C"_s, u"Three"_s)));
        QCOMPARE(third.json()[u"issue"_s][u"identifier"_s].toString(), u"FB-3"_s);
        QCOMPARE(server_->get(u"/feedback/FB-3"_s).json().value(u"title"_s),
                 QJsonValue(u"Three"_s));
    }

    void rejectsMalformedFeedback_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("named"); // what the error mentions
        const auto with = [](const char* key, const QJsonValue& value) {
            QJsonObject changed = feedback(u"X"_s, u"T"_s);
            changed.insert(QLatin1StringView(key), value);
            return json(changed);
        };
        QTest::newRow("not JSON") << QByteArray("title=hello") << u"JSON"_s;
        QTest::newRow("blank title") << with("title", u"  "_s) << u"title"_s;
        QTest::newRow("unknown type") << with("type", u"Bug"_s) << u"type"_s;
        QTest::newRow("diagnostics text") << with("diagnostics", u"x"_s) << u"diagnostics"_s;
    }

    void rejectsMalformedFeedback() {
        QFETCH(QByteArray, body);
        QFETCH(QString, named);
        const HttpAnswer answer = server_->post(u"/api/feedback"_s, body);
        QCOMPARE(answer.status, 400);
        const QString error = answer.json().value(u"error"_s).toString();
        QVERIFY2(error.contains(named), qPrintable(error));
        QVERIFY(listed(u"/api/feedback"_s, u"reports"_s).isEmpty());
    }

    void storesOperationalEvents() {
        const QString endpoint = u"/api/launcher/events"_s;
        const QByteArray failed =
            R"({"eventType": "install_failed", "appSlug": "alpha", "status": "failed", )"
            R"("reason": "x"})";
        QCOMPARE(server_->post(endpoint, failed).status, 202);
        QCOMPARE(server_->post(endpoint, R"({"eventType": "install_started"})").status, 400);
        QCOMPARE(
            server_->post(endpoint, R"({"eventType": "x", "status": "y", "appSlug": 3})").status,
            400);
        const QJsonArray events = listed(endpoint, u"events"_s);
        QCOMPARE(events.size(), 1);
        QCOMPARE(events.at(0)[u"reason"_s].toString(), u"x"_s);
    }

    void errorStoreRequiresAuthentication() {
        const QString endpoint = u"/api/42/store/"_s;
        const QByteArray event =
            R"({"event_id": "0123456789abcdef0123456789abcdef", "level": "error"})";
        QCOMPARE(server_->post(endpoint, event).status, 401);
        for (const char* auth :
             {"Bearer sentry_version=7, sentry_key=pk", "Sentry sentry_version=6, sentry_key=pk",
              "Sentry sentry_version=7, sentry_key=", "Sentry sentry_version=7"})
            QCOMPARE(server_->post(endpoint, event, {{"X-Sentry-Auth", auth}}).status, 401);
        const QByteArray good =
            "Sentry sentry_version=7, sentry_client=nimbara-launcher/0.1.0, sentry_key=pk";
        QCOMPARE(server_->post(endpoint, R"({"level": "error"})", {{"X-Sentry-Auth", good}}).status,
                 400);
        const HttpAnswer stored = server_->post(endpoint, event, {{"X-Sentry-Auth", good}});
        QCOMPARE(stored.status, 200);
        QCOMPARE(stored.json().value(u"id"_s).toString(), u"0123456789abcdef0123456789abcdef"_s);

        const QJsonArray events = listed(endpoint, u"events"_s);
        QCOMPARE(events.size(), 1);
        QCOMPARE(events.at(0)[u"publicKey"_s].toString(), u"pk"_s);
        QCOMPARE(events.at(0)[u"event"_s][u"level"_s].toString(), u"error"_s);
        QVERIFY(listed(u"/api/7/store/"_s, u"events"_s).isEmpty());
    }

    // A hostile head is answered from the head alone, before any body arrives (none is sent
    // here), and the connection is closed; what was stored before stays.
    void refusesBodiesBeforeReadingThem_data() {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("status");
        const QByteArray gigabyte = "Content-Length: 1073741824\r\n";
        QTest::newRow("report too large") << postHead("/api/feedback", gigabyte) << 413;
        QTest::newRow("no authentication") << postHead("/api/42/store/", gigabyte) << 401;
        QTest::newRow("unknown path") << postHead("/api/nothing", gigabyte) << 404;
        QTest::newRow("GET-only path") << postHead("/api/launcher/manifest", gigabyte) << 405;
        QTest::newRow("body on a GET") << "GET /api/feedback HTTP/1.1\r\n" + gigabyte + "\r\n"
                                       << 413;
        QTest::newRow("no length") << postHead("/api/launcher/events", {}) << 411;
        QTest::newRow("chunked") << postHead("/api/feedback", "Transfer-Encoding: chunked\r\n")
                                 << 411;
        QTest::newRow("bad length") << postHead("/api/feedback", "Content-Length: -1\r\n") << 400;
        QTest::newRow("endless head") << "GET / HTTP/1.1\r\nX: " + QByteArray(70000, 'a') << 431;
    }

    void refusesBodiesBeforeReadingThem() {
        QFETCH(QByteArray, request);
        QFETCH(int, status);
        QCOMPARE(server_->post(u"/api/feedback"_s, json(feedback(u"A"_s, u"Kept"_s))).status, 201);
        const QByteArray answer = server_->exchange(request);
        QCOMPARE(statusOf(answer), status);
        QVERIFY(answer.contains("Connection: close"));
        QCOMPARE(answer.contains("\r\nAllow: GET, HEAD\r\n"), status == 405);
        QVERIFY(QJsonDocument::fromJson(bodyOf(answer)).object().contains(u"error"_s));
        const QJsonArray reports = listed(u"/api/feedback"_s, u"reports"_s);
        QCOMPARE(reports.size(), 1);
        QCOMPARE(reports.at(0)[u"title"_s].toString(), u"Kept"_s);
    }

    // Sent whole by a real client: a report of exactly the limit is taken, one byte more is
    // refused and the client still gets the answer.
    void takesReportsUpToTheLimit() {
        QJsonObject report = feedback(u"A"_s, u"Big"_s);
        const qsizetype overhead = json(report).size() - QByteArray("Steps").size();
        report[u"description"_s] = QString(1024 * 1024 - overhead, u'x');
        QCOMPARE(json(report).size(), 1024 * 1024);
        QCOMPARE(server_->post(u"/api/feedback"_s, json(report)).status, 201);
        report[u"clientRequestId"_s] = u"B"_s;
        report[u"description"_s] = report[u"description"_s].toString() + u'x';
        QCOMPARE(server_->post(u"/api/feedback"_s, json(report)).status, 413);
        QCOMPARE(listed(u"/api/feedback"_s, u"reports"_s).size(), 1);
    }

    void streamsDownloads() {
        QByteArray bytes(3 * 1024 * 1024 + 17, Qt::Uninitialized);
        for (qsizetype i = 0; i < bytes.size(); ++i)
            bytes[i] = char(i * 7 % 251);
        write(u"downloads/Big-1.0.zip"_s, bytes);
        const HttpAnswer got = server_->get(u"/downloads/Big-1.0.zip"_s);
        QCOMPARE(got.status, 200);
        QCOMPARE(got.header("Content-Length"), QByteArray::number(bytes.size()));
        QVERIFY(got.body == bytes);

        // Two requests in one write (with a stray blank line between): the second is answered
        // after the first file. Then HEAD announces the length and sends nothing more.
        const QByteArray get = "GET /downloads/Big-1.0.zip HTTP/1.1\r\nHost: h\r\n";
        const QByteArray twice =
            server_->exchange(get + "\r\n\r\n" + get + "Connection: close\r\n\r\n");
        const QByteArray second = bodyOf(twice).mid(bytes.size());
        QVERIFY(bodyOf(twice).left(bytes.size()) == bytes);
        QCOMPARE(statusOf(second), 200);
        QVERIFY(bodyOf(second) == bytes);
        const QByteArray head =
            server_->exchange("HEAD /downloads/Big-1.0.zip HTTP/1.1\r\nConnection: close\r\n\r\n");
        QCOMPARE(statusOf(head), 200);
        QVERIFY(head.contains("Content-Length: " + QByteArray::number(bytes.size()) + "\r\n"));
        QCOMPARE(bodyOf(head), QByteArray());
    }

    // A paced download arrives whole, no faster than its rate, and waiting for the next share
    // is not mistaken for silence by the idle timer.
    void pacesDownloads() {
        QByteArray bytes(300 * 1000, Qt::Uninitialized);
        for (qsizetype i = 0; i < bytes.size(); ++i)
            bytes[i] = char(i * 13 % 251);
        write(u"downloads/Slow-1.0.zip"_s, bytes);
        server_ = std::make_unique<DevServerProcess>(
            root_->path(), path(u"db.sqlite"_s),
            QStringList{u"--download-rate"_s, u"200000"_s, u"--idle-timeout"_s, u"0.5"_s});
        QVERIFY2(server_->start(), qPrintable(server_->error()));
        QTcpSocket socket;
        socket.connectToHost(u"127.0.0.1"_s, server_->url({}).port());
        QVERIFY(socket.waitForConnected(kGuardMs));
        socket.write("GET /downloads/Slow-1.0.zip HTTP/1.1\r\nConnection: close\r\n\r\n");
        QElapsedTimer clock;
        clock.start();
        QByteArray received;
        while (clock.elapsed() < 500 && socket.waitForReadyRead(100))
            received += socket.readAll();
        QVERIFY2(bodyOf(received).size() < bytes.size() / 2,
                 qPrintable(u"%1 bytes after half a second"_s.arg(bodyOf(received).size())));
        while (socket.state() == QAbstractSocket::ConnectedState &&
               socket.waitForReadyRead(kGuardMs))
            received += socket.readAll();
        QCOMPARE(statusOf(received), 200);
        QVERIFY(bodyOf(received) == bytes);
    }

    void closesIdleConnections_data() {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<int>("status"); // of the answer read before going silent; 0: none
        QTest::newRow("silent") << QByteArray() << 0;
        QTest::newRow("half a head") << QByteArray("GET /api/feedback HTTP/1.1\r\nHo") << 0;
        QTest::newRow("half a body")
            << postHead("/api/feedback", "Content-Length: 10\r\n") + "{" << 0;
        QTest::newRow("after an answer") << QByteArray("GET /api/feedback HTTP/1.1\r\n\r\n") << 200;
    }

    void closesIdleConnections() {
        QFETCH(QByteArray, sent);
        QFETCH(int, status);
        server_ = std::make_unique<DevServerProcess>(root_->path(), path(u"db.sqlite"_s),
                                                     QStringList{u"--idle-timeout"_s, u"0.5"_s});
        QVERIFY2(server_->start(), qPrintable(server_->error()));
        QTcpSocket socket;
        socket.connectToHost(u"127.0.0.1"_s, server_->url({}).port());
        QVERIFY(socket.waitForConnected(kGuardMs));
        socket.write(sent);
        QByteArray received;
        while (socket.state() == QAbstractSocket::ConnectedState &&
               socket.waitForReadyRead(kGuardMs))
            received += socket.readAll();
        QCOMPARE(socket.state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(statusOf(received), status);
        QCOMPARE(server_->get(u"/api/feedback"_s).status, 200);
    }

    // Idle clients holding every descriptor the server may open: it pauses accepting instead
    // of failing in a loop, and answers again once the idle ones are closed.
    void answersAgainAfterRunningOutOfDescriptors() {
        server_ = std::make_unique<DevServerProcess>(root_->path(), path(u"db.sqlite"_s),
                                                     QStringList{u"--idle-timeout"_s, u"1"_s});
        server_->limitDescriptors(64);
        server_->captureLog();
        QVERIFY2(server_->start(), qPrintable(server_->error()));
        std::vector<std::unique_ptr<QTcpSocket>> idle;
        for (int i = 0; i < 120; ++i) {
            idle.push_back(std::make_unique<QTcpSocket>());
            idle.back()->connectToHost(u"127.0.0.1"_s, server_->url({}).port());
        }
        // All of them wait in the server's queue before the request that must get through.
        for (const auto& socket : idle)
            QVERIFY(socket->waitForConnected(kGuardMs));
        QCOMPARE(server_->get(u"/api/feedback"_s).status, 200);
        QVERIFY2(server_->log().contains("cannot accept connections"), server_->log().constData());
    }

    void storesParallelReportsExactlyOnce() {
        constexpr int count = 500;
        std::vector<std::unique_ptr<QTcpSocket>> sockets;
        std::vector<QByteArray> answers(count);
        int closed = 0;
        for (int i = 0; i < count; ++i) {
            const QByteArray body = "{\"eventType\": \"e\", \"status\": \"ok\", \"reason\": \"r" +
                                    QByteArray::number(i) + "\"}";
            auto socket = std::make_unique<QTcpSocket>();
            QTcpSocket* raw = socket.get();
            connect(raw, &QTcpSocket::connected, raw, [raw, body] {
                raw->write(
                    postHead("/api/launcher/events", "Connection: close\r\nContent-Length: " +
                                                         QByteArray::number(body.size()) + "\r\n") +
                    body);
            });
            connect(raw, &QTcpSocket::readyRead, raw,
                    [raw, &answers, i] { answers[i] += raw->readAll(); });
            connect(raw, &QTcpSocket::disconnected, raw, [&closed] { ++closed; });
            raw->connectToHost(u"127.0.0.1"_s, server_->url({}).port());
            sockets.push_back(std::move(socket));
        }
        QTRY_COMPARE_WITH_TIMEOUT(closed, count, 2 * kGuardMs);
        QSet<QString> reasons;
        for (const QByteArray& answer : answers)
            QCOMPARE(statusOf(answer), 202);
        const QJsonArray events = listed(u"/api/launcher/events"_s, u"events"_s);
        for (const QJsonValue& event : events)
            reasons.insert(event[u"reason"_s].toString());
        QCOMPARE(events.size(), count);
        QCOMPARE(reasons.size(), count);
        QVERIFY(QFile::exists(path(u"db.sqlite-wal"_s)));
    }
};

NIMBARA_TEST_MAIN(TestDevServer)
#include "tst_devserver.moc"
