#include "platform/preferences_store.h"
#include "presentation/shell_rules.h"
#include "tst_ui_models.h"
#include "ui/copy_bridge.h"
#include "ui/design_resources.h"
#include "ui/shell_view_model.h"

#include <QSignalSpy>

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

    QTest::newRow("none") << QStringList() << QStringList();
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

    QSignalSpy catalogChanged(&shell, &ShellViewModel::catalogChanged);
    store.setIncludeBetaApps(false);
    QVERIFY(!catalogChanged.isEmpty());
    QCOMPARE(shell.visibleAppCount(), 1);
    QCOMPARE(shell.categories(), QStringList{u"Utilities"_s});

    const QVariantList sections = shell.sections();
    QCOMPARE(sections.size(), 5);
    QStringList titles;
    for (const QVariant& row : sections) {
        const auto section = row.value<SidebarRow>();
        titles.append(section.title);
        QCOMPARE(section.section, SidebarSections::allCases().at(titles.size() - 1));
        QCOMPARE(section.showsCount, titles.size() == 2);
        QCOMPARE(section.opensSettings, titles.size() == 5);
    }
    QCOMPARE(titles,
             (QStringList{english(CopyKey::sidebarHome), english(CopyKey::sidebarAllApps),
                          english(CopyKey::sidebarSelected), english(CopyKey::sidebarUpdates),
                          english(CopyKey::sidebarPreferences)}));

    store.setErrorMessage(u"Boom"_s);
    QVERIFY(shell.hasError());
    QCOMPARE(shell.errorMessage(), u"Boom"_s);
    shell.clearError();
    QCOMPARE(store.errorMessage(), std::nullopt);

    store.setFeedbackState(FeedbackSubmissionState::failed(u"offline"_s));
    shell.openFeedbackSheet();
    QVERIFY(store.feedbackState() == FeedbackSubmissionState::idle());
    QVERIFY(shell.showingFeedbackSheet());
}

void TestUiModels::announcementWaitsForOnboarding() {
    ModelStore s;
    LauncherStore& store =
        startWithAnnouncement(s, {publishedApp(u"alpha"_s)}, announcementOf(u"alpha"_s));
    ShellViewModel shell;
    shell.setStore(&store);
    QVERIFY(shell.requiresOnboarding());
    QVERIFY(shell.hasPendingAnnouncement());
    QVERIFY(!shell.showsAnnouncement());

    QSignalSpy changed(&shell, &ShellViewModel::announcementChanged);
    store.setOnboardingComplete(true);
    QVERIFY(!changed.isEmpty());
    QVERIFY(shell.showsAnnouncement());
    QCOMPARE(shell.announcement().title, u"Meet alpha"_s);
    QCOMPARE(shell.announcedApp().id, u"alpha"_s);

    shell.acknowledgeAnnouncement();
    QVERIFY(!shell.showsAnnouncement());
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

void TestUiModels::copyFollowsLocale() {
    ModelStore s;
    LauncherStore& store = s.start(catalogWith({}));
    CopyBridge copy(&store);
    QCOMPARE(copy.textMap().value(u"ok"_s).toString(), english(CopyKey::ok));
    QCOMPARE(copy.textMap().size(), CopyKeys::allCases().size());

    QSignalSpy changed(&copy, &CopyBridge::textsChanged);
    store.setLocale(NimbaraLocale::de);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(copy.textMap().value(u"sidebarHome"_s).toString(),
             NimbaraCopy::text(CopyKey::sidebarHome, NimbaraLocale::de));
    QCOMPARE(
        copy.fill(copy.textMap().value(u"appListSubtitle"_s).toString(), {{u"count"_s, 3}}),
        NimbaraCopy::text(CopyKey::appListSubtitle, NimbaraLocale::de, {{u"count"_s, u"3"_s}}));
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
