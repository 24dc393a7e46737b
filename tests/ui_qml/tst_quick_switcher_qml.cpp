// The quick switcher in the real main window, driven by key presses and clicks.

#include "qml_harness.h"
#include "support/catalog_samples.h"
#include "support/test_registry.h"
#include "text/nimbara_copy.h"

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

// Types `text` key by key into whatever has the focus.
void type(QWindow* window, const QString& text) {
    for (const QChar ch : text) {
        QTest::keyClick(window, ch.toLatin1());
    }
}

void pressQuickSwitchShortcut(const QmlLauncher& launcher) {
    QTest::keyClick(launcher.window, Qt::Key_K, Qt::ControlModifier);
    launcher.settle();
}

} // namespace

class TestQuickSwitcherQml : public QmlTest {
    Q_OBJECT

private Q_SLOTS:
    // Each opening starts empty, with the first row selected and the field taking the typing;
    // closing gives the focus back.
    void opensFreshEachTime() {
        QmlLauncher launcher(threeApps());
        QVERIFY(launcher.shown());
        QVERIFY(launcher.activate());
        QQuickItem* search = launcher.item(u"searchField"_s);
        search->forceActiveFocus();

        for (int opening = 0; opening < 2; ++opening) {
            pressQuickSwitchShortcut(launcher);
            QVERIFY(switcherRequested(launcher));
            QObject* model = switcherModel(launcher);
            QVERIFY(model);
            QQuickItem* field = launcher.item(u"quickSwitcherField"_s);
            QVERIFY(field && field->hasActiveFocus());
            QCOMPARE(field->property("text").toString(), QString());
            QCOMPARE(model->property("query").toString(), QString());
            QCOMPARE(model->property("selectedIndex").toInt(), 0);
            QCOMPARE(model->property("resultCount").toInt(), 3);

            // One more press while open changes nothing.
            pressQuickSwitchShortcut(launcher);
            QCOMPARE(switcherModel(launcher), model);

            type(launcher.window, u"Gam"_s);
            launcher.settle();
            QCOMPARE(model->property("query").toString(), u"Gam"_s);
            QCOMPARE(model->property("resultCount").toInt(), 1);
            QVERIFY(launcher.item(u"quickSwitcherRow_gamma"_s));
            QTest::keyClick(launcher.window, Qt::Key_Backspace);
            QTest::keyClick(launcher.window, Qt::Key_Backspace);
            QTest::keyClick(launcher.window, Qt::Key_Backspace);
            QTest::keyClick(launcher.window, Qt::Key_Down);
            QTest::keyClick(launcher.window, Qt::Key_Down);
            QCOMPARE(model->property("selectedIndex").toInt(), 2);

            QTest::keyClick(launcher.window, Qt::Key_Escape);
            launcher.settle();
            QVERIFY(!switcherRequested(launcher));
            QVERIFY(search->hasActiveFocus());
        }
        QCOMPARE(launcher.item(u"launcherShell"_s)->property("searchText").toString(), QString());
    }

    void closesAndRuns_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("action"); // escape, backdrop, return, row:<id>
        QTest::addColumn<bool>("staysOpen");
        QTest::addColumn<QString>("installed"); // the app Return or the click installed

        QTest::newRow("Escape closes") << QString() << u"escape"_s << false << QString();
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

    void closesAndRuns() {
        QFETCH(QString, typed);
        QFETCH(QString, action);
        QFETCH(bool, staysOpen);
        QFETCH(QString, installed);

        QmlLauncher launcher(threeApps());
        QVERIFY(launcher.shown());
        QVERIFY(launcher.activate());
        pressQuickSwitchShortcut(launcher);
        QVERIFY(switcherRequested(launcher));
        type(launcher.window, typed);
        launcher.settle();
        QQuickItem* panel = launcher.item(u"quickSwitcherPanel"_s);
        QVERIFY(panel);

        if (action == u"escape"_s) {
            QTest::keyClick(launcher.window, Qt::Key_Escape);
        } else if (action == u"return"_s) {
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

    // With nothing found, the panel says so in place of the rows.
    void noResultsBox() {
        QmlLauncher launcher(threeApps());
        QVERIFY(launcher.shown());
        QVERIFY(launcher.activate());
        pressQuickSwitchShortcut(launcher);
        QQuickItem* box = launcher.item(u"quickSwitcherNoResults"_s);
        QVERIFY(box && !box->isVisible());
        type(launcher.window, u"zzz"_s);
        launcher.settle();
        QVERIFY(box->isVisible());
        QVERIFY(box->height() >= 96);
        QVERIFY(!launcher.item(u"quickSwitcherResults"_s)->isVisible());
        QCOMPARE(
            launcher.item(u"quickSwitcherCaption"_s)->property("text").toString(),
            NimbaraCopy::text(CopyKey::quickResults, NimbaraLocale::en, {{u"count"_s, u"0"_s}}));
    }

    // More rows than fit: the list scrolls so that the selected row stays in view.
    void selectedRowStaysInView() {
        QList<AppManifestItem> apps;
        for (int i = 0; i < 30; ++i) {
            apps.append(publishedApp(u"app%1"_s.arg(i, 2, 10, QLatin1Char('0'))));
        }
        QmlLauncher launcher(catalogWith(apps));
        QVERIFY(launcher.shown());
        QVERIFY(launcher.activate());
        pressQuickSwitchShortcut(launcher);
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
