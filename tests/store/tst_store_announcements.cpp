#include "tst_store.h"

using namespace nimbara;
using namespace nimbara::test;

namespace {

LauncherAnnouncement announcement(const QString& id, const QString& appID) {
    LauncherAnnouncement a;
    a.id = id;
    a.appId = appID;
    a.appName = appID.toUpper();
    a.kind = u"newApp"_qs;
    a.title = u"New: "_qs + appID;
    a.body = u"Now available."_qs;
    return a;
}

LauncherManifest catalog(const QList<AppManifestItem>& apps,
                         const QList<LauncherAnnouncement>& announcements) {
    LauncherManifest manifest = catalogWith(apps);
    manifest.announcements = announcements;
    return manifest;
}

// The persisted seen ids; none when the key is absent.
std::optional<QSet<QString>> persistedSeenIDs(const StoreHarness& h) {
    const std::optional<QStringList> ids =
        PreferencesStore(h.fakes.preferencesPath)
            .stringArrayForKey(QString::fromLatin1(StoreKeys::seenAnnouncementIDs));
    if (!ids) {
        return std::nullopt;
    }
    return QSet<QString>(ids->begin(), ids->end());
}

bool persistedBaseline(const StoreHarness& h) {
    return PreferencesStore(h.fakes.preferencesPath)
        .boolForKey(QString::fromLatin1(StoreKeys::announcementBaselineEstablished));
}

const AppManifestItem kAlpha = publishedApp(u"alpha"_qs);

} // namespace

void TestStore::firstLoadEstablishesBaseline() {
    StoreHarness h;
    const LauncherManifest first =
        catalog({kAlpha}, {announcement(u"a1"_qs, u"alpha"_qs), announcement(u"a2"_qs, u"alpha"_qs),
                           announcement(u"a3"_qs, u"alpha"_qs)});
    LauncherStore& store = h.start(first);
    QVERIFY(!store.pendingAnnouncement());

    // A failed load establishes nothing.
    h.fakes.manifestLoader->fail(std::make_exception_ptr(NetworkError(u"offline"_qs)));
    h.startUp();
    QVERIFY(!store.pendingAnnouncement());
    QVERIFY(!persistedBaseline(h));
    QCOMPARE(persistedSeenIDs(h).value_or(QSet<QString>()), QSet<QString>());

    // The first successful load marks everything it carries as seen, without a popup.
    h.fakes.manifestLoader->setCatalog(first);
    h.loadManifest();
    QVERIFY(!store.pendingAnnouncement());
    QVERIFY(persistedBaseline(h));
    QCOMPARE(persistedSeenIDs(h), (QSet<QString>{u"a1"_qs, u"a2"_qs, u"a3"_qs}));
}

void TestStore::newAnnouncementShownOnceAcrossRestarts() {
    StoreHarness h;
    const LauncherAnnouncement a1 = announcement(u"a1"_qs, u"alpha"_qs);
    const LauncherAnnouncement a2 = announcement(u"a2"_qs, u"alpha"_qs);
    h.fakes.manifestLoader->setCatalog(catalog({kAlpha}, {a1}));
    h.start();
    h.startUp();
    QVERIFY(!h.store->pendingAnnouncement());

    const LauncherManifest second = catalog({kAlpha}, {a1, a2});
    h.fakes.manifestLoader->setCatalog(second);
    LauncherStore& relaunched = h.restart();
    h.startUp();
    QCOMPARE(relaunched.pendingAnnouncement(), a2);

    relaunched.acknowledgePendingAnnouncement();
    QVERIFY(!relaunched.pendingAnnouncement());
    QCOMPARE(persistedSeenIDs(h), (QSet<QString>{u"a1"_qs, u"a2"_qs}));

    // Neither construction with that catalog nor the next start-up brings it back.
    LauncherStore& third = h.restart(second);
    QVERIFY(!third.pendingAnnouncement());
    h.startUp();
    QVERIFY(!third.pendingAnnouncement());
}

void TestStore::dismissingFirstShowsSecond() {
    StoreHarness h;
    h.fakes.manifestLoader->setCatalog(catalog({kAlpha}, {}));
    LauncherStore& store = h.start();
    h.startUp();

    const LauncherAnnouncement n1 = announcement(u"n1"_qs, u"alpha"_qs);
    const LauncherAnnouncement n2 = announcement(u"n2"_qs, u"alpha"_qs);
    h.fakes.manifestLoader->setCatalog(catalog({kAlpha}, {n1, n2}));
    h.loadManifest();
    QCOMPARE(store.pendingAnnouncement(), n1);
    store.acknowledgePendingAnnouncement();
    QCOMPARE(store.pendingAnnouncement(), n2);
    store.acknowledgePendingAnnouncement();
    QVERIFY(!store.pendingAnnouncement());
    store.acknowledgePendingAnnouncement(); // nothing pending: nothing happens
    QCOMPARE(persistedSeenIDs(h), (QSet<QString>{u"n1"_qs, u"n2"_qs}));
}

void TestStore::openingAnnouncementApp_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("includeBeta");
    QTest::addColumn<QString>("expectedSelection");

    QTest::newRow("visible app") << u"bravo"_qs << true << u"bravo"_qs;
    QTest::newRow("beta app while betas are hidden") << u"charlie"_qs << false << u"alpha"_qs;
    QTest::newRow("retired app") << u"delta"_qs << true << u"alpha"_qs;
    QTest::newRow("app not in the catalog") << u"zulu"_qs << true << u"alpha"_qs;
}

void TestStore::openingAnnouncementApp() {
    QFETCH(QString, target);
    QFETCH(bool, includeBeta);
    QFETCH(QString, expectedSelection);

    StoreHarness h;
    const QList<AppManifestItem> apps{kAlpha, publishedApp(u"bravo"_qs),
                                      publishedApp(u"charlie"_qs, AppReleaseStatus::beta),
                                      publishedApp(u"delta"_qs, AppReleaseStatus::retired)};
    h.fakes.manifestLoader->setCatalog(catalog(apps, {}));
    LauncherStore& store = h.start();
    h.startUp();
    QCOMPARE(store.selectedAppID(), u"alpha"_qs);

    const LauncherAnnouncement news = announcement(u"news"_qs, target);
    h.fakes.manifestLoader->setCatalog(catalog(apps, {news}));
    h.loadManifest();
    QCOMPARE(store.pendingAnnouncement(), news);
    store.setIncludeBetaApps(includeBeta);

    store.selectPendingAnnouncementApp();
    QCOMPARE(store.selectedAppID(), expectedSelection);
    QVERIFY(!store.pendingAnnouncement());
    QVERIFY(persistedSeenIDs(h).value_or(QSet<QString>()).contains(news.id));
}
