#include "presentation/library_rules.h"
#include "tst_ui_models.h"
#include "ui/library_view_model.h"

#include <QSignalSpy>

using namespace nimbara;
using namespace nimbara::test;
using namespace Qt::StringLiterals;

namespace {

AppManifestItem appWith(const QString& id, const std::function<void(AppManifestItem&)>& change) {
    AppManifestItem app = publishedApp(id);
    change(app);
    return app;
}

QStringList tileIDs(LibraryViewModel& model) {
    QStringList ids;
    for (int row = 0; row < model.apps()->rowCount(); ++row) {
        ids.append(model.apps()->index(row).data(AppListModel::IdRole).toString());
    }
    return ids;
}

} // namespace

void TestUiModels::filteredApps_data() {
    QTest::addColumn<SidebarSection>("section");
    QTest::addColumn<bool>("includeBeta");
    QTest::addColumn<QStringList>("starters");
    QTest::addColumn<QStringList>("updatable");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QList<AppManifestItem>>("apps");
    QTest::addColumn<QStringList>("expected");

    const SidebarSection all = SidebarSection::AllApps;
    const QList<AppManifestItem> notes{
        appWith(u"inkwell"_s, [](auto& a) { a.category = u"notes"_s; }),
        appWith(u"jot"_s,
                [](auto& a) {
                    a.tags = {u"Writing"_s, u"NOTES"_s};
                }),
        appWith(u"ledger"_s, [](auto& a) { a.description = u"Keeps notes of spending"_s; }),
    };
    QTest::newRow("query trimmed and lower-cased")
        << all << true << QStringList() << QStringList() << u"  Notes \n"_s << notes
        << QStringList{u"inkwell"_s, u"jot"_s};
    QTest::newRow("blank query keeps the base list")
        << all << true << QStringList() << QStringList() << u" \t\n "_s << notes
        << QStringList{u"inkwell"_s, u"jot"_s, u"ledger"_s};
    QTest::newRow("tags joined with one space")
        << all << true << QStringList() << QStringList() << u"pdf tools"_s
        << QList{appWith(u"paper"_s,
                         [](auto& a) {
                             a.tags = {u"pdf"_s, u"tools"_s};
                         }),
                 appWith(u"gap"_s,
                         [](auto& a) {
                             a.tags = {u"pdf"_s, u""_s, u"tools"_s};
                         }),
                 appWith(u"split"_s, [](auto& a) { a.tags = {u"pdftools"_s}; })}
        << QStringList{u"paper"_s};
    QTest::newRow("name, tagline and category are searched; ids are not")
        << all << true << QStringList() << QStringList() << u"ink"_s
        << QList{appWith(u"a"_s, [](auto& a) { a.name = u"Inkwell"_s; }),
                 appWith(u"b"_s, [](auto& a) { a.tagline = u"Ink for all"_s; }),
                 appWith(u"c"_s, [](auto& a) { a.category = u"INK"_s; }),
                 appWith(u"ink-d"_s,
                         [](auto& a) {
                             a.name = u"Dee"_s;
                             a.tagline = u"Dee"_s;
                             a.bundleId = u"com.ink.d"_s;
                         })}
        << QStringList{u"a"_s, u"b"_s, u"c"_s};
    QTest::newRow("all apps: no retired, beta only with the flag")
        << all << false << QStringList() << QStringList() << QString()
        << QList{publishedApp(u"live"_s), publishedApp(u"beta"_s, AppReleaseStatus::beta),
                 publishedApp(u"old"_s, AppReleaseStatus::retired), comingSoonApp(u"soon"_s)}
        << QStringList{u"live"_s, u"soon"_s};
    QTest::newRow("selected: published starters, never previews")
        << SidebarSection::Selected << true << QStringList{u"alpha"_s, u"soon"_s, u"missing"_s}
        << QStringList() << QString()
        << QList{publishedApp(u"alpha"_s), comingSoonApp(u"soon"_s), publishedApp(u"gamma"_s)}
        << QStringList{u"alpha"_s};
    QTest::newRow("selected, searched")
        << SidebarSection::Selected << true << QStringList{u"alpha"_s, u"beta"_s} << QStringList()
        << u"BETA"_s << QList{publishedApp(u"alpha"_s), publishedApp(u"beta"_s)}
        << QStringList{u"beta"_s};
    QTest::newRow("updates: update available only")
        << SidebarSection::Updates << true << QStringList() << QStringList{u"beta"_s} << QString()
        << QList{publishedApp(u"alpha"_s), publishedApp(u"beta"_s), comingSoonApp(u"soon"_s)}
        << QStringList{u"beta"_s};
    QTest::newRow("home lists nothing itself")
        << SidebarSection::Home << true << QStringList() << QStringList() << QString()
        << QList{publishedApp(u"alpha"_s)} << QStringList();
}

void TestUiModels::filteredApps() {
    QFETCH(SidebarSection, section);
    QFETCH(bool, includeBeta);
    QFETCH(QStringList, starters);
    QFETCH(QStringList, updatable);
    QFETCH(QString, search);
    QFETCH(QList<AppManifestItem>, apps);
    QFETCH(QStringList, expected);

    const LauncherManifest catalog = catalogWith(apps);
    const QSet<QString> starterIDs(starters.cbegin(), starters.cend());
    QHash<QString, AppInstallState> states;
    for (const AppManifestItem& app : apps) {
        states.insert(app.id, updatable.contains(app.id)
                                  ? AppInstallState::updateAvailable(u"1.0"_s, u"2.0"_s)
                                  : AppInstallState::installed(u"1.0"_s));
    }
    const LibraryInputs inputs{catalog, includeBeta, starterIDs, states};
    QCOMPARE(idsOf(nimbara::filteredApps(SidebarSection(section), inputs, search)), expected);
}

void TestUiModels::tileStatusAndSymbol_data() {
    QTest::addColumn<AppManifestItem>("app");
    QTest::addColumn<AppInstallState>("state");
    QTest::addColumn<bool>("starter");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("symbol");
    QTest::addColumn<int>("accent");

    QTest::newRow("preview, even when selected")
        << comingSoonApp(u"soon"_s) << AppInstallState() << true
        << english(CopyKey::comingSoonTileStatus) << u"clock"_s << int(AppAccent::amber);
    QTest::newRow("not selected") << publishedApp(u"a"_s) << AppInstallState() << false
                                  << u"Not installed"_s << u"star"_s << int(AppAccent::lime);
    QTest::newRow("selected, installing")
        << publishedApp(u"a"_s) << AppInstallState::installing(0.427) << true << u"Installing 42%"_s
        << u"star.fill"_s << int(AppAccent::lime);
    QTest::newRow("failed shows no message")
        << publishedApp(u"a"_s) << AppInstallState::failed(u"Disk full"_s) << false << u"Failed"_s
        << u"star"_s << int(AppAccent::lime);
}

void TestUiModels::tileStatusAndSymbol() {
    QFETCH(AppManifestItem, app);
    QFETCH(AppInstallState, state);
    QFETCH(bool, starter);
    QFETCH(QString, status);
    QFETCH(QString, symbol);
    QFETCH(int, accent);

    QCOMPARE(tileStatus(app, state, NimbaraLocale::en), status);
    const QSet<QString> starters = starter ? QSet<QString>{app.id} : QSet<QString>();
    const StatusSymbol shown = statusSymbol(app, starters);
    QCOMPARE(QString(shown.symbol), symbol);
    QCOMPARE(shown.accent, AppAccent(accent));
}

void TestUiModels::libraryContent_data() {
    QTest::addColumn<SidebarSection>("section");
    QTest::addColumn<QList<AppManifestItem>>("apps");
    QTest::addColumn<LibraryPanel>("panel");
    QTest::addColumn<QStringList>("tiles");
    QTest::addColumn<QString>("subtitle");
    QTest::addColumn<QString>("sectionTitle");
    QTest::addColumn<QString>("emptyTitle"); // empty: no empty state

    const AppManifestItem alpha = publishedApp(u"alpha"_s);
    const AppManifestItem beta = publishedApp(u"beta"_s);
    const AppManifestItem soon = comingSoonApp(u"soon"_s);
    const QString noApps = english(CopyKey::homeSubtitleEmpty);
    const auto readyCount = [](int n) {
        return english(CopyKey::homeSubtitleApps, {{u"count"_s, QString::number(n)}});
    };
    const SidebarSection home = SidebarSection::Home;

    QTest::newRow("empty catalog") << home << QList<AppManifestItem>() << LibraryPanel::EmptyCatalog
                                   << QStringList() << noApps << QString() << QString();
    QTest::newRow("only retired is empty")
        << home << QList{publishedApp(u"old"_s, AppReleaseStatus::retired)}
        << LibraryPanel::EmptyCatalog << QStringList() << noApps << QString() << QString();
    QTest::newRow("previews only")
        << home << QList{soon, comingSoonApp(u"later"_s)} << LibraryPanel::ComingSoon
        << QStringList{u"soon"_s, u"later"_s} << noApps << QString() << QString();
    QTest::newRow("one published app")
        << home << QList{soon, alpha} << LibraryPanel::FirstPublishedApp << QStringList()
        << readyCount(1) << QString() << QString();
    QTest::newRow("several published apps")
        << home << QList{alpha, soon, beta} << LibraryPanel::AppSection
        << QStringList{u"alpha"_s, u"beta"_s} << readyCount(2)
        << english(CopyKey::publishedAppsTitle) << QString();
    QTest::newRow("all apps") << SidebarSection::AllApps << QList{alpha, soon}
                              << LibraryPanel::AppSection << QStringList{u"alpha"_s, u"soon"_s}
                              << readyCount(1) << english(CopyKey::allAppsTitle) << QString();
    QTest::newRow("selected without a published starter")
        << SidebarSection::Selected << QList{soon} << LibraryPanel::AppSection << QStringList()
        << noApps << english(CopyKey::selectedAppsTitle) << english(CopyKey::noSelectedTitle);
    QTest::newRow("updates without an update")
        << SidebarSection::Updates << QList{alpha} << LibraryPanel::AppSection << QStringList()
        << readyCount(1) << english(CopyKey::updatesTitle) << english(CopyKey::noUpdatesTitle);
    QTest::newRow("settings") << SidebarSection::Settings << QList{alpha}
                              << LibraryPanel::EmptyState << QStringList() << readyCount(1)
                              << QString() << english(CopyKey::noAppsTitle);
}

void TestUiModels::libraryContent() {
    QFETCH(SidebarSection, section);
    QFETCH(QList<AppManifestItem>, apps);
    QFETCH(LibraryPanel, panel);
    QFETCH(QStringList, tiles);
    QFETCH(QString, subtitle);
    QFETCH(QString, sectionTitle);
    QFETCH(QString, emptyTitle);

    ModelStore s;
    s.start(catalogWith(apps));
    LibraryViewModel model;
    model.setStore(s.store.get());
    model.setSection(section);

    QCOMPARE(model.panel(), panel);
    QCOMPARE(tileIDs(model), tiles);
    QCOMPARE(model.greeting(), u"Welcome back."_s);
    QCOMPARE(model.subtitle(), subtitle);
    if (!sectionTitle.isEmpty()) {
        QCOMPARE(model.sectionTitle(), sectionTitle);
        QCOMPARE(model.sectionSubtitle(),
                 english(CopyKey::appListSubtitle, {{u"count"_s, QString::number(tiles.size())}}));
    }
    QCOMPARE(model.showsEmptyState(), !emptyTitle.isEmpty());
    if (!emptyTitle.isEmpty()) {
        QCOMPARE(model.emptyTitle(), emptyTitle);
    }
    QCOMPARE(model.featured().id,
             panel == LibraryPanel::FirstPublishedApp ? u"alpha"_s : QString());
}

void TestUiModels::homeIgnoresSearch() {
    ModelStore s;
    s.start(catalogWith({publishedApp(u"alpha"_s), publishedApp(u"beta"_s)}));
    LibraryViewModel model;
    model.setStore(s.store.get());
    model.setSearchText(u"zzz"_s);
    QCOMPARE(model.panel(), LibraryPanel::AppSection);
    QCOMPARE(tileIDs(model), (QStringList{u"alpha"_s, u"beta"_s}));

    model.setSection(SidebarSection::AllApps);
    QCOMPARE(tileIDs(model), QStringList());
    QVERIFY(model.showsEmptyState());
    model.setSearchText(u" Beta"_s);
    QCOMPARE(tileIDs(model), QStringList{u"beta"_s});
    model.setSection(SidebarSection::Home);
    QCOMPARE(tileIDs(model), (QStringList{u"alpha"_s, u"beta"_s}));

    model.chooseApp(u"beta"_s);
    QCOMPARE(s.store->selectedAppID(), std::optional(u"beta"_s));
}

// Tiles and the featured card show the store's current install state and starter selection.
void TestUiModels::tileLabelsFollowStore() {
    const AppManifestItem alpha = publishedApp(u"alpha"_s);
    ModelStore s;
    LauncherStore& store = s.start(catalogWith({alpha, comingSoonApp(u"soon"_s)}));
    LibraryViewModel featured;
    featured.setStore(&store);
    LibraryViewModel all;
    all.setStore(&store);
    all.setSection(SidebarSection::AllApps);
    const QModelIndex tile = all.apps()->index(0);
    QCOMPARE(tile.data(AppListModel::StatusSymbolRole).toString(), u"star.fill"_s);
    QCOMPARE(tile.data(AppListModel::AccessibleNameRole).toString(), u"Alpha, Not installed"_s);
    QCOMPARE(featured.featuredInstallLabel(), u"Not installed"_s);

    QSignalSpy tilesChanged(all.apps(), &QAbstractItemModel::dataChanged);
    const std::shared_ptr<Gate> gate = s.fakes.installer->hold(alpha.id);
    store.install(alpha);
    QVERIFY(!tilesChanged.isEmpty());
    QCOMPARE(store.state(alpha).kind(), AppInstallState::Case::installing);
    const QString installing = store.state(alpha).label(NimbaraLocale::en);
    QCOMPARE(tile.data(AppListModel::TileStatusRole).toString(), installing);
    QCOMPARE(featured.featuredInstallLabel(), installing);

    store.toggleStarterSelection(alpha);
    QCOMPARE(tile.data(AppListModel::StatusSymbolRole).toString(), u"star"_s);
    gate->open();
    QTRY_COMPARE(s.fakes.installer->finished, 1);
    QCOMPARE(featured.featuredInstallLabel(), u"Installed 1.0.0"_s);
}
