#include "presentation/detail_rules.h"
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
