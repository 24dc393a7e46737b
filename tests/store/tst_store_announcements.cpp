#include "tst_store.h"

using namespace nimbara;
using namespace nimbara::test;

namespace {

// Only the id and the app matter to the store.
LauncherAnnouncement announcement(const QString& id, const QString& appID) {
    return LauncherAnnouncement{id, appID, {}, {}, {}, {}, {}, {}};
}

LauncherManifest catalog(const QList<AppManifestItem>& apps,
                         const QList<LauncherAnnouncement>& announcements) {
    LauncherManifest manifest = catalogWith(apps);
    manifest.announcements = announcements;
    return manifest;
}

// The persisted seen ids; none when the key is absent.
QSet<QString> persistedSeenIDs(const StoreHarness& h) {
    const QStringList ids =
        PreferencesStore(h.fakes.preferencesPath)
            .stringArrayForKey(QString::fromLatin1(StoreKeys::seenAnnouncementIDs))
            .value_or(QStringList());
    return QSet<QString>(ids.begin(), ids.end());
}

} // namespace

void TestStore::announcementsAcrossLoadsAndRestarts() {
    StoreHarness h;
    const LauncherAnnouncement a1 = announcement(u"a1"_qs, u"alpha"_qs);
    const LauncherAnnouncement a2 = announcement(u"a2"_qs, u"alpha"_qs);
    const LauncherAnnouncement a3 = announcement(u"a3"_qs, u"alpha"_qs);
    LauncherStore& store = h.start(catalog({kAlpha}, {a1}));
    QVERIFY(!store.pendingAnnouncement());

    // A failed load establishes nothing.
    h.fakes.manifestLoader->error = offline();
    h.startUp();
    QVERIFY(!store.pendingAnnouncement());
    QVERIFY(!storedFlag(h, StoreKeys::announcementBaselineEstablished));
    QCOMPARE(persistedSeenIDs(h), QSet<QString>());

    // The first successful load marks everything it carries as seen, without a popup.
    h.fakes.manifestLoader->error = nullptr;
    h.fakes.manifestLoader->catalog = catalog({kAlpha}, {a1});
    h.loadManifest();
    QVERIFY(!store.pendingAnnouncement());
    QVERIFY(storedFlag(h, StoreKeys::announcementBaselineEstablished));
    QCOMPARE(persistedSeenIDs(h), QSet<QString>{u"a1"_qs});

    // After a relaunch, new ones show one after the other, each once.
    const LauncherManifest later = catalog({kAlpha}, {a1, a2, a3});
    h.fakes.manifestLoader->catalog = later;
    LauncherStore& relaunched = h.restart();
    h.startUp();
    QCOMPARE(relaunched.pendingAnnouncement(), a2);
    relaunched.acknowledgePendingAnnouncement();
    QCOMPARE(relaunched.pendingAnnouncement(), a3);
    relaunched.acknowledgePendingAnnouncement();
    QVERIFY(!relaunched.pendingAnnouncement());
    QCOMPARE(persistedSeenIDs(h), (QSet<QString>{u"a1"_qs, u"a2"_qs, u"a3"_qs}));

    // Neither construction with that catalog nor the next start-up brings them back.
    LauncherStore& third = h.restart(later);
    QVERIFY(!third.pendingAnnouncement());
    h.startUp();
    QVERIFY(!third.pendingAnnouncement());
}

void TestStore::openingAnnouncementApp_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("includeBeta");
    QTest::addColumn<QString>("expectedSelection");

    QTest::newRow("visible app") << u"bravo"_qs << true << u"bravo"_qs;
    QTest::newRow("beta app while betas are hidden") << u"charlie"_qs << false << u"alpha"_qs;
    QTest::newRow("retired app") << u"delta"_qs << true << u"alpha"_qs;
}

void TestStore::openingAnnouncementApp() {
    QFETCH(QString, target);
    QFETCH(bool, includeBeta);
    QFETCH(QString, expectedSelection);

    StoreHarness h;
    const QList<AppManifestItem> apps{kAlpha, kBravo,
                                      publishedApp(u"charlie"_qs, AppReleaseStatus::beta),
                                      publishedApp(u"delta"_qs, AppReleaseStatus::retired)};
    h.fakes.manifestLoader->catalog = catalog(apps, {});
    LauncherStore& store = h.start();
    h.startUp();
    QCOMPARE(store.selectedAppID(), u"alpha"_qs);

    const LauncherAnnouncement news = announcement(u"news"_qs, target);
    h.fakes.manifestLoader->catalog = catalog(apps, {news});
    h.loadManifest();
    QCOMPARE(store.pendingAnnouncement(), news);
    store.setIncludeBetaApps(includeBeta);

    store.selectPendingAnnouncementApp();
    QCOMPARE(store.selectedAppID(), expectedSelection);
    QVERIFY(!store.pendingAnnouncement());
    QVERIFY(persistedSeenIDs(h).contains(news.id));
}
