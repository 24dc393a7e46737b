#include "presentation/library_rules.h"
#include "tst_ui_models.h"
#include "ui/library_view_model.h"

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
    QTest::newRow("query trimmed and lower-cased; descriptions not searched")
        << all << true << QStringList() << QStringList() << u"  Notes \n"_s
        << QList{appWith(u"inkwell"_s, [](auto& a) { a.category = u"notes"_s; }),
                 appWith(u"jot"_s,
                         [](auto& a) {
                             a.tags = {u"Writing"_s, u"NOTES"_s};
                         }),
                 appWith(u"ledger"_s, [](auto& a) { a.description = u"Keeps notes"_s; })}
        << QStringList{u"inkwell"_s, u"jot"_s};
    QTest::newRow("tags joined with one space")
        << all << true << QStringList() << QStringList() << u"pdf tools"_s
        << QList{appWith(u"paper"_s,
                         [](auto& a) {
                             a.tags = {u"pdf"_s, u"tools"_s};
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
    QTest::newRow("updates: update available only")
        << SidebarSection::Updates << true << QStringList() << QStringList{u"beta"_s} << QString()
        << QList{publishedApp(u"alpha"_s), publishedApp(u"beta"_s), comingSoonApp(u"soon"_s)}
        << QStringList{u"beta"_s};
}

void TestUiModels::filteredApps() {
    QFETCH(SidebarSection, section);
    QFETCH(bool, includeBeta);
    QFETCH(QStringList, starters);
    QFETCH(QStringList, updatable);
    QFETCH(QString, search);
    QFETCH(QList<AppManifestItem>, apps);
    QFETCH(QStringList, expected);

    QHash<QString, AppInstallState> states;
    for (const AppManifestItem& app : apps) {
        states.insert(app.id, updatable.contains(app.id)
                                  ? AppInstallState::updateAvailable(u"1.0"_s, u"2.0"_s)
                                  : AppInstallState::installed(u"1.0"_s));
    }
    const LibraryInputs inputs{catalogWith(apps), includeBeta,
                               QSet<QString>(starters.cbegin(), starters.cend()), states};
    QCOMPARE(idsOf(nimbara::filteredApps(section, inputs, search)), expected);
}

void TestUiModels::libraryContent_data() {
    QTest::addColumn<SidebarSection>("section");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QList<AppManifestItem>>("apps");
    QTest::addColumn<LibraryPanel>("panel");
    QTest::addColumn<QStringList>("tiles");
    QTest::addColumn<int>("readyCount");     // the home subtitle's count of published apps
    QTest::addColumn<QString>("emptyTitle"); // empty: no empty state

    const AppManifestItem alpha = publishedApp(u"alpha"_s);
    const AppManifestItem soon = comingSoonApp(u"soon"_s);
    const QList<AppManifestItem> several{alpha, soon, publishedApp(u"beta"_s)};
    const SidebarSection home = SidebarSection::Home;
    const SidebarSection all = SidebarSection::AllApps;

    QTest::newRow("only retired is empty")
        << home << QString() << QList{publishedApp(u"old"_s, AppReleaseStatus::retired)}
        << LibraryPanel::EmptyCatalog << QStringList() << 0 << QString();
    QTest::newRow("previews only")
        << home << QString() << QList{soon, comingSoonApp(u"later"_s)} << LibraryPanel::ComingSoon
        << QStringList{u"soon"_s, u"later"_s} << 0 << QString();
    QTest::newRow("one published app")
        << home << QString() << QList{soon, alpha} << LibraryPanel::FirstPublishedApp
        << QStringList() << 1 << QString();
    QTest::newRow("several published apps; home ignores the search")
        << home << u"zzz"_s << several << LibraryPanel::AppSection
        << QStringList{u"alpha"_s, u"beta"_s} << 2 << QString();
    QTest::newRow("all apps, searched") << all << u" Beta"_s << several << LibraryPanel::AppSection
                                        << QStringList{u"beta"_s} << 2 << QString();
    QTest::newRow("all apps, nothing found")
        << all << u"zzz"_s << several << LibraryPanel::AppSection << QStringList() << 2
        << english(CopyKey::noAppsTitle);
    QTest::newRow("selected without a published starter")
        << SidebarSection::Selected << QString() << QList{soon} << LibraryPanel::AppSection
        << QStringList() << 0 << english(CopyKey::noSelectedTitle);
    QTest::newRow("settings") << SidebarSection::Settings << QString() << QList{alpha}
                              << LibraryPanel::EmptyState << QStringList() << 1
                              << english(CopyKey::noAppsTitle);
}

void TestUiModels::libraryContent() {
    QFETCH(SidebarSection, section);
    QFETCH(QString, search);
    QFETCH(QList<AppManifestItem>, apps);
    QFETCH(LibraryPanel, panel);
    QFETCH(QStringList, tiles);
    QFETCH(int, readyCount);
    QFETCH(QString, emptyTitle);

    ModelStore s;
    s.start(catalogWith(apps));
    LibraryViewModel model;
    model.setStore(s.store.get());
    model.setSection(section);
    model.setSearchText(search);
    QCOMPARE(tileIDs(model), tiles);
    model.setSection(SidebarSection::Settings); // and back: rebuilt with the search in place
    model.setSection(section);

    QCOMPARE(model.panel(), panel);
    QCOMPARE(tileIDs(model), tiles);
    QCOMPARE(model.subtitle(),
             readyCount == 0
                 ? english(CopyKey::homeSubtitleEmpty)
                 : english(CopyKey::homeSubtitleApps, {{u"count"_s, QString::number(readyCount)}}));
    QCOMPARE(model.showsEmptyState(), !emptyTitle.isEmpty());
    if (!emptyTitle.isEmpty()) {
        QCOMPARE(model.emptyTitle(), emptyTitle);
    }
    QCOMPARE(model.featured().id,
             panel == LibraryPanel::FirstPublishedApp ? u"alpha"_s : QString());
}

// Tiles and the featured card show the store's current install state and starter selection; a
// preview shows its own status and symbol whatever its state.
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
    const QModelIndex preview = all.apps()->index(1);
    QCOMPARE(tile.data(AppListModel::StatusSymbolRole).toString(), u"star.fill"_s);
    QCOMPARE(tile.data(AppListModel::AccessibleNameRole).toString(), u"Alpha, Not installed"_s);
    QCOMPARE(featured.featuredInstallLabel(), u"Not installed"_s);
    QCOMPARE(preview.data(AppListModel::TileStatusRole).toString(),
             english(CopyKey::comingSoonTileStatus));
    QCOMPARE(preview.data(AppListModel::StatusSymbolRole).toString(), u"clock"_s);

    const std::shared_ptr<Gate> gate = s.fakes.installer->hold(alpha.id);
    store.install(alpha);
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
