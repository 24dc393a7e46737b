#include "catalog/decoding_error.h"
#include "catalog/manifest_coding.h"
#include "catalog/remote_manifest_client.h"
#include "loopback_server.h"
#include "network_test_support.h"
#include "support/catalog_samples.h"
#include "tst_network.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QScopeGuard>
#include <QSslConfiguration>
#include <QTest>

using namespace nimbara;
using namespace nimbara::test;
using namespace std::chrono_literals;

namespace {

const QString catalogPath = u"/api/launcher/manifest"_qs;

LauncherManifest sampleCatalog() {
    return catalogWith({publishedApp(u"notes"_qs), comingSoonApp(u"timer"_qs)});
}

QByteArray sampleCatalogJson() {
    return encodeLauncherManifestJson(sampleCatalog());
}

// The sample catalog whose first app has a status no catalog knows.
QByteArray catalogWithUnknownStatus() {
    QJsonObject document = encodeLauncherManifest(sampleCatalog());
    QJsonArray apps = document.value(u"apps"_qs).toArray();
    QJsonObject first = apps.at(0).toObject();
    first.insert(u"status"_qs, u"sunsetting"_qs);
    apps.replace(0, first);
    document.insert(u"apps"_qs, apps);
    return QJsonDocument(document).toJson();
}

enum class TransportFault {
    closedPort,
    noAnswer,
    truncatedBody,
    announcedTooLarge,
    streamedTooLarge
};

void answerBadly(TransportFault fault, QTcpSocket* socket) {
    constexpr qint64 tooLarge = maximumResponseBodySize + 1024 * 1024;
    switch (fault) {
    case TransportFault::closedPort:
    case TransportFault::noAnswer:
        return;
    case TransportFault::truncatedBody:
        socket->write("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n{\"generatedAt\":");
        socket->disconnectFromHost();
        return;
    case TransportFault::announcedTooLarge:
        socket->write("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(tooLarge) +
                      "\r\n\r\n{}");
        return;
    case TransportFault::streamedTooLarge:
        socket->write("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + QByteArray(tooLarge, ' '));
        socket->disconnectFromHost();
        return;
    }
}

} // namespace

void TestNetwork::loadsCatalogWithOneGet() {
    LoopbackServer server(LoopbackServer::answering(200, sampleCatalogJson()));
    RemoteManifestClient client(server.url(catalogPath + u"?channel=beta"_qs),
                                sharedNetworkAccessManager());

    const Outcome<LauncherManifest> polish = outcomeOf(client.loadManifest(NimbaraLocale::pl));
    QVERIFY(!polish.error);
    QCOMPARE(*polish.value, sampleCatalog());
    QCOMPARE(server.requests().size(), 1);
    const ReceivedRequest& request = server.requests().first();
    QCOMPARE(request.method, QHttpServerRequest::Method::Get);
    QCOMPARE(request.url.path(), catalogPath);
    QCOMPARE(request.url.query(), u"channel=beta&lang=pl"_qs);
    QVERIFY(request.body.isEmpty());
    QVERIFY(request.header("Content-Type").isNull());

    // Another language changes only the lang item of the next request.
    QVERIFY(!outcomeOf(client.loadManifest(NimbaraLocale::de)).error);
    QCOMPARE(server.requests().size(), 2);
    QCOMPARE(server.requests().last().url.query(), u"channel=beta&lang=de"_qs);
}

void TestNetwork::catalogAnswers_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("failure"); // "", "invalidResponse" or "decoding"
    QTest::addColumn<QString>("keyPath");

    QTest::newRow("200 catalog") << 200 << sampleCatalogJson() << QString() << QString();
    QTest::newRow("299 catalog") << 299 << sampleCatalogJson() << QString() << QString();
    QTest::newRow("204 without body") << 204 << QByteArray() << u"decoding"_qs << QString();
    QTest::newRow("304 reaching the client")
        << 304 << QByteArray() << u"invalidResponse"_qs << QString();
    QTest::newRow("404") << 404 << QByteArray("{}") << u"invalidResponse"_qs << QString();
    QTest::newRow("500 with a valid catalog")
        << 500 << sampleCatalogJson() << u"invalidResponse"_qs << QString();
    QTest::newRow("unknown status value")
        << 200 << catalogWithUnknownStatus() << u"decoding"_qs << u"apps[0].status"_qs;
    QTest::newRow("JSON of another shape")
        << 200 << QByteArray(R"({"generatedAt": 12})") << u"decoding"_qs << u"generatedAt"_qs;
    QByteArray garbage(10 * 1000 * 1000, '\0');
    for (qsizetype i = 0; i < garbage.size(); ++i)
        garbage[i] = char((i * 7919) % 251);
    QTest::newRow("10 MB of garbage") << 200 << garbage << u"decoding"_qs << QString();
}

void TestNetwork::catalogAnswers() {
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QString, failure);
    QFETCH(QString, keyPath);

    LoopbackServer server(LoopbackServer::answering(status, body));
    RemoteManifestClient client(server.url(catalogPath), sharedNetworkAccessManager());
    const Outcome<LauncherManifest> outcome = outcomeOf(client.loadManifest(NimbaraLocale::en));

    QCOMPARE(server.requests().size(), 1);
    if (failure.isEmpty()) {
        QVERIFY(!outcome.error);
        QCOMPARE(*outcome.value, sampleCatalog());
        return;
    }
    QVERIFY(!outcome.value);
    if (failure == u"invalidResponse"_qs) {
        const auto error = outcome.errorAs<ManifestClientError>();
        QVERIFY(error);
        QCOMPARE(error->kind(), ManifestClientError::Case::invalidResponse);
        QCOMPARE(error->rendering(), u"ManifestClientError.invalidResponse"_qs);
    } else {
        const auto error = outcome.errorAs<DecodingError>();
        QVERIFY2(error, "expected a decoding error");
        QCOMPARE(error->keyPath(), keyPath);
    }
}

void TestNetwork::catalogTransportFailures_data() {
    QTest::addColumn<TransportFault>("fault");
    QTest::addColumn<QString>("mentions"); // part of the error's description

    QTest::newRow("nothing listening") << TransportFault::closedPort << u"refused"_qs;
    QTest::newRow("no answer within the time-out") << TransportFault::noAnswer << u"0.3 s"_qs;
    QTest::newRow("body shorter than announced") << TransportFault::truncatedBody << QString();
    QTest::newRow("announced body too large")
        << TransportFault::announcedTooLarge << u"larger than 16 MiB"_qs;
    QTest::newRow("streamed body too large")
        << TransportFault::streamedTooLarge << u"larger than 16 MiB"_qs;
}

void TestNetwork::catalogTransportFailures() {
    QFETCH(TransportFault, fault);
    QFETCH(QString, mentions);

    LoopbackServer server(
        [fault](const ReceivedRequest&, QTcpSocket* socket) { answerBadly(fault, socket); });
    const QUrl endpoint = fault == TransportFault::closedPort
                              ? QUrl(u"http://127.0.0.1:%1%2"_qs.arg(closedPort()).arg(catalogPath))
                              : server.url(catalogPath);
    RemoteManifestClient client(endpoint, sharedNetworkAccessManager(), 300ms);
    const Outcome<LauncherManifest> outcome = outcomeOf(client.loadManifest(NimbaraLocale::en));

    QVERIFY(!outcome.value);
    const auto error = outcome.errorAs<NetworkError>();
    QVERIFY2(error, "expected a network error");
    QVERIFY(!error->description().isEmpty());
    QVERIFY2(error->description().contains(mentions, Qt::CaseInsensitive),
             qPrintable(error->description()));
}

void TestNetwork::followsPlainRedirect() {
    LoopbackServer server;
    server.setHandler([&](const ReceivedRequest& request, QTcpSocket* socket) {
        if (request.url.path() == u"/old"_qs)
            LoopbackServer::respond(socket, 302, {},
                                    {{"Location", server.url(catalogPath).toEncoded()}});
        else
            LoopbackServer::respond(socket, 200, sampleCatalogJson());
    });
    RemoteManifestClient client(server.url(u"/old"_qs), sharedNetworkAccessManager());
    const Outcome<LauncherManifest> outcome = outcomeOf(client.loadManifest(NimbaraLocale::en));

    QVERIFY(!outcome.error);
    QCOMPARE(*outcome.value, sampleCatalog());
    // Qt may resend a request on a fresh connection, so the requests are not counted: the
    // redirect was asked for first and the catalog last.
    QCOMPARE(server.requests().first().url.path(), u"/old"_qs);
    QCOMPARE(server.requests().last().url.path(), catalogPath);
}

void TestNetwork::refusesRedirectFromHttpsToHttp() {
    const TlsIdentity identity = makeLoopbackTlsIdentity();
    const QSslConfiguration original = QSslConfiguration::defaultConfiguration();
    QSslConfiguration trusting = original;
    trusting.addCaCertificate(identity.certificate);
    QSslConfiguration::setDefaultConfiguration(trusting);
    const auto restore = qScopeGuard([&] { QSslConfiguration::setDefaultConfiguration(original); });

    LoopbackServer plain(LoopbackServer::answering(200, sampleCatalogJson()));
    LoopbackServer secure(identity.certificate, identity.key, {});
    secure.setHandler([&](const ReceivedRequest& request, QTcpSocket* socket) {
        const QString path = request.url.path();
        if (path == u"/to-https"_qs)
            LoopbackServer::respond(socket, 302, {},
                                    {{"Location", secure.url(catalogPath).toEncoded()}});
        else if (path == u"/to-http"_qs)
            LoopbackServer::respond(socket, 302, {},
                                    {{"Location", plain.url(catalogPath).toEncoded()}});
        else
            LoopbackServer::respond(socket, 200, sampleCatalogJson());
    });

    // The TLS peer is trusted and a redirect that stays on https is followed ...
    RemoteManifestClient staying(secure.url(u"/to-https"_qs), sharedNetworkAccessManager());
    const Outcome<LauncherManifest> followed = outcomeOf(staying.loadManifest(NimbaraLocale::en));
    QVERIFY(!followed.error);
    QCOMPARE(*followed.value, sampleCatalog());

    // ... while one down to plain http is refused before anything reaches the http server.
    RemoteManifestClient leaving(secure.url(u"/to-http"_qs), sharedNetworkAccessManager());
    const Outcome<LauncherManifest> refused = outcomeOf(leaving.loadManifest(NimbaraLocale::en));
    QVERIFY(!refused.value);
    const auto error = refused.errorAs<NetworkError>();
    QVERIFY(error);
    QVERIFY2(error->description().contains(u"redirect"_qs, Qt::CaseInsensitive),
             qPrintable(error->description()));
    QCOMPARE(secure.requests().last().url.path(), u"/to-http"_qs);
    QVERIFY(plain.requests().isEmpty());
}

void TestNetwork::setsLanguageQueryItem_data() {
    QTest::addColumn<QString>("url");
    QTest::addColumn<NimbaraLocale>("locale");
    QTest::addColumn<QString>("expected");

    QTest::newRow("default endpoint")
        << u"http://127.0.0.1:3000/api/launcher/manifest"_qs << NimbaraLocale::pl
        << u"http://127.0.0.1:3000/api/launcher/manifest?lang=pl"_qs;
    QTest::newRow("lang moves behind the other items")
        << u"https://c.example/m?lang=de&channel=x"_qs << NimbaraLocale::pl
        << u"https://c.example/m?channel=x&lang=pl"_qs;
    QTest::newRow("every lang item goes")
        << u"https://c.example/m?lang=en&a=1&lang=de"_qs << NimbaraLocale::de
        << u"https://c.example/m?a=1&lang=de"_qs;
    QTest::newRow("names match exactly")
        << u"https://c.example/m?Lang=x&langs=y"_qs << NimbaraLocale::en
        << u"https://c.example/m?Lang=x&langs=y&lang=en"_qs;
    QTest::newRow("other values keep their bytes")
        << u"https://c.example/m?q=a%26b&s=1+2&e="_qs << NimbaraLocale::pl
        << u"https://c.example/m?q=a%26b&s=1+2&e=&lang=pl"_qs;
    QTest::newRow("fragment stays") << u"https://c.example/m?lang=pl#top"_qs << NimbaraLocale::en
                                    << u"https://c.example/m?lang=en#top"_qs;
}

void TestNetwork::setsLanguageQueryItem() {
    QFETCH(QString, url);
    QFETCH(NimbaraLocale, locale);
    QFETCH(QString, expected);

    QCOMPARE(withNimbaraLocale(QUrl(url), locale).toString(QUrl::FullyEncoded), expected);
}
