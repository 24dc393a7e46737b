#include "platform/preferences_store.h"
#include "presentation/shell_rules.h"
#include "tst_ui_models.h"
#include "ui/design_resources.h"
#include "ui/shell_view_model.h"

using namespace nimbara;
using namespace nimbara::test;
using namespace Qt::StringLiterals;

namespace {

AppManifestItem inCategory(AppManifestItem app, const QString& category) {
    app.category = category;
    return app;
}

LauncherAnnouncement announcementOf(const QString& appID) {
    LauncherAnnouncement announcement;
    announcement.id = u"announce-"_s + appID;
    announcement.appId = appID;
    announcement.title = u"Meet "_s + appID;
    announcement.body = u"Just published."_s;
    return announcement;
}

// A store whose earlier catalog loads are remembered, so the catalog's announcements are new.
LauncherStore& startWithAnnouncement(ModelStore& s, const QList<AppManifestItem>& apps,
                                     const LauncherAnnouncement& announcement) {
    PreferencesStore(s.fakes.preferencesPath)
        .setBool(QString::fromLatin1(StoreKeys::announcementBaselineEstablished), true);
    LauncherManifest catalog = catalogWith(apps);
    catalog.announcements = {announcement};
    return s.start(catalog);
}

} // namespace

void TestUiModels::sortedCategories_data() {
    QTest::addColumn<QStringList>("categories");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("distinct, upper case first")
        << QStringList{u"utilities"_s, u"Zebra"_s, u"apple"_s, u"Zebra"_s, u"Apple"_s}
        << QStringList{u"Apple"_s, u"Zebra"_s, u"apple"_s, u"utilities"_s};
    QTest::newRow("no locale rules") << QStringList{u"\u00c9dition"_s, u"Zed"_s, u"Eagle"_s}
                                     << QStringList{u"Eagle"_s, u"Zed"_s, u"\u00c9dition"_s};
    // UTF-16 order would put the emoji (a surrogate pair) before the full-width letter.
    QTest::newRow("code points, not UTF-16 units")
        << QStringList{u"\U0001F600 Fun"_s, u"\uFF21 Wide"_s}
        << QStringList{u"\uFF21 Wide"_s, u"\U0001F600 Fun"_s};
}

void TestUiModels::sortedCategories() {
    QFETCH(QStringList, categories);
    QFETCH(QStringList, expected);

    QList<AppManifestItem> apps;
    for (const QString& category : categories) {
        apps.append(inCategory(publishedApp(u"app%1"_s.arg(apps.size())), category));
    }
    QCOMPARE(nimbara::sortedCategories(apps), expected);
}

// The sidebar counts and categorises the visible apps, following the beta setting.
void TestUiModels::shellCountsVisibleApps() {
    ModelStore s;
    LauncherStore& store = s.start(
        catalogWith({inCategory(publishedApp(u"live"_s), u"Utilities"_s),
                     inCategory(publishedApp(u"beta"_s, AppReleaseStatus::beta), u"Audio"_s),
                     inCategory(publishedApp(u"old"_s, AppReleaseStatus::retired), u"Archive"_s)}));
    ShellViewModel shell;
    shell.setStore(&store);
    QCOMPARE(shell.visibleAppCount(), 2);
    QCOMPARE(shell.categories(), (QStringList{u"Audio"_s, u"Utilities"_s}));
    store.setIncludeBetaApps(false);
    QCOMPARE(shell.visibleAppCount(), 1);
    QCOMPARE(shell.categories(), QStringList{u"Utilities"_s});

    store.setFeedbackState(FeedbackSubmissionState::failed(u"offline"_s));
    shell.openFeedbackSheet();
    QVERIFY(store.feedbackState() == FeedbackSubmissionState::idle());
    QVERIFY(shell.showingFeedbackSheet());
}

// An announcement for an app that is not visible still shows, without an app to open.
void TestUiModels::announcementOfHiddenApp() {
    ModelStore s;
    LauncherStore& store = startWithAnnouncement(
        s, {publishedApp(u"alpha"_s), publishedApp(u"old"_s, AppReleaseStatus::retired)},
        announcementOf(u"old"_s));
    store.setOnboardingComplete(true);
    ShellViewModel shell;
    shell.setStore(&store);
    QVERIFY(shell.showsAnnouncement());
    QVERIFY(!shell.hasAnnouncedApp());
    QVERIFY(shell.announcedApp().id.isEmpty());

    shell.openAnnouncedApp();
    QCOMPARE(store.selectedAppID(), std::optional(u"alpha"_s));
    QVERIFY(!shell.hasPendingAnnouncement());
}

void TestUiModels::displayFamily_data() {
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QString>("chosen");

    QTest::newRow("Inter Tight first")
        << QStringList{u"Inter"_s, u"Inter Tight"_s} << u"Inter Tight"_s;
    QTest::newRow("then Inter") << QStringList{u"DejaVu Sans"_s, u"Inter"_s} << u"Inter"_s;
    QTest::newRow("else the default sans") << QStringList{u"Inter Display"_s} << u"Sans"_s;
}

void TestUiModels::displayFamily() {
    QFETCH(QStringList, installed);
    QFETCH(QString, chosen);
    QCOMPARE(DesignResources::chooseDisplayFamily(installed, u"Sans"_s), chosen);
}
