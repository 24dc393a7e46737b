#include "model_store.h"
#include "presentation/detail_rules.h"
#include "presentation/library_rules.h"
#include "presentation/shell_rules.h"
#include "presentation/transfer_text.h"
#include "store/launcher_store.h"
#include "support/catalog_samples.h"
#include "support/fake_collaborators.h"
#include "support/test_registry.h"
#include "text/nimbara_copy.h"
#include "ui/app_detail_view_model.h"
#include "ui/design_resources.h"
#include "ui/library_view_model.h"
#include "ui/shell_view_model.h"

#include <QTest>
#include <memory>

using namespace nimbara;
using namespace nimbara::test;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(nimbara::AppInstallState)
Q_DECLARE_METATYPE(nimbara::AppManifestItem)
Q_DECLARE_METATYPE(QList<nimbara::AppManifestItem>)
Q_DECLARE_METATYPE(nimbara::PrimaryActionKind)

namespace {

QStringList idsOf(const QList<AppManifestItem>& apps) {
    QStringList ids;
    for (const AppManifestItem& app : apps)
        ids.append(app.id);
    return ids;
}

// A published app `id` with `field` set to `value`.
template <typename T>
AppManifestItem appWith(const QString& id, T AppManifestItem::*field, const T& value) {
    AppManifestItem app = publishedApp(id);
    app.*field = value;
    return app;
}

QStringList tileIDs(LibraryViewModel& model) {
    QStringList ids;
    for (int row = 0; row < model.apps()->rowCount(); ++row) {
        ids.append(model.apps()->index(row).data(AppListModel::IdRole).toString());
    }
    return ids;
}

AppManifestItem inCategory(AppManifestItem app, const QString& category) {
    app.category = category;
    return app;
}

} // namespace

// The screens' view models and the pure rules behind them, without QML.
class TestUiModels : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void filteredApps_data() {
        QTest::addColumn<SidebarSection>("section");
        QTest::addColumn<bool>("includeBeta");
        QTest::addColumn<QStringList>("starters");
        QTest::addColumn<QStringList>("updatable");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QList<AppManifestItem>>("apps");
        QTest::addColumn<QStringList>("expected");

        const SidebarSection all = SidebarSection::AllApps;
        using A = AppManifestItem;
        QTest::newRow("query trimmed and lower-cased; descriptions not searched")
            << all << true << QStringList() << QStringList() << u"  Notes \n"_s
            << QList{appWith(u"inkwell"_s, &A::category, u"notes"_s),
                     appWith(u"jot"_s, &A::tags, QStringList{u"Writing"_s, u"NOTES"_s}),
                     appWith(u"ledger"_s, &A::description, u"Keeps notes"_s)}
            << QStringList{u"inkwell"_s, u"jot"_s};
        QTest::newRow("tags joined with one space")
            << all << true << QStringList() << QStringList() << u"pdf tools"_s
            << QList{appWith(u"paper"_s, &A::tags, QStringList{u"pdf"_s, u"tools"_s}),
                     appWith(u"split"_s, &A::tags, QStringList{u"pdftools"_s})}
            << QStringList{u"paper"_s};
        // The last app matches only by its id and bundle identifier.
        AppManifestItem byId = appWith(u"ink-d"_s, &A::bundleId, u"com.ink.d"_s);
        byId.name = byId.tagline = u"Dee"_s;
        QTest::newRow("name, tagline and category are searched; ids are not")
            << all << true << QStringList() << QStringList() << u"ink"_s
            << QList{appWith(u"a"_s, &A::name, u"Inkwell"_s),
                     appWith(u"b"_s, &A::tagline, u"Ink for all"_s),
                     appWith(u"c"_s, &A::category, u"INK"_s), byId}
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
            << SidebarSection::Updates << true << QStringList() << QStringList{u"beta"_s}
            << QString()
            << QList{publishedApp(u"alpha"_s), publishedApp(u"beta"_s), comingSoonApp(u"soon"_s)}
            << QStringList{u"beta"_s};
    }

    void filteredApps() {
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

    void libraryContent_data() {
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
            << home << QString() << QList{soon, comingSoonApp(u"later"_s)}
            << LibraryPanel::ComingSoon << QStringList{u"soon"_s, u"later"_s} << 0 << QString();
        QTest::newRow("one published app")
            << home << QString() << QList{soon, alpha} << LibraryPanel::FirstPublishedApp
            << QStringList() << 1 << QString();
        QTest::newRow("several published apps; home ignores the search")
            << home << u"zzz"_s << several << LibraryPanel::AppSection
            << QStringList{u"alpha"_s, u"beta"_s} << 2 << QString();
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

    void libraryContent() {
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
        QCOMPARE(model.subtitle(), readyCount == 0
                                       ? english(CopyKey::homeSubtitleEmpty)
                                       : english(CopyKey::homeSubtitleApps,
                                                 {{u"count"_s, QString::number(readyCount)}}));
        QCOMPARE(model.showsEmptyState(), !emptyTitle.isEmpty());
        if (!emptyTitle.isEmpty()) {
            QCOMPARE(model.emptyTitle(), emptyTitle);
        }
        QCOMPARE(model.featured().id,
                 panel == LibraryPanel::FirstPublishedApp ? u"alpha"_s : QString());
    }

    // Tiles and the featured card show the store's current install state and starter selection; a
    // preview shows its own status and symbol whatever its state.
    void tileLabelsFollowStore() {
        const AppManifestItem alpha = publishedApp(u"alpha"_s);
        ModelStore s;
        LibraryViewModel featured;
        LauncherStore& store = s.show(featured, catalogWith({alpha, comingSoonApp(u"soon"_s)}));
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

    void primaryActionAndDetail_data() {
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

        QTest::newRow("preview") << comingSoonApp(u"soon"_s) << AppInstallState() << refresh
                                 << preview << false;
        QTest::newRow("no published release comes before the state")
            << badDigest << AppInstallState::installed(u"1.0.0"_s) << refresh << preview << true;
        QTest::newRow("installing")
            << live << AppInstallState::installing(0.5) << PrimaryActionKind::none
            << english(CopyKey::installingDetail) << false;
        QTest::newRow("installed")
            << live << AppInstallState::installed(u"1.0.0"_s) << PrimaryActionKind::open
            << english(CopyKey::installedDetail) << true;
        QTest::newRow("update available")
            << live << AppInstallState::updateAvailable(u"0.9"_s, u"1.0.0"_s)
            << PrimaryActionKind::update << english(CopyKey::updateDetail) << true;
        QTest::newRow("failed shows its message")
            << live << AppInstallState::failed(u"Disk full"_s) << PrimaryActionKind::install
            << u"Disk full"_s << false;
        QTest::newRow("not installed") << live << AppInstallState() << PrimaryActionKind::install
                                       << english(CopyKey::notInstalledDetail) << false;
    }

    void primaryActionAndDetail() {
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

    void updateFeedValue_data() {
        QTest::addColumn<QString>("feed");  // empty: no feed
        QTest::addColumn<QString>("shown"); // empty: no row

        QTest::newRow("no feed") << QString() << QString();
        QTest::newRow(".local host") << u"http://devbox.local:8080/appcast.xml"_s << QString();
        QTest::newRow(".local in capitals") << u"https://BUILD.LOCAL/appcast.xml"_s << QString();
        QTest::newRow("local as a subdomain")
            << u"https://local.example.com/a.xml"_s << u"https://local.example.com/a.xml"_s;
        QTest::newRow(".localhost")
            << u"https://example.localhost/a.xml"_s << u"https://example.localhost/a.xml"_s;
    }

    // The feed's row is the last metadata row, present only when the feed is shown.
    void updateFeedValue() {
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
    void detailFollowsSelection() {
        ModelStore s;
        AppDetailViewModel detail;
        LauncherStore& store =
            s.show(detail, catalogWith({publishedApp(u"alpha"_s), comingSoonApp(u"soon"_s)}));
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

    void downloadDetail_data() {
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
        QTest::newRow("size not known")
            << en << 12'400'000LL << 0LL << 3.1e6 << u"12.4 MB · 3.1 MB/s"_s;
        QTest::newRow("units change where the rounded figure reaches 1000")
            << en << 999'960'000LL << 2'500'000'000LL << 450e3
            << u"1 GB of 2.5 GB · 450 kB/s · 56 min left"_s;
        QTest::newRow("no rate yet") << en << 1'000LL << 2'000LL << 0.0 << QString();
    }

    void downloadDetail() {
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
    void detailDuringDownload() {
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

    void sortedCategories_data() {
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

    void sortedCategories() {
        QFETCH(QStringList, categories);
        QFETCH(QStringList, expected);

        QList<AppManifestItem> apps;
        for (const QString& category : categories) {
            apps.append(inCategory(publishedApp(u"app%1"_s.arg(apps.size())), category));
        }
        QCOMPARE(nimbara::sortedCategories(apps), expected);
    }

    // The sidebar counts and categorises the visible apps, following the beta setting.
    void shellCountsVisibleApps() {
        ModelStore s;
        ShellViewModel shell;
        LauncherStore& store = s.show(
            shell,
            catalogWith(
                {inCategory(publishedApp(u"live"_s), u"Utilities"_s),
                 inCategory(publishedApp(u"beta"_s, AppReleaseStatus::beta), u"Audio"_s),
                 inCategory(publishedApp(u"old"_s, AppReleaseStatus::retired), u"Archive"_s)}));
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

    void displayFamily_data() {
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QString>("chosen");

        QTest::newRow("Inter Tight first")
            << QStringList{u"Inter"_s, u"Inter Tight"_s} << u"Inter Tight"_s;
        QTest::newRow("then Inter") << QStringList{u"DejaVu Sans"_s, u"Inter"_s} << u"Inter"_s;
        QTest::newRow("else the default sans") << QStringList{u"Inter Display"_s} << u"Sans"_s;
    }

    void displayFamily() {
        QFETCH(QStringList, installed);
        QFETCH(QString, chosen);
        QCOMPARE(DesignResources::chooseDisplayFamily(installed, u"Sans"_s), chosen);
    }
};

NIMBARA_REGISTER_TEST(TestUiModels);

#include "tst_ui_models.moc"
