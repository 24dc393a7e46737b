// The quick switcher in the real main window, driven by key presses and clicks.

#include "qml_harness.h"
#include "support/catalog_samples.h"
#include "support/test_registry.h"

#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

using namespace nimbara;
using namespace nimbara::test;
using namespace Qt::StringLiterals;

namespace {

LauncherManifest threeApps() {
    return catalogWith(
        {publishedApp(u"alpha"_s), publishedApp(u"beta"_s), publishedApp(u"gamma"_s)});
}

bool switcherRequested(const QmlLauncher& launcher) {
    return launcher.item(u"rootView"_s)->property("showQuickSwitcher").toBool();
}

QObject* switcherModel(const QmlLauncher& launcher) {
    QQuickItem* switcher = launcher.item(u"quickSwitcher"_s);
    return switcher ? switcher->property("viewModel").value<QObject*>() : nullptr;
}

} // namespace

class TestQuickSwitcherQml : public QmlTest {
    Q_OBJECT

private Q_SLOTS:
    // Ctrl+K from the search field opens the switcher (the field does not take the key); each
    // opening starts empty with the first row selected and the field taking the typing;
    // Escape closes it and gives the focus back.
    void opensFreshEachTime() {
        QmlLauncher launcher(threeApps());
        QVERIFY(launcher.shown());
        QQuickItem* search = launcher.item(u"searchField"_s);
        search->forceActiveFocus();
        launcher.type(u"notes"_s);
        launcher.key(Qt::Key_Home);

        for (int opening = 0; opening < 2; ++opening) {
            launcher.key(Qt::Key_K, Qt::ControlModifier);
            QVERIFY(switcherRequested(launcher));
            QObject* model = switcherModel(launcher);
            QVERIFY(model);
            QCOMPARE(launcher.focusedName(), u"quickSwitcherField"_s);
            QCOMPARE(launcher.item(u"quickSwitcherField"_s)->property("text").toString(),
                     QString());
            QCOMPARE(model->property("query").toString(), QString());
            QCOMPARE(model->property("selectedIndex").toInt(), 0);

            launcher.key(Qt::Key_K, Qt::ControlModifier); // while open: changes nothing
            QCOMPARE(switcherModel(launcher), model);
            launcher.type(u"Gam"_s);
            QCOMPARE(model->property("query").toString(), u"Gam"_s);
            for (const Qt::Key key : {Qt::Key_Backspace, Qt::Key_Backspace, Qt::Key_Backspace,
                                      Qt::Key_Down, Qt::Key_Down}) {
                launcher.key(key);
            }
            QCOMPARE(model->property("selectedIndex").toInt(), 2);

            launcher.key(Qt::Key_Escape);
            QVERIFY(!switcherRequested(launcher));
            QVERIFY(search->hasActiveFocus());
        }
        QCOMPARE(launcher.item(u"launcherShell"_s)->property("searchText").toString(), u"notes"_s);
    }

    void closesAndRuns_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("action"); // backdrop, panel, return, row:<id>
        QTest::addColumn<bool>("staysOpen");
        QTest::addColumn<QString>("installed"); // the app Return or the click installed

        QTest::newRow("a click on the backdrop closes")
            << QString() << u"backdrop"_s << false << QString();
        QTest::newRow("a click on the panel does not close")
            << QString() << u"panel"_s << true << QString();
        QTest::newRow("Return runs the selected row")
            << u"be"_s << u"return"_s << false << u"beta"_s;
        QTest::newRow("a click on a row runs it")
            << QString() << u"row:gamma"_s << false << u"gamma"_s;
        QTest::newRow("Return without results stays open")
            << u"zzz"_s << u"return"_s << true << QString();
    }

    // Closing by mouse, and running a row; with nothing found the panel says so in place of the
    // rows, and Return keeps it open.
    void closesAndRuns() {
        QFETCH(QString, typed);
        QFETCH(QString, action);
        QFETCH(bool, staysOpen);
        QFETCH(QString, installed);

        QmlLauncher launcher(threeApps());
        QVERIFY(launcher.shown());
        launcher.key(Qt::Key_K, Qt::ControlModifier);
        QVERIFY(switcherRequested(launcher));
        launcher.type(typed);
        QQuickItem* panel = launcher.item(u"quickSwitcherPanel"_s);
        QVERIFY(panel);
        const bool nothingFound = typed == u"zzz"_s;
        QQuickItem* noResults = launcher.item(u"quickSwitcherNoResults"_s);
        QCOMPARE(noResults->isVisible(), nothingFound);
        QVERIFY(!nothingFound || noResults->height() >= 96);
        QCOMPARE(launcher.item(u"quickSwitcherResults"_s)->isVisible(), !nothingFound);

        if (action == u"return"_s) {
            QTest::keyClick(launcher.window, Qt::Key_Return);
        } else if (action == u"backdrop"_s) {
            const QPoint corner(10, launcher.window->height() - 10);
            QVERIFY(!panel->contains(panel->mapFromScene(corner)));
            QTest::mouseClick(launcher.window, Qt::LeftButton, {}, corner);
        } else if (action == u"panel"_s) {
            launcher.click(launcher.item(u"quickSwitcherCaption"_s));
        } else {
            QQuickItem* row = launcher.item(u"quickSwitcherRow_"_s + action.mid(4));
            QVERIFY(row);
            launcher.click(row);
        }
        launcher.settle();

        QCOMPARE(switcherRequested(launcher), staysOpen);
        QTRY_COMPARE(launcher.fakes.installer->finished, installed.isEmpty() ? 0 : 1);
        QCOMPARE(launcher.fakes.installer->calls.size(), installed.isEmpty() ? 0 : 1);
        if (!installed.isEmpty()) {
            QCOMPARE(launcher.fakes.installer->calls[0].app.id, installed);
            QCOMPARE(launcher.store->selectedAppID(), std::optional(installed));
        }
        if (staysOpen) {
            QVERIFY(launcher.item(u"quickSwitcherField"_s)->hasActiveFocus());
        }
    }

    // More rows than fit: the list scrolls so that the selected row stays in view.
    void selectedRowStaysInView() {
        QList<AppManifestItem> apps;
        for (int i = 0; i < 30; ++i) {
            apps.append(publishedApp(u"app%1"_s.arg(i, 2, 10, QLatin1Char('0'))));
        }
        QmlLauncher launcher(catalogWith(apps));
        QVERIFY(launcher.shown());
        launcher.key(Qt::Key_K, Qt::ControlModifier);
        QQuickItem* list = launcher.item(u"quickSwitcherResults"_s);
        QVERIFY(list && list->height() < 30 * 48);
        for (int i = 0; i < 29; ++i) {
            QTest::keyClick(launcher.window, Qt::Key_Down);
        }
        launcher.settle();
        QQuickItem* last = launcher.item(u"quickSwitcherRow_app29"_s);
        QVERIFY(last);
        const QPointF top = last->mapToItem(list, QPointF(0, 0));
        QVERIFY(top.y() >= 0);
        QVERIFY(top.y() + last->height() <= list->height() + 0.5);
    }
};

NIMBARA_REGISTER_TEST(TestQuickSwitcherQml);

#include "tst_quick_switcher_qml.moc"
