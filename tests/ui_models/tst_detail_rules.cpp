#include "presentation/detail_rules.h"
#include "presentation/transfer_text.h"
#include "tst_ui_models.h"
#include "ui/app_detail_view_model.h"

using namespace nimbara;
using namespace nimbara::test;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(nimbara::PrimaryActionKind)

void TestUiModels::primaryActionAndDetail_data() {
    QTest::addColumn<AppManifestItem>("app");
    QTest::addColumn<AppInstallState>("state");
    QTest::addColumn<PrimaryActionKind>("action");
    QTest::addColumn<QString>("detail");
    QTest::addColumn<bool>("removal");

    const AppManifestItem live = publishedApp(u"alpha"_s);
    AppManifestItem badDigest = live;
    badDigest.sha256 = QString(63, u'a');
    const QString preview = english(CopyKey::comingSoonTileStatus);
    const auto refresh = PrimaryActionKind::refreshCatalog;

    QTest::newRow("preview") << comingSoonApp(u"soon"_s) << AppInstallState() << refresh << preview
                             << false;
    QTest::newRow("no published release comes before the state")
        << badDigest << AppInstallState::installed(u"1.0.0"_s) << refresh << preview << true;
    QTest::newRow("installing") << live << AppInstallState::installing(0.5)
                                << PrimaryActionKind::none << english(CopyKey::installingDetail)
                                << false;
    QTest::newRow("installed") << live << AppInstallState::installed(u"1.0.0"_s)
                               << PrimaryActionKind::open << english(CopyKey::installedDetail)
                               << true;
    QTest::newRow("update available")
        << live << AppInstallState::updateAvailable(u"0.9"_s, u"1.0.0"_s)
        << PrimaryActionKind::update << english(CopyKey::updateDetail) << true;
    QTest::newRow("failed shows its message")
        << live << AppInstallState::failed(u"Disk full"_s) << PrimaryActionKind::install
        << u"Disk full"_s << false;
    QTest::newRow("not installed") << live << AppInstallState() << PrimaryActionKind::install
                                   << english(CopyKey::notInstalledDetail) << false;
}

void TestUiModels::primaryActionAndDetail() {
    QFETCH(AppManifestItem, app);
    QFETCH(AppInstallState, state);
    QFETCH(PrimaryActionKind, action);
    QFETCH(QString, detail);
    QFETCH(bool, removal);

    const PrimaryAction shown = primaryAction(app, state);
    QCOMPARE(shown.kind, action);
    QCOMPARE(shown.enabled, action != PrimaryActionKind::none);
    QCOMPARE(actionDetail(app, state, NimbaraLocale::en), detail);
    QCOMPARE(offersRemoval(state), removal);
}

void TestUiModels::updateFeedValue_data() {
    QTest::addColumn<QString>("feed");  // empty: no feed
    QTest::addColumn<QString>("shown"); // empty: no row

    QTest::newRow("no feed") << QString() << QString();
    QTest::newRow(".local host") << u"http://devbox.local:8080/appcast.xml"_s << QString();
    QTest::newRow(".local in capitals") << u"https://BUILD.LOCAL/appcast.xml"_s << QString();
    QTest::newRow("local as a subdomain")
        << u"https://local.example.com/a.xml"_s << u"https://local.example.com/a.xml"_s;
    QTest::newRow(".localhost") << u"https://example.localhost/a.xml"_s
                                << u"https://example.localhost/a.xml"_s;
}

// The feed's row is the last metadata row, present only when the feed is shown.
void TestUiModels::updateFeedValue() {
    QFETCH(QString, feed);
    QFETCH(QString, shown);

    AppManifestItem app = publishedApp(u"alpha"_s);
    if (!feed.isEmpty()) {
        app.sparkleFeedUrl = QUrl(feed);
    }
    QCOMPARE(nimbara::updateFeedValue(app).value_or(QString()), shown);
    const QList<DetailRow> rows = metadataRows(app, NimbaraLocale::en);
    QCOMPARE(rows.size(), shown.isEmpty() ? 4 : 5);
    QCOMPARE(rows.last().value == shown, !shown.isEmpty());
}

// A preview's primary button reloads the catalog; an unknown selection shows no app.
void TestUiModels::detailFollowsSelection() {
    ModelStore s;
    LauncherStore& store =
        s.start(catalogWith({publishedApp(u"alpha"_s), comingSoonApp(u"soon"_s)}));
    AppDetailViewModel detail;
    detail.setStore(&store);
    QVERIFY(detail.showsMetadata());
    store.setSelectedAppID(u"soon"_s);
    QVERIFY(!detail.showsMetadata());
    const qsizetype loads = s.fakes.manifestLoader->calls.size();
    detail.performPrimaryAction();
    settle();
    QCOMPARE(s.fakes.manifestLoader->calls.size(), loads + 1);
    QVERIFY(s.fakes.installer->calls.isEmpty() && s.fakes.workspace->opened.isEmpty());

    store.setSelectedAppID(u"gone"_s);
    QVERIFY(!detail.hasApp());
}

void TestUiModels::detailRemovalWhileUninstalling() {
    const AppManifestItem alpha = publishedApp(u"alpha"_s);
    ModelStore s;
    s.persistInstalled(alpha, u"1.0.0"_s);
    LauncherStore& store = s.start(catalogWith({alpha}));
    AppDetailViewModel detail;
    detail.setStore(&store);
    QVERIFY(detail.showsRemove() && detail.removeEnabled());

    std::optional<bool> enabledDuringRemoval;
    s.fakes.uninstaller->onRemove = [&](const AppRemovalRequest&) {
        enabledDuringRemoval = detail.removeEnabled();
    };
    detail.confirmRemoval(alpha.id);
    settle();
    QCOMPARE(enabledDuringRemoval, std::optional(false));
    QCOMPARE(s.fakes.uninstaller->requests.size(), 1);
    QCOMPARE(s.fakes.uninstaller->requests[0].appID, alpha.id);
    QVERIFY(!s.fakes.uninstaller->requests[0].deleteData);
    QVERIFY(!detail.showsRemove());
    QCOMPARE(detail.stateLine(), u"Not installed"_s);
}

void TestUiModels::downloadDetail_data() {
    QTest::addColumn<NimbaraLocale>("locale");
    QTest::addColumn<qint64>("received");
    QTest::addColumn<qint64>("total"); // 0: not known
    QTest::addColumn<double>("rate");  // bytes per second; 0: not measured yet
    QTest::addColumn<QString>("shown");

    const auto en = NimbaraLocale::en;
    QTest::newRow("en") << en << 12'400'000LL << 98'000'000LL << 3.1e6
                        << u"12.4 MB of 98 MB · 3.1 MB/s · 28 s left"_s;
    QTest::newRow("pl") << NimbaraLocale::pl << 12'400'000LL << 98'000'000LL << 3.1e6
                        << u"12,4 MB z 98 MB · 3,1 MB/s · jeszcze 28 s"_s;
    QTest::newRow("de") << NimbaraLocale::de << 12'400'000LL << 98'000'000LL << 3.1e6
                        << u"12,4 MB von 98 MB · 3,1 MB/s · noch 28 s"_s;
    QTest::newRow("size not known")
        << en << 12'400'000LL << 0LL << 3.1e6 << u"12.4 MB · 3.1 MB/s"_s;
    QTest::newRow("units change where the rounded figure reaches 1000")
        << en << 999'960'000LL << 2'500'000'000LL << 450e3
        << u"1 GB of 2.5 GB · 450 kB/s · 56 min left"_s;
    QTest::newRow("no rate yet") << en << 1'000LL << 2'000LL << 0.0 << QString();
}

void TestUiModels::downloadDetail() {
    QFETCH(NimbaraLocale, locale);
    QFETCH(qint64, received);
    QFETCH(qint64, total);
    QFETCH(double, rate);
    QFETCH(QString, shown);
    QCOMPARE(nimbara::downloadDetail(received, total ? std::optional(total) : std::nullopt,
                                     rate ? std::optional(rate) : std::nullopt, locale),
             shown);
}

// While the download runs the detail shows it; the panel's cancel stops the install.
void TestUiModels::detailDuringDownload() {
    const AppManifestItem alpha = publishedApp(u"alpha"_s);
    ModelStore s;
    s.fakes.installer->hold(alpha.id);
    LauncherStore& store = s.start(catalogWith({alpha}));
    AppDetailViewModel detail;
    detail.setStore(&store);
    detail.performPrimaryAction();
    QVERIFY(detail.canCancel());
    const InstallProgressSink report = s.fakes.installer->sinks.value(alpha.id);
    *s.fakes.now = 1000;
    report({InstallProgress::Phase::downloading, 1'000'000, 4'000'000});
    QCOMPARE(detail.actionDetail(), english(CopyKey::installingDetail)); // no rate yet
    *s.fakes.now = 2000;
    report({InstallProgress::Phase::downloading, 2'000'000, 4'000'000});
    QCOMPARE(detail.actionDetail(), u"2 MB of 4 MB · 1 MB/s · 2 s left"_s);
    QCOMPARE(detail.stateLine(), u"Installing 39%"_s);

    detail.cancelInstall();
    QVERIFY(!detail.canCancel());
    QTRY_COMPARE(detail.stateLine(), u"Not installed"_s);
    QVERIFY(!store.errorMessage());
}
