#include "presentation/detail_rules.h"
#include "tst_ui_models.h"
#include "ui/app_detail_view_model.h"

using namespace nimbara;
using namespace nimbara::test;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(nimbara::PrimaryAction)

namespace {

QStringList labelsOf(const QVariantList& rows) {
    QStringList labels;
    for (const QVariant& row : rows) {
        labels.append(row.value<MetadataRow>().label);
    }
    return labels;
}

} // namespace

void TestUiModels::primaryActionAndDetail_data() {
    QTest::addColumn<AppManifestItem>("app");
    QTest::addColumn<AppInstallState>("state");
    QTest::addColumn<PrimaryAction>("action");
    QTest::addColumn<QString>("detail");
    QTest::addColumn<bool>("removal");

    const AppManifestItem live = publishedApp(u"alpha"_s);
    AppManifestItem badDigest = live;
    badDigest.sha256 = QString(63, u'a');
    const PrimaryAction refresh{PrimaryActionKind::refreshCatalog, CopyKey::refreshCatalog,
                                ButtonVariant::Secondary, "arrow.clockwise"_L1, true};
    const PrimaryAction install{PrimaryActionKind::install, CopyKey::installAction,
                                ButtonVariant::Primary, "arrow.down.circle"_L1, true};
    const QString preview = english(CopyKey::comingSoonTileStatus);

    QTest::newRow("preview") << comingSoonApp(u"soon"_s) << AppInstallState() << refresh << preview
                             << false;
    QTest::newRow("no published release comes before the state")
        << badDigest << AppInstallState::installed(u"1.0.0"_s) << refresh << preview << true;
    QTest::newRow("installing") << live << AppInstallState::installing(0.5)
                                << PrimaryAction{PrimaryActionKind::none,
                                                 CopyKey::installingAction,
                                                 ButtonVariant::Secondary,
                                                 {},
                                                 false}
                                << english(CopyKey::installingDetail) << false;
    QTest::newRow("installed") << live << AppInstallState::installed(u"1.0.0"_s)
                               << PrimaryAction{PrimaryActionKind::open, CopyKey::openAction,
                                                ButtonVariant::Primary, "play"_L1, true}
                               << english(CopyKey::installedDetail) << true;
    QTest::newRow("update available")
        << live << AppInstallState::updateAvailable(u"0.9"_s, u"1.0.0"_s)
        << PrimaryAction{PrimaryActionKind::update, CopyKey::updateAction, ButtonVariant::Primary,
                         "arrow.triangle.2.circlepath"_L1, true}
        << english(CopyKey::updateDetail) << true;
    QTest::newRow("failed shows its message")
        << live << AppInstallState::failed(u"Disk full"_s) << install << u"Disk full"_s << false;
    QTest::newRow("failed with an empty message")
        << live << AppInstallState::failed(QString()) << install << QString() << false;
    QTest::newRow("not installed")
        << live << AppInstallState() << install << english(CopyKey::notInstalledDetail) << false;
}

void TestUiModels::primaryActionAndDetail() {
    QFETCH(AppManifestItem, app);
    QFETCH(AppInstallState, state);
    QFETCH(PrimaryAction, action);
    QFETCH(QString, detail);
    QFETCH(bool, removal);

    QVERIFY(primaryAction(app, state) == action);
    QCOMPARE(actionDetail(app, state, NimbaraLocale::en), detail);
    QCOMPARE(offersRemoval(state), removal);
}

void TestUiModels::updateFeedValue_data() {
    QTest::addColumn<QString>("feed");  // empty: no feed
    QTest::addColumn<QString>("shown"); // empty: no row

    QTest::newRow("no feed") << QString() << QString();
    QTest::newRow("public host") << u"https://updates.example.com/alpha/appcast.xml?ch=beta"_s
                                 << u"https://updates.example.com/alpha/appcast.xml?ch=beta"_s;
    QTest::newRow(".local host") << u"http://devbox.local:8080/appcast.xml"_s << QString();
    QTest::newRow(".local in capitals") << u"https://BUILD.LOCAL/appcast.xml"_s << QString();
    QTest::newRow("local as a subdomain")
        << u"https://local.example.com/a.xml"_s << u"https://local.example.com/a.xml"_s;
    QTest::newRow(".localhost") << u"https://example.localhost/a.xml"_s
                                << u"https://example.localhost/a.xml"_s;
}

void TestUiModels::updateFeedValue() {
    QFETCH(QString, feed);
    QFETCH(QString, shown);

    AppManifestItem app = publishedApp(u"alpha"_s);
    if (!feed.isEmpty()) {
        app.sparkleFeedUrl = QUrl(feed);
    }
    QCOMPARE(nimbara::updateFeedValue(app).value_or(QString()), shown);

    QStringList labels{english(CopyKey::bundleID), english(CopyKey::version),
                       english(CopyKey::minimumMacOS), english(CopyKey::checksum)};
    if (!shown.isEmpty()) {
        labels.append(english(CopyKey::updateFeed));
    }
    const QList<DetailRow> rows = metadataRows(app, NimbaraLocale::en);
    QStringList rowLabels;
    for (const DetailRow& row : rows) {
        rowLabels.append(row.label);
    }
    QCOMPARE(rowLabels, labels);
    QCOMPARE(rows[3].value, english(CopyKey::checksumVerified));
}

// The detail column follows the store through an install, and its buttons reach the store.
void TestUiModels::detailFollowsInstall() {
    AppManifestItem alpha = publishedApp(u"alpha"_s);
    for (int n = 0; n < 10; ++n) {
        alpha.releaseNotes.append({QString::number(n), u"someday"_s, u"note"_s});
    }
    ModelStore s;
    LauncherStore& store = s.start(catalogWith({alpha, comingSoonApp(u"soon"_s)}));
    AppDetailViewModel detail;
    detail.setStore(&store);

    QVERIFY(detail.hasApp());
    QCOMPARE(detail.app().name, u"Alpha"_s);
    QCOMPARE(detail.stateLine(), u"Not installed"_s);
    QCOMPARE(detail.primaryTitle(), english(CopyKey::installAction));
    QVERIFY(detail.showsMetadata());
    QCOMPARE(labelsOf(detail.metadataRows()).size(), 4);
    QCOMPARE(detail.releaseNotes().size(), 10);
    QCOMPARE(detail.removeConfirmTitle(),
             english(CopyKey::removeAppConfirmTitle, {{u"app"_s, u"Alpha"_s}}));

    const std::shared_ptr<Gate> gate = s.fakes.installer->hold(alpha.id);
    detail.performPrimaryAction();
    QCOMPARE(s.fakes.installer->calls.size(), 1);
    QVERIFY(detail.installing());
    QVERIFY(!detail.primaryEnabled());
    QCOMPARE(detail.primaryTitle(), english(CopyKey::installingAction));
    QCOMPARE(detail.actionDetail(), english(CopyKey::installingDetail));
    detail.performPrimaryAction(); // nothing while installing
    QCOMPARE(s.fakes.installer->calls.size(), 1);

    gate->open();
    QTRY_COMPARE(s.fakes.installer->finished, 1);
    settle();
    QCOMPARE(detail.stateLine(), u"Installed 1.0.0"_s);
    QCOMPARE(detail.primaryTitle(), english(CopyKey::openAction));
    QVERIFY(detail.showsRemove() && detail.removeEnabled());
    detail.performPrimaryAction();
    QTRY_COMPARE(s.fakes.workspace->opened.size(), 1);

    store.setSelectedAppID(u"soon"_s);
    QCOMPARE(detail.app().id, u"soon"_s);
    QVERIFY(!detail.showsMetadata());
    const int loads = s.fakes.manifestLoader->calls.size();
    detail.performPrimaryAction();
    settle();
    QCOMPARE(s.fakes.manifestLoader->calls.size(), loads + 1);

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
