#include "tst_store.h"

#include <QSignalSpy>

using namespace nimbara;
using namespace nimbara::test;

namespace {

// alpha is installed, bravo needs a newer system, charlie and delta can be installed, soon is
// a preview.
QList<AppManifestItem> onboardingApps() {
    AppManifestItem bravo = publishedApp(u"bravo"_qs);
    bravo.minMacOS = u"99.0"_qs;
    return {publishedApp(u"alpha"_qs), bravo, publishedApp(u"charlie"_qs),
            publishedApp(u"delta"_qs), comingSoonApp(u"soon"_qs)};
}

} // namespace

void TestStore::finishOnboarding_data() {
    QTest::addColumn<QStringList>("ticked");
    QTest::addColumn<QStringList>("expectedInstalls");

    QTest::newRow("nothing ticked") << QStringList() << QStringList();
    QTest::newRow("installed and too-new apps skipped")
        << QStringList{u"alpha"_qs, u"bravo"_qs, u"charlie"_qs} << QStringList{u"charlie"_qs};
    QTest::newRow("catalog order")
        << QStringList{u"delta"_qs, u"charlie"_qs} << QStringList{u"charlie"_qs, u"delta"_qs};
    QTest::newRow("previews ignored")
        << QStringList{u"soon"_qs, u"delta"_qs} << QStringList{u"delta"_qs};
}

void TestStore::finishOnboarding() {
    QFETCH(QStringList, ticked);
    QFETCH(QStringList, expectedInstalls);

    StoreHarness h;
    const QList<AppManifestItem> apps = onboardingApps();
    h.persistInstalledApp(apps.first(), u"1.0.0"_qs);
    LauncherStore& store = h.start(catalogWith(apps), true);
    QCOMPARE(store.state(apps.first()), AppInstallState::installed(u"1.0.0"_qs));
    QVERIFY(store.requiresOnboarding());
    QCOMPARE(store.selectedStarterAppIDs().size(), apps.size()); // all ticked at first
    QSignalSpy toggled(&store, &LauncherStore::selectedStarterAppIDsChanged);
    for (const AppManifestItem& app : apps) {
        if (!ticked.contains(app.id)) {
            store.toggleStarterSelection(app);
        }
    }
    QCOMPARE(store.selectedStarterAppIDs(), QSet<QString>(ticked.begin(), ticked.end()));
    QCOMPARE(toggled.size(), apps.size() - ticked.size());
    if (!ticked.isEmpty()) { // a second toggle ticks it again
        store.toggleStarterSelection(apps.first());
        store.toggleStarterSelection(apps.first());
        QCOMPARE(store.selectedStarterAppIDs(), QSet<QString>(ticked.begin(), ticked.end()));
    }
    store.setErrorMessage(u"An earlier problem"_qs);

    store.finishOnboarding();
    QVERIFY(store.onboardingComplete());
    QVERIFY(!store.requiresOnboarding());
    QVERIFY(PreferencesStore(h.fakes.preferencesPath)
                .boolForKey(QString::fromLatin1(StoreKeys::onboardingComplete)));

    QTRY_COMPARE(h.fakes.installer->finished, expectedInstalls.size());
    settle();
    QStringList installed;
    for (const FakeInstaller::Call& call : h.fakes.installer->calls) {
        installed.append(call.app.id);
    }
    QCOMPARE(installed, expectedInstalls);
    QCOMPARE(store.errorMessage(), u"An earlier problem"_qs); // skipped apps say nothing
    QCOMPARE(store.state(u"bravo"_qs), AppInstallState::notInstalled());
}
