#include "catalog/manifest_policy.h"
#include "support/catalog_samples.h"
#include "support/temp_home.h"

#include <QTest>

using namespace nimbara;
using namespace nimbara::test;
using K = CatalogLifecycleKind;

Q_DECLARE_METATYPE(nimbara::AppManifestItem)
Q_DECLARE_METATYPE(nimbara::CatalogLifecycleKind)

namespace {

QStringList ids(const QList<AppManifestItem>& apps) {
    QStringList result;
    for (const AppManifestItem& app : apps) {
        result << app.id;
    }
    return result;
}

// Checks the invariants every lifecycle must keep, whatever the catalog.
void verifyInvariants(const CatalogLifecycle& lifecycle) {
    const bool featuredKind =
        lifecycle.kind == K::firstPublishedApp || lifecycle.kind == K::multiAppCatalog;
    QCOMPARE(lifecycle.featuredApp.has_value(), featuredKind);
    if (featuredKind) {
        QCOMPARE(*lifecycle.featuredApp, lifecycle.publishedApps.first());
    }
    QCOMPARE(lifecycle.kind == K::firstPublishedApp, lifecycle.publishedApps.size() == 1);
    QCOMPARE(lifecycle.kind == K::multiAppCatalog, lifecycle.publishedApps.size() >= 2);
    if (lifecycle.kind == K::empty) {
        QVERIFY(lifecycle.publishedApps.isEmpty());
        QVERIFY(lifecycle.comingSoonApps.isEmpty());
    }
}

} // namespace

class TestPolicy : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void publishedRelease_data();
    void publishedRelease();
    void minimumSystemVersion_data();
    void minimumSystemVersion();
    void visibility();
    void lifecycle_data();
    void lifecycle();
    void lifecycleKindNames();
    void unseenAnnouncements();
};

void TestPolicy::publishedRelease_data() {
    QTest::addColumn<AppManifestItem>("app");
    QTest::addColumn<bool>("published");

    const AppManifestItem base = publishedApp(u"notes"_qs);
    const auto with = [&](auto change) {
        AppManifestItem app = base;
        change(app);
        return app;
    };
    QTest::newRow("complete live") << base << true;
    QTest::newRow("complete beta") << publishedApp(u"b"_qs, AppReleaseStatus::beta) << true;
    QTest::newRow("coming soon with download")
        << with([](auto& a) { a.status = AppReleaseStatus::comingSoon; }) << false;
    QTest::newRow("retired") << with([](auto& a) { a.status = AppReleaseStatus::retired; })
                             << false;
    QTest::newRow("no download") << with([](auto& a) { a.downloadUrl.reset(); }) << false;
    QTest::newRow("no digest") << with([](auto& a) { a.sha256.reset(); }) << false;
    QTest::newRow("63 digits") << with([](auto& a) { a.sha256 = QString(63, u'a'); }) << false;
    QTest::newRow("65 digits") << with([](auto& a) { a.sha256 = QString(65, u'a'); }) << false;
    QTest::newRow("letter g") << with([](auto& a) { a.sha256 = QString(63, u'a') + u'g'; })
                              << false;
    QTest::newRow("mixed case hex")
        << with([](auto& a) { a.sha256 = QString(32, u'F') + QString(32, u'0'); }) << true;
    QTest::newRow("non-ascii digit")
        << with([](auto& a) { a.sha256 = QString(63, u'a') + QChar(0x0663); }) << false;
    QTest::newRow("blank version") << with([](auto& a) { a.version = u"   "_qs; }) << false;
    QTest::newRow("line-break version") << with([](auto& a) { a.version = u"\n\t"_qs; }) << false;
    QTest::newRow("bad minimum system") << with([](auto& a) { a.minMacOS = u"14.x"_qs; }) << false;
    QTest::newRow("http download is fine here")
        << with([](auto& a) { a.downloadUrl = QUrl(u"http://x.test/a.zip"_qs); }) << true;
    QTest::newRow("privacy note not examined")
        << with([](auto& a) { a.privacyNote.clear(); }) << true;
}

void TestPolicy::publishedRelease() {
    QFETCH(AppManifestItem, app);
    QFETCH(bool, published);
    QCOMPARE(ManifestPolicy::hasPublishedRelease(app), published);
}

void TestPolicy::minimumSystemVersion_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<qint64>("major");
    QTest::addColumn<qint64>("minor");
    QTest::addColumn<qint64>("patch");
    QTest::newRow("14") << u"14"_qs << true << 14LL << 0LL << 0LL;
    QTest::newRow("13.5") << u"13.5"_qs << true << 13LL << 5LL << 0LL;
    QTest::newRow("14.2.1") << u"14.2.1"_qs << true << 14LL << 2LL << 1LL;
    QTest::newRow("spaces around") << u"  14 \n"_qs << true << 14LL << 0LL << 0LL;
    QTest::newRow("doubled dot") << u"14..1"_qs << true << 14LL << 1LL << 0LL;
    QTest::newRow("leading and trailing dots") << u".14.1."_qs << true << 14LL << 1LL << 0LL;
    QTest::newRow("signs") << u"+14.-1"_qs << true << 14LL << -1LL << 0LL;
    QTest::newRow("14.x") << u"14.x"_qs << false << 0LL << 0LL << 0LL;
    QTest::newRow("four pieces") << u"14.0.0.1"_qs << false << 0LL << 0LL << 0LL;
    QTest::newRow("empty") << QString() << false << 0LL << 0LL << 0LL;
    QTest::newRow("lone dot") << u"."_qs << false << 0LL << 0LL << 0LL;
    QTest::newRow("inner blank") << u"14. 1"_qs << false << 0LL << 0LL << 0LL;
    QTest::newRow("sign only") << u"14.+"_qs << false << 0LL << 0LL << 0LL;
    QTest::newRow("overflow") << u"99999999999999999999"_qs << false << 0LL << 0LL << 0LL;
}

void TestPolicy::minimumSystemVersion() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    const std::optional<OperatingSystemVersion> version = ManifestPolicy::macOSVersion(text);
    QCOMPARE(version.has_value(), valid);
    if (valid) {
        QFETCH(qint64, major);
        QFETCH(qint64, minor);
        QFETCH(qint64, patch);
        QCOMPARE(*version, (OperatingSystemVersion{major, minor, patch}));
    }
}

void TestPolicy::visibility() {
    const LauncherManifest catalog =
        catalogWith({publishedApp(u"live"_qs), publishedApp(u"beta"_qs, AppReleaseStatus::beta),
                     comingSoonApp(u"soon"_qs), publishedApp(u"old"_qs, AppReleaseStatus::retired),
                     comingSoonApp(u"later"_qs)});
    QCOMPARE(ids(ManifestPolicy::visibleApps(catalog, true)),
             (QStringList{u"live"_qs, u"beta"_qs, u"soon"_qs, u"later"_qs}));
    QCOMPARE(ids(ManifestPolicy::visibleApps(catalog, false)),
             (QStringList{u"live"_qs, u"soon"_qs, u"later"_qs}));
    QCOMPARE(ids(ManifestPolicy::publishedApps(catalog, true)),
             (QStringList{u"live"_qs, u"beta"_qs}));
    QCOMPARE(ids(ManifestPolicy::publishedApps(catalog, false)), QStringList{u"live"_qs});
    // Previews are listed whatever the flag.
    QCOMPARE(ids(ManifestPolicy::comingSoonApps(catalog)), (QStringList{u"soon"_qs, u"later"_qs}));
}

void TestPolicy::lifecycle_data() {
    QTest::addColumn<QList<AppManifestItem>>("apps");
    QTest::addColumn<bool>("includeBeta");
    QTest::addColumn<CatalogLifecycleKind>("kind");
    QTest::addColumn<QStringList>("published");
    QTest::addColumn<QStringList>("comingSoon");

    const auto beta = publishedApp(u"b"_qs, AppReleaseStatus::beta);
    auto betaWithoutDownload = beta;
    betaWithoutDownload.downloadUrl.reset();
    QTest::newRow("no apps") << QList<AppManifestItem>{} << true << K::empty << QStringList{}
                             << QStringList{};
    QTest::newRow("only retired") << QList{publishedApp(u"r"_qs, AppReleaseStatus::retired)} << true
                                  << K::empty << QStringList{} << QStringList{};
    QTest::newRow("beta hidden") << QList{beta} << false << K::empty << QStringList{}
                                 << QStringList{};
    QTest::newRow("beta shown") << QList{beta} << true << K::firstPublishedApp
                                << QStringList{u"b"_qs} << QStringList{};
    QTest::newRow("previews only")
        << QList{comingSoonApp(u"s"_qs), comingSoonApp(u"t"_qs)} << true << K::comingSoonOnly
        << QStringList{} << QStringList{u"s"_qs, u"t"_qs};
    QTest::newRow("beta without download") << QList{betaWithoutDownload} << true
                                           << K::comingSoonOnly << QStringList{} << QStringList{};
    QTest::newRow("one published, previews")
        << QList{comingSoonApp(u"s"_qs), publishedApp(u"a"_qs)} << true << K::firstPublishedApp
        << QStringList{u"a"_qs} << QStringList{u"s"_qs};
    QTest::newRow("two published, three previews")
        << QList{comingSoonApp(u"s1"_qs), publishedApp(u"a"_qs), comingSoonApp(u"s2"_qs),
                 publishedApp(u"b"_qs), comingSoonApp(u"s3"_qs)}
        << true << K::multiAppCatalog << QStringList{u"a"_qs, u"b"_qs}
        << QStringList{u"s1"_qs, u"s2"_qs, u"s3"_qs};
    QTest::newRow("beta flag changes count")
        << QList{publishedApp(u"a"_qs), beta} << false << K::firstPublishedApp
        << QStringList{u"a"_qs} << QStringList{};
}

void TestPolicy::lifecycle() {
    QFETCH(QList<AppManifestItem>, apps);
    QFETCH(bool, includeBeta);
    QFETCH(CatalogLifecycleKind, kind);
    QFETCH(QStringList, published);
    QFETCH(QStringList, comingSoon);

    const CatalogLifecycle lifecycle =
        ManifestPolicy::catalogLifecycle(catalogWith(apps), includeBeta);
    QCOMPARE(lifecycle.kind, kind);
    QCOMPARE(ids(lifecycle.publishedApps), published);
    QCOMPARE(ids(lifecycle.comingSoonApps), comingSoon);
    verifyInvariants(lifecycle);
    // The lifecycle agrees with the list queries every screen uses.
    QCOMPARE(lifecycle.publishedApps,
             ManifestPolicy::publishedApps(catalogWith(apps), includeBeta));
}

void TestPolicy::lifecycleKindNames() {
    QCOMPARE(catalogLifecycleKindName(K::empty), QLatin1StringView("empty"));
    QCOMPARE(catalogLifecycleKindName(K::comingSoonOnly), QLatin1StringView("comingSoonOnly"));
    QCOMPARE(catalogLifecycleKindName(K::firstPublishedApp),
             QLatin1StringView("firstPublishedApp"));
    QCOMPARE(catalogLifecycleKindName(K::multiAppCatalog), QLatin1StringView("multiAppCatalog"));
}

void TestPolicy::unseenAnnouncements() {
    LauncherManifest catalog = catalogWith({});
    for (const QString& id : {u"a1"_qs, u"A2"_qs, u"a3"_qs}) {
        LauncherAnnouncement announcement;
        announcement.id = id;
        announcement.appId = u"app"_qs;
        catalog.announcements.append(announcement);
    }
    const auto unseen = [&](const QSet<QString>& seen) {
        QStringList result;
        for (const auto& a : ManifestPolicy::unseenAnnouncements(catalog, seen)) {
            result << a.id;
        }
        return result;
    };
    QCOMPARE(unseen({}), (QStringList{u"a1"_qs, u"A2"_qs, u"a3"_qs}));
    QCOMPARE(unseen({u"a2"_qs, u"a3"_qs}), (QStringList{u"a1"_qs, u"A2"_qs}));
    QCOMPARE(unseen({u"a1"_qs, u"A2"_qs, u"a3"_qs, u"other"_qs}), QStringList{});
}

NIMBARA_TEST_MAIN(TestPolicy)
#include "tst_policy.moc"
