#include "tst_network.h"

#include "catalog/remote_manifest_client.h"
#include "network_test_support.h"
#include "services/network_session.h"
#include "services/remote_feedback_client.h"
#include "support/temp_home.h"

#include <QDir>
#include <QNetworkDiskCache>
#include <QTest>

using namespace nimbara;
using namespace nimbara::test;

NIMBARA_TEST_MAIN(TestNetwork)

void TestNetwork::sharedManagerIsConfiguredOnce() {
    QNetworkAccessManager& manager = sharedNetworkAccessManager();
    QCOMPARE(&sharedNetworkAccessManager(), &manager);
    QCOMPARE(manager.transferTimeout(), 60'000);
    QCOMPARE(manager.redirectPolicy(), QNetworkRequest::NoLessSafeRedirectPolicy);
    const auto* cache = qobject_cast<QNetworkDiskCache*>(manager.cache());
    QVERIFY(cache);
    // Inside the test's own home: $XDG_CACHE_HOME/nimbara/http.
    QCOMPARE(QDir(cache->cacheDirectory()).absolutePath(),
             QDir(qEnvironmentVariable("XDG_CACHE_HOME") + u"/nimbara/http"_qs).absolutePath());
}

void TestNetwork::configuredURLResolution_data() {
    QTest::addColumn<bool>("catalog"); // else the service base URL
    QTest::addColumn<std::optional<QByteArray>>("environment");
    QTest::addColumn<QVariant>("plist"); // invalid: key absent
    QTest::addColumn<QString>("expected");

    const std::optional<QByteArray> unset;
    const QString catalogDefault = u"http://127.0.0.1:3000/api/launcher/manifest"_qs;
    const QString apiDefault = u"http://127.0.0.1:3000"_qs;
    const QVariant plistURL(u"https://plist.example/catalog"_qs);

    QTest::newRow("catalog: environment wins over plist")
        << true << std::optional<QByteArray>("https://env.example/c?x=1") << plistURL
        << u"https://env.example/c?x=1"_qs;
    QTest::newRow("catalog: empty environment, no plist")
        << true << std::optional<QByteArray>("") << QVariant() << catalogDefault;
    QTest::newRow("catalog: empty environment falls to plist")
        << true << std::optional<QByteArray>("") << plistURL << plistURL.toString();
    QTest::newRow("catalog: unparsable environment falls to plist")
        << true << std::optional<QByteArray>("not a url") << plistURL << plistURL.toString();
    QTest::newRow("catalog: environment is not trimmed")
        << true << std::optional<QByteArray>(" https://env.example/c") << QVariant()
        << catalogDefault;
    QTest::newRow("catalog: plist number") << true << unset << QVariant(42) << catalogDefault;
    QTest::newRow("catalog: plist empty string")
        << true << unset << QVariant(QString()) << catalogDefault;
    QTest::newRow("catalog: plist string") << true << unset << plistURL << plistURL.toString();
    QTest::newRow("api: environment wins over plist")
        << false << std::optional<QByteArray>("http://10.0.0.2:8080/svc") << plistURL
        << u"http://10.0.0.2:8080/svc"_qs;
    QTest::newRow("api: plist string") << false << unset << plistURL << plistURL.toString();
    QTest::newRow("api: plist Boolean") << false << unset << QVariant(true) << apiDefault;
    QTest::newRow("api: nothing configured") << false << unset << QVariant() << apiDefault;
}

void TestNetwork::configuredURLResolution() {
    QFETCH(bool, catalog);
    QFETCH(std::optional<QByteArray>, environment);
    QFETCH(QVariant, plist);
    QFETCH(QString, expected);

    const char* variable = catalog ? "NIMBARA_MANIFEST_URL" : "NIMBARA_API_URL";
    const QString key = catalog ? u"NimbaraManifestURL"_qs : u"NimbaraAPIURL"_qs;
    const ScopedEnvironment setting(variable, environment);
    QVariantMap info{{u"CFBundleShortVersionString"_qs, u"1.0"_qs}};
    if (plist.isValid())
        info.insert(key, plist);
    const FakeMainBundle bundle(info);

    const QUrl resolved = catalog ? RemoteManifestClient::defaultEndpoint(&bundle)
                                  : RemoteFeedbackClient::defaultBaseURL(&bundle);
    QCOMPARE(resolved.toString(), expected);
    if (!plist.isValid()) {
        const QUrl withoutBundle = catalog ? RemoteManifestClient::defaultEndpoint(nullptr)
                                           : RemoteFeedbackClient::defaultBaseURL(nullptr);
        QCOMPARE(withoutBundle.toString(), expected);
    }
}

void TestNetwork::serviceURLJoinsPaths_data() {
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");

    QTest::newRow("no base path") << u"http://127.0.0.1:3000"_qs << u"/api/feedback"_qs
                                  << u"http://127.0.0.1:3000/api/feedback"_qs;
    QTest::newRow("trailing slash") << u"http://127.0.0.1:3000/"_qs << u"/api/feedback"_qs
                                    << u"http://127.0.0.1:3000/api/feedback"_qs;
    QTest::newRow("prefix with slash") << u"https://h.example/svc/"_qs << u"/api/feedback"_qs
                                       << u"https://h.example/svc/api/feedback"_qs;
    QTest::newRow("prefix without slash") << u"https://h.example/svc"_qs << u"api/feedback/"_qs
                                          << u"https://h.example/svc/api/feedback"_qs;
    QTest::newRow("repeated slashes") << u"https://h.example//svc//"_qs << u"//api/events"_qs
                                      << u"https://h.example/svc/api/events"_qs;
    QTest::newRow("query of the base kept")
        << u"https://h.example/svc?k=v"_qs << u"/api"_qs << u"https://h.example/svc/api?k=v"_qs;
    QTest::newRow("nothing to join")
        << u"https://h.example"_qs << QString() << u"https://h.example/"_qs;
}

void TestNetwork::serviceURLJoinsPaths() {
    QFETCH(QString, base);
    QFETCH(QString, path);
    QFETCH(QString, expected);

    QCOMPARE(serviceURL(QUrl(base), path).toString(), expected);
    // The feedback client builds its endpoints the same way.
    QNetworkAccessManager session;
    QCOMPARE(RemoteFeedbackClient(QUrl(base), session).url(path).toString(), expected);
}
