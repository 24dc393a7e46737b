// The tray menu built over a store on substitutes: what it lists, and what its items do.

#include "model_store.h"
#include "support/catalog_samples.h"
#include "support/test_registry.h"
#include "ui/application_actions.h"
#include "ui/launcher_tray_menu.h"

#include <QMenu>
#include <QQuickWindow>
#include <QTest>

using namespace nimbara;
using namespace nimbara::test;
using namespace Qt::StringLiterals;

namespace {

const QString separator = u"---"_s;

// The menu as text: "---" for a separator, a disabled item's text in brackets.
QStringList menuLines(const QMenu& menu) {
    QStringList lines;
    for (const QAction* action : menu.actions()) {
        if (action->isSeparator()) {
            lines.append(separator);
        } else {
            lines.append(action->isEnabled() ? action->text() : u'[' + action->text() + u']');
        }
    }
    return lines;
}

QAction* actionNamed(const QMenu& menu, const QString& text) {
    for (QAction* action : menu.actions()) {
        if (action->text() == text) {
            return action;
        }
    }
    return nullptr;
}

// Open, separator, `middle`, separator, feedback.
QStringList framed(const QStringList& middle) {
    return QStringList{english(CopyKey::openNimbara), separator} + middle +
           QStringList{separator, english(CopyKey::sendFeedback)};
}

// A tray menu over a started store, with a hidden main window it can bring forward.
struct TrayFixture {
    ModelStore s;
    std::unique_ptr<ApplicationActions> actions;
    QQuickWindow window;
    std::unique_ptr<LauncherTrayMenu> tray;

    LauncherTrayMenu& start(const LauncherManifest& catalog) {
        LauncherStore& store = s.start(catalog);
        actions = std::make_unique<ApplicationActions>(store);
        actions->setMainWindow(&window);
        tray = std::make_unique<LauncherTrayMenu>(store, *actions, nullptr, u"Nimbara"_s);
        return *tray;
    }
};

} // namespace

class TestTrayMenuModel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void listsTheFirstPublishedApps_data() {
        QTest::addColumn<QList<AppManifestItem>>("apps");
        QTest::addColumn<bool>("canCheckForUpdates");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("previews only") << QList<AppManifestItem>{comingSoonApp(u"soon"_s)} << false
                                       << framed({u'[' + english(CopyKey::emptyTitle) + u']'});

        // Twelve published apps with previews among them: the first eight published, in order.
        QList<AppManifestItem> twelve;
        QStringList firstEight;
        for (int index = 1; index <= 12; ++index) {
            twelve.append(publishedApp(u"app%1"_s.arg(index)));
            if (index <= 8) {
                firstEight.append(u"App%1"_s.arg(index));
            }
            if (index % 3 == 0) {
                twelve.append(comingSoonApp(u"soon%1"_s.arg(index)));
            }
        }
        QTest::newRow("twelve apps") << twelve << false << framed(firstEight);

        QTest::newRow("an updater that can check")
            << QList<AppManifestItem>{publishedApp(u"alpha"_s)} << true
            << framed({u"Alpha"_s}) + QStringList{separator, english(CopyKey::menuCheckForUpdates)};
    }

    void listsTheFirstPublishedApps() {
        QFETCH(QList<AppManifestItem>, apps);
        QFETCH(bool, canCheckForUpdates);
        QFETCH(QStringList, expected);
        TrayFixture f;
        LauncherTrayMenu& tray = f.start(catalogWith(apps));
        tray.setCanCheckForUpdates(canCheckForUpdates);
        QCOMPARE(menuLines(tray.menu()), expected);
        for (const QAction* action : tray.menu().actions()) {
            QVERIFY2(action->isSeparator() || !action->isEnabled() || !action->icon().isNull(),
                     qPrintable(action->text()));
        }
    }

    void offersUpdateAll_data() {
        QTest::addColumn<int>("updates"); // of the three installed apps
        QTest::newRow("one update: offered alone") << 1;
        QTest::newRow("two updates") << 2;
        QTest::newRow("three updates") << 3;
    }

    // "Update all (N)" follows the apps in the menu while two or more have an update; choosing it
    // starts updating them, and the item then stops the run.
    void offersUpdateAll() {
        QFETCH(int, updates);
        TrayFixture f;
        const QList<AppManifestItem> apps{publishedApp(u"alpha"_s), publishedApp(u"bravo"_s),
                                          publishedApp(u"charlie"_s)};
        for (int index = 0; index < apps.size(); ++index) {
            f.s.persistInstalled(apps[index], index < updates ? u"0.9.0"_s : u"1.0.0"_s);
            f.s.fakes.installer->hold(apps[index].id);
        }
        LauncherTrayMenu& tray = f.start(catalogWith(apps));
        const QString title =
            english(CopyKey::updateAllAction, {{u"count"_s, QString::number(updates)}});
        const QStringList names{u"Alpha"_s, u"Bravo"_s, u"Charlie"_s};
        if (updates < 2) {
            QCOMPARE(menuLines(tray.menu()), framed(names));
            return;
        }
        QCOMPARE(menuLines(tray.menu()), framed(names + QStringList{title}));
        actionNamed(tray.menu(), title)->trigger();
        QVERIFY(f.s.store->updateAllInProgress());
        const QString stop = english(CopyKey::cancelUpdateAllAction);
        QCOMPARE(menuLines(tray.menu()), framed(names + QStringList{stop}));
        actionNamed(tray.menu(), stop)->trigger();
        QTRY_VERIFY(!f.s.store->updateAllInProgress());
        QCOMPARE(menuLines(tray.menu()), framed(names + QStringList{title}));
    }

    void followsTheStore_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("locale") << u"locale"_s
                                << QStringList{
                                       NimbaraCopy::text(CopyKey::openNimbara, NimbaraLocale::pl),
                                       separator,
                                       u"Alpha"_s,
                                       u"Beta"_s,
                                       separator,
                                       NimbaraCopy::text(CopyKey::sendFeedback, NimbaraLocale::pl)};
        QTest::newRow("beta apps hidden") << u"beta"_s << framed({u"Alpha"_s});
        QTest::newRow("catalog reloaded") << u"catalog"_s << framed({u"Gamma"_s});
    }

    // The menu is rebuilt when the store's catalog, language or beta choice changes.
    void followsTheStore() {
        QFETCH(QString, change);
        QFETCH(QStringList, expected);
        TrayFixture f;
        LauncherTrayMenu& tray = f.start(catalogWith(
            {publishedApp(u"alpha"_s), publishedApp(u"beta"_s, AppReleaseStatus::beta)}));
        LauncherStore& store = *f.s.store;
        if (change == u"locale"_s) {
            store.setLocale(NimbaraLocale::pl);
        } else if (change == u"beta"_s) {
            store.setIncludeBetaApps(false);
        } else {
            f.s.fakes.manifestLoader->catalog = catalogWith({publishedApp(u"gamma"_s)});
            QCoro::Task<> loading = store.loadManifest();
            settle();
        }
        QCOMPARE(menuLines(tray.menu()), expected);
    }

    void choosingAnAppActsByItsState_data() {
        QTest::addColumn<QString>("state");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<bool>("installStarted");
        QTest::newRow("not installed: installs") << u"notInstalled"_s << false << true;
        QTest::newRow("failed: installs again") << u"failed"_s << false << true;
        QTest::newRow("installed: opens") << u"installed"_s << true << false;
        QTest::newRow("update available: opens") << u"updateAvailable"_s << true << false;
        QTest::newRow("installing: only selects") << u"installing"_s << false << false;
        QTest::newRow("needs a newer system: only selects") << u"newerSystem"_s << false << false;
    }

    // Choosing an app brings the window forward and selects the app; then it opens an
    // installed app, installs one that can be installed, and otherwise does nothing more.
    void choosingAnAppActsByItsState() {
        QFETCH(QString, state);
        QFETCH(bool, opened);
        QFETCH(bool, installStarted);
        TrayFixture f;
        const AppManifestItem alpha = publishedApp(u"alpha"_s);
        const AppManifestItem other = publishedApp(u"other"_s);
        if (state == u"installed"_s) {
            f.s.persistInstalled(alpha, u"1.0.0"_s);
        } else if (state == u"updateAvailable"_s) {
            f.s.persistInstalled(alpha, u"0.9.0"_s);
        } else if (state == u"newerSystem"_s) {
            f.s.fakes.systemInformation->version = {12, 6, 0}; // the app needs 13.0
        }
        LauncherTrayMenu& tray = f.start(catalogWith({other, alpha}));
        LauncherStore& store = *f.s.store;
        std::shared_ptr<Gate> held;
        if (state == u"failed"_s) {
            f.s.fakes.installer->failures.insert(
                alpha.id, std::make_exception_ptr(FakeError(u"broken"_s, u"Fake.broken"_s)));
            store.install(alpha);
            QTRY_COMPARE(store.state(alpha).kind(), AppInstallState::Case::failed);
            f.s.fakes.installer->failures.clear();
            store.setErrorMessage(std::nullopt);
        } else if (state == u"installing"_s) {
            held = f.s.fakes.installer->hold(alpha.id);
            store.install(alpha);
        }
        const qsizetype installsBefore = f.s.fakes.installer->calls.size();
        store.setSelectedAppID(other.id);

        QAction* item = actionNamed(tray.menu(), alpha.name);
        QVERIFY(item);
        item->trigger();
        settle();

        QVERIFY(f.window.isVisible());
        QCOMPARE(store.selectedAppID(), std::optional<QString>(alpha.id));
        if (opened) {
            QTRY_COMPARE(f.s.fakes.workspace->opened,
                         QList<QUrl>{QUrl::fromLocalFile(f.s.fakes.bundlePath(alpha.name))});
        } else {
            QVERIFY(f.s.fakes.workspace->opened.isEmpty());
        }
        QCOMPARE(f.s.fakes.installer->calls.size() - installsBefore, installStarted ? 1 : 0);
        QCOMPARE(store.errorMessage(), std::nullopt);
        if (held) { // let the held install finish rather than leave it suspended
            held->open();
            QTRY_COMPARE(store.state(alpha).kind(), AppInstallState::Case::installed);
        }
    }

    // Send feedback brings the window forward and opens an empty feedback sheet.
    void feedbackOpensAFreshSheet() {
        TrayFixture f;
        LauncherTrayMenu& tray = f.start(catalogWith({publishedApp(u"alpha"_s)}));
        LauncherStore& store = *f.s.store;
        store.setFeedbackState(FeedbackSubmissionState::failed(u"earlier"_s));
        QAction* item = actionNamed(tray.menu(), english(CopyKey::sendFeedback));
        QVERIFY(item);
        item->trigger();
        QVERIFY(f.window.isVisible());
        QVERIFY(store.showingFeedbackSheet());
        QCOMPARE(store.feedbackState(), FeedbackSubmissionState::idle());
    }
};

NIMBARA_REGISTER_TEST(TestTrayMenuModel);

#include "tst_tray_menu_model.moc"
