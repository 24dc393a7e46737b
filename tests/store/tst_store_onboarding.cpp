#include "tst_store.h"

using namespace nimbara;
using namespace nimbara::test;

void TestStore::finishOnboarding_data() {
    QTest::addColumn<QStringList>("ticked");
    QTest::addColumn<QStringList>("expectedInstalls");

    QTest::newRow("installed, too-new and preview apps skipped")
        << QStringList{u"alpha"_qs, u"bravo"_qs, u"charlie"_qs, u"soon"_qs}
        << QStringList{u"charlie"_qs};
    QTest::newRow("catalog order")
        << QStringList{u"delta"_qs, u"charlie"_qs} << QStringList{u"charlie"_qs, u"delta"_qs};
}

void TestStore::finishOnboarding() {
    QFETCH(QStringList, ticked);
    QFETCH(QStringList, expectedInstalls);

    // alpha is installed, bravo needs a newer system, charlie and delta can be installed, soon
    // is a preview.
    StoreHarness h;
    AppManifestItem bravo = kBravo;
    bravo.minMacOS = u"99.0"_qs;
    const QList<AppManifestItem> apps{kAlpha, bravo, publishedApp(u"charlie"_qs),
                                      publishedApp(u"delta"_qs), comingSoonApp(u"soon"_qs)};
    h.persistInstalledApp(kAlpha, u"1.0.0"_qs);
    LauncherStore& store = h.start(catalogWith(apps), true);
    QVERIFY(store.requiresOnboarding());
    QCOMPARE(store.selectedStarterAppIDs().size(), apps.size()); // all ticked at first
    for (const AppManifestItem& app : apps) {
        if (!ticked.contains(app.id)) {
            store.toggleStarterSelection(app);
        }
    }
    store.setErrorMessage(u"An earlier problem"_qs);

    store.finishOnboarding();
    QVERIFY(!store.requiresOnboarding());
    QVERIFY(storedFlag(h, StoreKeys::onboardingComplete));
    QTRY_COMPARE(h.fakes.installer->finished, expectedInstalls.size());
    settle();
    QStringList installed;
    for (const FakeInstaller::Call& call : h.fakes.installer->calls) {
        installed.append(call.app.id);
    }
    QCOMPARE(installed, expectedInstalls);
    QCOMPARE(store.errorMessage(), u"An earlier problem"_qs); // skipped apps say nothing
}
