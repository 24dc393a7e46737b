#include "tst_store.h"

#include <QSignalSpy>

using namespace nimbara;
using namespace nimbara::test;

namespace {

using Phase = InstallProgress::Phase;

struct Step {
    qint64 at; // the store's clock when the installer reports
    InstallProgress report;
};

Step download(qint64 at, qint64 received, std::optional<qint64> total) {
    return {at, {Phase::downloading, received, total}};
}

Step phase(qint64 at, Phase phase) {
    return {at, {phase, 0, std::nullopt}};
}

} // namespace

Q_DECLARE_METATYPE(QList<Step>)

void TestStore::installProgress_data() {
    QTest::addColumn<QList<Step>>("steps");
    QTest::addColumn<int>("changes"); // of the published progress

    constexpr qint64 mb = 1000 * 1000;
    QTest::newRow("known size, then every phase")
        << QList{download(200, 25, 100),        download(400, 50, 100),
                 download(600, 100, 100),       phase(800, Phase::checking),
                 phase(1000, Phase::unpacking), phase(1200, Phase::validating),
                 phase(1400, Phase::placing)}
        << 7;
    QTest::newRow("unknown size still moves")
        << QList{download(200, mb, {}), download(400, 5 * mb, {}), download(600, 50 * mb, {}),
                 download(800, 5000 * mb, {})}
        << 4;
    QList<Step> burst;
    for (qint64 i = 1; i <= 30; ++i) {
        burst.append(download(i * 10, i, 30)); // 30 reports within 300 ms
    }
    QTest::newRow("at most ten changes a second") << burst << 3;
    QTest::newRow("never backwards, never past the cap")
        << QList{phase(200, Phase::validating), download(400, 10, 100), download(600, 500, 100),
                 phase(800, Phase::placing), phase(1000, Phase::checking)}
        << 2;
}

void TestStore::installProgress() {
    QFETCH(QList<Step>, steps);
    QFETCH(int, changes);

    StoreHarness h;
    const std::shared_ptr<Gate> gate = h.fakes.installer->hold(kAlpha.id);
    LauncherStore& store = h.start(catalogWith({kAlpha}));
    *h.fakes.now = 0;
    store.install(kAlpha);
    QCOMPARE(store.state(kAlpha), kInstalling);

    QList<std::pair<qint64, double>> published{{0, kInstalling.progress()}};
    QObject::connect(&store, &LauncherStore::installStatesChanged, [&] {
        published.append({*h.fakes.now, store.state(kAlpha).progress()});
    });
    const InstallProgressSink report = h.fakes.installer->sinks.value(kAlpha.id);
    for (const Step& step : steps) {
        *h.fakes.now = step.at;
        report(step.report);
    }

    QCOMPARE(published.size() - 1, changes);
    for (qsizetype i = 1; i < published.size(); ++i) {
        QVERIFY2(published[i].first - published[i - 1].first >= 100, "changes too close");
        QVERIFY2(published[i].second > published[i - 1].second, "progress went backwards");
        QVERIFY2(published[i].second <= 0.99, "progress past its cap");
    }
    const Step& last = steps.last();
    const std::optional<InstallTransfer> transfer = store.installTransfer(kAlpha.id);
    QCOMPARE(transfer.has_value(), last.report.phase == Phase::downloading);
    if (transfer) {
        QCOMPARE(transfer->receivedBytes, last.report.receivedBytes);
        QCOMPARE(transfer->totalBytes, last.report.totalBytes);
        QVERIFY(transfer->bytesPerSecond.value_or(0) > 0);
    }

    gate->open();
    QTRY_COMPARE(store.state(kAlpha), kInstalled);
    QVERIFY(!store.installTransfer(kAlpha.id));
    report({Phase::placing, 0, {}}); // a late report of an ended install changes nothing
    QCOMPARE(store.state(kAlpha), kInstalled);
}

void TestStore::cancelInstall_data() {
    QTest::addColumn<QString>("recorded");      // the version recorded before; empty: none
    QTest::addColumn<QString>("catalogDuring"); // the catalog's version loaded meanwhile
    QTest::addColumn<QString>("swap");          // "no", "reported" (placing seen) or "unseen"
    QTest::addColumn<AppInstallState>("after");

    const QString none;
    QTest::newRow("new install") << none << none << u"no"_qs << AppInstallState::notInstalled();
    QTest::newRow("update") << u"0.9.0"_qs << none << u"no"_qs
                            << AppInstallState::updateAvailable(u"0.9.0"_qs, u"1.0.0"_qs);
    QTest::newRow("update, the catalog now lists the installed version")
        << u"0.9.0"_qs << u"0.9.0"_qs << u"no"_qs << AppInstallState::installed(u"0.9.0"_qs);
    QTest::newRow("after the swap was reported") << none << none << u"reported"_qs << kInstalled;
    QTest::newRow("the swap began before its report")
        << u"0.9.0"_qs << none << u"unseen"_qs << kInstalled;
}

void TestStore::cancelInstall() {
    QFETCH(QString, recorded);
    QFETCH(QString, catalogDuring);
    QFETCH(QString, swap);
    QFETCH(AppInstallState, after);

    StoreHarness h;
    if (!recorded.isEmpty()) {
        h.persistInstalledApp(kAlpha, recorded);
    }
    const std::shared_ptr<Gate> gate = h.fakes.installer->hold(kAlpha.id);
    LauncherStore& store = h.start(catalogWith({kAlpha}), true);
    const auto versions = h.fakes.persistedVersions();
    const auto paths = h.fakes.persistedPaths();
    QVERIFY(!store.canCancelInstall(kAlpha.id));
    store.install(kAlpha);
    QTRY_COMPARE(h.fakes.installer->inFlight, 1);
    QVERIFY(store.canCancelInstall(kAlpha.id));
    *h.fakes.now = 500;
    h.fakes.installer->sinks.value(kAlpha.id)({Phase::downloading, 10, 100});
    if (!catalogDuring.isEmpty()) {
        AppManifestItem older = kAlpha;
        older.version = catalogDuring;
        h.fakes.manifestLoader->catalog = catalogWith({older});
        h.loadManifest();
    }
    if (swap == u"reported"_qs) {
        *h.fakes.now = 1000;
        h.fakes.installer->sinks.value(kAlpha.id)({Phase::placing, 0, {}});
        QVERIFY(!store.canCancelInstall(kAlpha.id));
    } else if (swap == u"unseen"_qs) {
        h.fakes.installer->swapping.insert(kAlpha.id);
    }

    store.cancelInstall(kAlpha.id);
    QCOMPARE(h.fakes.installer->tokens.value(kAlpha.id).isCancelled(), swap != u"reported"_qs);
    if (swap == u"reported"_qs) {
        gate->open(); // the install goes on to its end
    }
    QTRY_COMPARE(h.fakes.installer->finished, 1);
    settle();

    QCOMPARE(store.state(kAlpha), after);
    QVERIFY(!store.canCancelInstall(kAlpha.id));
    QVERIFY(!store.errorMessage());
    QVERIFY(h.fakes.errorReporter->reports.isEmpty());
    if (swap != u"no"_qs) {
        QCOMPARE(h.fakes.eventSink->events.last(), alphaEvent("install_succeeded", "succeeded"));
        return;
    }
    QCOMPARE(h.fakes.eventSink->events, (QList{alphaEvent("install_started", "started"),
                                               alphaEvent("install_cancelled", "cancelled")}));
    QCOMPARE(h.fakes.persistedVersions(), versions);
    QCOMPARE(h.fakes.persistedPaths(), paths);
}
