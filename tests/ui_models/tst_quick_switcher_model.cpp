// The quick switcher's model over a store on substitutes: which apps it lists, how the arrows
// move the selection and what Return does for each install state.

#include "core/logging.h"
#include "model_store.h"
#include "platform/detached_task.h"
#include "support/catalog_samples.h"
#include "support/test_registry.h"
#include "ui/quick_switcher_view_model.h"

#include <QTest>
#include <QThreadPool>

using namespace nimbara;
using namespace nimbara::test;
using namespace Qt::StringLiterals;

namespace {

AppManifestItem described(const QString& id, const QString& name, const QString& tagline,
                          const QString& category, const QStringList& tags = {}) {
    AppManifestItem app = publishedApp(id);
    app.name = name;
    app.tagline = tagline;
    app.category = category;
    app.tags = tags;
    app.description = u"Keeps your notes in order"_s;
    return app;
}

QStringList resultIDs(const QuickSwitcherViewModel& model) {
    QStringList ids;
    for (const AppManifestItem& app : model.resultApps()) {
        ids.append(app.id);
    }
    return ids;
}

// Three apps that every query of the key tests below matches ("a" is in each name).
QList<AppManifestItem> threeApps() {
    return {publishedApp(u"alpha"_s), publishedApp(u"beta"_s), publishedApp(u"gamma"_s)};
}

} // namespace

class TestQuickSwitcherModel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void results_data() {
        QTest::addColumn<QList<AppManifestItem>>("apps");
        QTest::addColumn<bool>("includeBeta");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("expected");

        const QList<AppManifestItem> mixed{publishedApp(u"live"_s), comingSoonApp(u"soon"_s),
                                           publishedApp(u"old"_s, AppReleaseStatus::retired),
                                           publishedApp(u"trial"_s, AppReleaseStatus::beta)};
        const QList<AppManifestItem> described3{
            described(u"inkwell"_s, u"Inkwell"_s, u"Quiet writing"_s, u"Writing"_s),
            described(u"jot"_s, u"Jot"_s, u"Quick NOTES for later"_s, u"Productivity"_s),
            described(u"ledger"_s, u"Ledger"_s, u"Money"_s, u"Finance"_s,
                      {u"notes"_s, u"budget"_s})};

        QTest::newRow("empty query: every published app, never previews or retired")
            << mixed << true << QString() << QStringList{u"live"_s, u"trial"_s};
        QTest::newRow("beta apps only with the flag")
            << mixed << false << QString() << QStringList{u"live"_s};
        // Every description and the ledger's tags say "notes": neither is searched.
        QTest::newRow("tagline, trimmed and case-insensitive")
            << described3 << true << u"  Notes \n"_s << QStringList{u"jot"_s};
        QTest::newRow("category") << described3 << true << u"finan"_s << QStringList{u"ledger"_s};
        QTest::newRow("name") << described3 << true << u"EDG"_s << QStringList{u"ledger"_s};
        QTest::newRow("id is not searched")
            << QList{described(u"zeta-app"_s, u"Zed"_s, u"Editor"_s, u"Tools"_s)} << true
            << u"zeta"_s << QStringList();
    }

    void results() {
        QFETCH(QList<AppManifestItem>, apps);
        QFETCH(bool, includeBeta);
        QFETCH(QString, query);
        QFETCH(QStringList, expected);

        ModelStore s;
        LauncherStore& store = s.start(catalogWith(apps));
        store.setIncludeBetaApps(includeBeta);
        QuickSwitcherViewModel model;
        model.setStore(&store);
        model.setQuery(query);
        QCOMPARE(resultIDs(model), expected);
        QCOMPARE(model.results().size(), expected.size());
        QCOMPARE(model.resultsCaption(),
                 english(CopyKey::quickResults, {{u"count"_s, QString::number(expected.size())}}));
    }

    void keys_data() {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("keys"); // d: down, u: up, t: type one more "a"
        QTest::addColumn<int>("selected");

        QTest::newRow("down moves") << QString() << u"d"_s << 1;
        QTest::newRow("down on the last row stays") << QString() << u"dddd"_s << 2;
        QTest::newRow("up on the first row stays") << QString() << u"u"_s << 0;
        QTest::newRow("up after down") << QString() << u"ddu"_s << 1;
        QTest::newRow("typing after moving goes back to the first row")
            << QString() << u"ddt"_s << 0;
        QTest::newRow("no results: the arrows change nothing") << u"zzz"_s << u"du"_s << 0;
    }

    void keys() {
        QFETCH(QString, query);
        QFETCH(QString, keys);
        QFETCH(int, selected);

        ModelStore s;
        QuickSwitcherViewModel model;
        model.setStore(&s.start(catalogWith(threeApps())));
        model.setQuery(query);
        for (const QChar key : keys) {
            if (key == u'd') {
                model.moveDown();
            } else if (key == u'u') {
                model.moveUp();
            } else {
                model.setQuery(model.query() + u'a');
            }
        }
        QCOMPARE(model.selectedIndex(), selected);
    }

    // A catalog refresh while the switcher is open keeps the query and keeps the selection on a
    // row that still exists.
    void catalogRefreshKeepsQuery() {
        ModelStore s;
        QuickSwitcherViewModel model;
        LauncherStore& store = s.show(model, catalogWith(threeApps()));
        model.setQuery(u"a"_s);
        model.moveDown();
        model.moveDown();
        QCOMPARE(model.selectedIndex(), 2);

        s.fakes.manifestLoader->catalog =
            catalogWith({publishedApp(u"delta"_s), publishedApp(u"beta"_s)});
        startDetached(store.loadManifest(), logUi(), u"catalog refresh"_s);
        settle();
        QCOMPARE(model.query(), u"a"_s);
        QCOMPARE(resultIDs(model), (QStringList{u"delta"_s, u"beta"_s}));
        QCOMPARE(model.selectedIndex(), 1);
    }

    void returnRunsSelectedApp_data() {
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<int>("installs"); // installer calls once Return has run
        QTest::addColumn<int>("opens");

        const QString open = english(CopyKey::quickOpenHint);
        const QString install = english(CopyKey::quickInstallHint);
        QTest::newRow("not installed installs") << u"notInstalled"_s << install << 1 << 0;
        QTest::newRow("failed installs again") << u"failed"_s << install << 2 << 0;
        QTest::newRow("installing asks the store to install again")
            << u"installing"_s << install << 1 << 0;
        QTest::newRow("installed opens") << u"installed"_s << open << 0 << 1;
        QTest::newRow("update available opens, no update")
            << u"updateAvailable"_s << open << 0 << 1;
    }

    // Return on the second row: the row is selected in the store, then opened or installed.
    void returnRunsSelectedApp() {
        QFETCH(QString, state);
        QFETCH(QString, hint);
        QFETCH(int, installs);
        QFETCH(int, opens);

        const AppManifestItem target = publishedApp(u"beta"_s);
        ModelStore s;
        if (state == u"installed"_s || state == u"updateAvailable"_s) {
            s.persistInstalled(target, state == u"installed"_s ? target.version : u"0.9.0"_s);
        }
        LauncherStore& store = s.start(catalogWith({publishedApp(u"alpha"_s), target}));
        std::shared_ptr<Gate> running;
        if (state == u"installing"_s) {
            running = s.fakes.installer->hold(target.id);
            store.install(target);
        } else if (state == u"failed"_s) {
            s.fakes.installer->failures.insert(
                target.id, std::make_exception_ptr(FakeError(u"disk full"_s, u"disk full"_s)));
            store.install(target);
            settle();
            s.fakes.installer->failures.clear();
            store.setErrorMessage(std::nullopt);
        }
        QCOMPARE(store.state(target).kind() == AppInstallState::Case::failed, state == u"failed"_s);

        QuickSwitcherViewModel model;
        model.setStore(&store);
        model.moveDown();
        const auto row = model.results().at(1).value<QuickSwitcherRow>();
        QCOMPARE(row.hint, hint);
        QCOMPARE(row.accessibleName, target.name + u", "_s + hint);

        QVERIFY(model.runSelected());
        QThreadPool::globalInstance()->waitForDone(); // an app is opened on a worker
        settle();
        QCOMPARE(store.selectedAppID(), std::optional(target.id));
        QCOMPARE(s.fakes.installer->calls.size(), installs);
        QCOMPARE(s.fakes.workspace->opened.size(), opens);
        if (running) {
            running->open();
            settle();
        }
    }
};

NIMBARA_REGISTER_TEST(TestQuickSwitcherModel);

#include "tst_quick_switcher_model.moc"
