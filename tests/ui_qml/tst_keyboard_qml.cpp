// The main window by keyboard alone: Tab walks every control in reading order and the focused
// one wears the accent ring; arrows move the selection through the tiles; Return and Space press
// what has the focus; assistive technology can press controls and read what is selected; the
// standard commands work from every window.

#include "qml_harness.h"
#include "support/catalog_samples.h"
#include "support/test_registry.h"

#include <QAccessible>
#include <QKeySequence>
#include <QQuickItem>
#include <QSignalSpy>
#include <QTest>

using namespace nimbara;
using namespace nimbara::test;
using namespace Qt::StringLiterals;

namespace {

bool isWithin(const QQuickItem* item, const QQuickItem* ancestor) {
    for (; item; item = item->parentItem()) {
        if (item == ancestor) {
            return true;
        }
    }
    return false;
}

// The focus rings shown anywhere below `item`.
QList<QQuickItem*> shownRings(QQuickItem* item) {
    QList<QQuickItem*> rings;
    if (item->objectName() == u"focusRing"_s && item->isVisible()) {
        rings.append(item);
    }
    for (QQuickItem* child : item->childItems()) {
        rings += shownRings(child);
    }
    return rings;
}

// Empty when exactly one ring shows and it outlines the focused item or the frame around it (a
// text field's box); else what is wrong.
QString ringFault(const QmlLauncher& launcher) {
    const QList<QQuickItem*> rings = shownRings(launcher.window->contentItem());
    QQuickItem* focused = launcher.window->activeFocusItem();
    if (rings.size() != 1) {
        return u"%1 rings at %2"_s.arg(rings.size()).arg(launcher.focusedName());
    }
    if (!isWithin(rings.first(), focused) && !isWithin(focused, rings.first()->parentItem())) {
        return u"the ring is not on "_s + launcher.focusedName();
    }
    return {};
}

// The focused item's name, or "detail" for a control of the wide detail column.
QString focusedStop(const QmlLauncher& launcher) {
    QQuickItem* focused = launcher.window->activeFocusItem();
    if (focused && isWithin(focused, launcher.item(u"wideDetailView"_s))) {
        return u"detail"_s;
    }
    return launcher.focusedName();
}

QList<AppManifestItem> apps(int count) {
    QList<AppManifestItem> list;
    for (int i = 0; i < count; ++i) {
        list.append(publishedApp(u"app%1"_s.arg(i)));
    }
    return list;
}

QQuickItem* tile(const QmlLauncher& launcher, int index) {
    return launcher.item(u"appTile_app%1"_s.arg(index));
}

// Presses the control through assistive technology.
void pressAccessibly(QQuickItem* item) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(item);
    QVERIFY(accessible && accessible->actionInterface());
    accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}

const QStringList topBarAndSidebar{u"searchField"_s,           u"topQuickSwitchButton"_s,
                                   u"topMenuButton"_s,         u"sidebarRow0"_s,
                                   u"sidebarRow1"_s,           u"sidebarRow2"_s,
                                   u"sidebarRow3"_s,           u"sidebarRow4"_s,
                                   u"sidebarFeedbackButton"_s, u"sidebarQuickSwitcherButton"_s};

} // namespace

class TestKeyboardQml : public QmlTest {
    Q_OBJECT

private Q_SLOTS:
    void tabWalksEveryControl_data() {
        QTest::addColumn<QList<AppManifestItem>>("catalog");
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("backwards");
        QTest::addColumn<QStringList>("library");  // the stops between sidebar and detail
        QTest::addColumn<bool>("detail");          // the walk passes the detail column
        const QStringList grid{u"appTile_app0"_s}; // the selected app's tile
        QTest::newRow("tiles, wide") << apps(3) << 1200 << false << grid << true;
        QTest::newRow("tiles, wide, Backtab") << apps(3) << 1200 << true << grid << true;
        QTest::newRow("tiles, compact") << apps(3) << 960 << false << grid << false;
        QTest::newRow("featured card")
            << apps(1) << 1200 << false << QStringList{u"featuredCard"_s} << true;
        QTest::newRow("empty catalog, Backtab")
            << apps(0) << 1200 << true << QStringList{u"refreshCatalogButton"_s} << false;
    }

    // From the search field, Tab goes once round the window: top bar, sidebar, library, detail,
    // and back to the search field; Backtab the same way back. At every stop exactly one ring
    // shows, on the focused control.
    void tabWalksEveryControl() {
        QFETCH(QList<AppManifestItem>, catalog);
        QFETCH(int, width);
        QFETCH(bool, backwards);
        QFETCH(QStringList, library);
        QFETCH(bool, detail);
        QmlLauncher launcher(catalogWith(catalog));
        QVERIFY(launcher.shown());
        launcher.resize(width);
        launcher.item(u"searchField"_s)->forceActiveFocus(Qt::TabFocusReason);

        QStringList walked{focusedStop(launcher)};
        for (int step = 0; step < 40 && (walked.size() == 1 || walked.last() != walked.first());
             ++step) {
            launcher.key(backwards ? Qt::Key_Backtab : Qt::Key_Tab);
            walked.append(focusedStop(launcher));
            QCOMPARE(ringFault(launcher), QString());
        }
        walked.removeLast(); // back at the start
        if (backwards) {
            std::reverse(walked.begin() + 1, walked.end());
        }
        QStringList expected = topBarAndSidebar + library;
        // The detail column's controls follow, however many it has.
        while (detail && walked.size() > expected.size() &&
               walked.at(expected.size()) == u"detail"_s) {
            expected.append(u"detail"_s);
        }
        QCOMPARE(walked, expected);
        QVERIFY(!detail || expected.last() == u"detail"_s);
    }

    // A click focuses without a ring; a key afterwards shows it.
    void clickShowsNoRing() {
        QmlLauncher launcher(catalogWith(apps(3)));
        QVERIFY(launcher.shown());
        launcher.resize(1200);
        for (QQuickItem* clicked : {launcher.item(u"sidebarRow1"_s), tile(launcher, 1)}) {
            launcher.click(clicked);
            QVERIFY(launcher.window->activeFocusItem());
            QVERIFY(shownRings(launcher.window->contentItem()).isEmpty());
        }
        QCOMPARE(launcher.focusedName(), u"appTile_app1"_s);
        launcher.key(Qt::Key_Right);
        QCOMPARE(launcher.focusedName(), u"appTile_app2"_s);
        QCOMPARE(ringFault(launcher), QString());
    }

    void arrowsMoveSelection_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<QList<Qt::Key>>("keys");
        QTest::addColumn<int>("steps"); // expected tiles moved, before clamping
        QTest::addColumn<int>("rows");  // expected rows moved, before clamping
        QTest::newRow("right") << 0 << QList{Qt::Key_Right} << 1 << 0;
        QTest::newRow("left from the first") << 0 << QList{Qt::Key_Left} << -1 << 0;
        QTest::newRow("down") << 1 << QList{Qt::Key_Down} << 0 << 1;
        QTest::newRow("up from the first row") << 1 << QList{Qt::Key_Up} << 0 << -1;
        QTest::newRow("right past the last") << 6 << QList{Qt::Key_Right} << 1 << 0;
        QTest::newRow("down past the last row") << 5 << QList{Qt::Key_Down} << 0 << 1;
    }

    // Arrows walk the tiles by one, or by a row of the grid's columns, stopping at the first and
    // last tile; the tile reached is the selected app, outlined, ringed and shown in the detail.
    void arrowsMoveSelection() {
        QFETCH(int, start);
        QFETCH(QList<Qt::Key>, keys);
        QFETCH(int, steps);
        QFETCH(int, rows);
        const int count = 7;
        QmlLauncher launcher(catalogWith(apps(count)));
        QVERIFY(launcher.shown());
        launcher.resize(1400);
        QQuickItem* grid = launcher.item(u"libraryGrid"_s);
        QVERIFY(grid);
        const int columns = grid->property("columns").toInt();
        QVERIFY2(columns >= 2 && columns < count - 1, "the grid needs several full rows");
        launcher.store->setSelectedAppID(u"app%1"_s.arg(start));
        launcher.settle();
        tile(launcher, start)->forceActiveFocus(Qt::TabFocusReason);
        for (const Qt::Key key : keys) {
            launcher.key(key);
        }
        const int expected = std::clamp(start + steps + rows * columns, 0, count - 1);
        QCOMPARE(launcher.store->selectedApp()->id, u"app%1"_s.arg(expected));
        QCOMPARE(launcher.focusedName(), u"appTile_app%1"_s.arg(expected));
        for (int i = 0; i < count; ++i) {
            QQuickItem* each = tile(launcher, i);
            QVERIFY(each);
            QCOMPARE(each->property("marked").toBool(), i == expected);
        }
        QCOMPARE(ringFault(launcher), QString());
        QVERIFY(
            isWithin(shownRings(launcher.window->contentItem()).first(), tile(launcher, expected)));
    }

    void keysPressTheFocusedControl_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<bool>("accessibly"); // pressed through assistive technology instead
        for (const bool accessibly : {false, true}) {
            const char* how = accessibly ? ", accessibly" : "";
            QTest::addRow("sidebar row, Return%s", how)
                << u"sidebarRow2"_s << Qt::Key_Return << accessibly;
            QTest::addRow("tile, Space%s", how) << u"appTile_beta"_s << Qt::Key_Space << accessibly;
            QTest::addRow("button, Return%s", how)
                << u"sidebarFeedbackButton"_s << Qt::Key_Return << accessibly;
        }
        QTest::newRow("sidebar row, Space") << u"sidebarRow3"_s << Qt::Key_Space << false;
        QTest::newRow("tile, Return") << u"appTile_beta"_s << Qt::Key_Return << false;
    }

    // With the focus on a control (a tile: the one under the grid's cursor), the key
    // or the screen reader's press does what a click does: a row chooses its section (and reads
    // as checked), a tile selects its app and opens it, a button runs its action.
    void keysPressTheFocusedControl() {
        QFETCH(QString, control);
        QFETCH(Qt::Key, key);
        QFETCH(bool, accessibly);
        QmlLauncher launcher(catalogWith({publishedApp(u"alpha"_s), publishedApp(u"beta"_s)}));
        QVERIFY(launcher.shown());
        launcher.resize(960);
        QQuickItem* shell = launcher.item(u"launcherShell"_s);
        // All apps, searched down to beta while alpha is selected: the cursor is on beta, which
        // is not yet selected.
        shell->setProperty("selectedSection", 1);
        shell->setProperty("searchText", u"beta"_s);
        launcher.store->setSelectedAppID(u"alpha"_s);
        launcher.settle();
        QQuickItem* target = launcher.item(control);
        QVERIFY(target);
        QVERIFY(!target->property("marked").toBool());

        if (accessibly) {
            pressAccessibly(target);
            launcher.settle();
        } else {
            target->forceActiveFocus(Qt::TabFocusReason);
            launcher.key(key);
        }

        if (control.startsWith(u"sidebarRow"_s)) {
            const int section = control.right(1).toInt();
            QCOMPARE(shell->property("selectedSection").toInt(), section);
            QAccessibleInterface* row = QAccessible::queryAccessibleInterface(target);
            QVERIFY(row->state().checkable && row->state().checked);
        } else if (control.startsWith(u"appTile"_s)) {
            QCOMPARE(launcher.store->selectedApp()->id, u"beta"_s);
            QVERIFY(shell->property("showCompactDetail").toBool());
            QVERIFY(target->property("marked").toBool());
            QVERIFY(QAccessible::queryAccessibleInterface(target)->state().checked);
        } else {
            QVERIFY(launcher.store->showingFeedbackSheet());
        }
    }

    void announcementKeepsTheKeyboard_data() {
        QTest::addColumn<bool>("appListed");
        QTest::addColumn<QStringList>("tabStops"); // after the dismiss button
        QTest::newRow("open enabled")
            << true << QStringList{u"announcementOpenButton"_s, u"announcementDismissButton"_s};
        QTest::newRow("open disabled") << false << QStringList{u"announcementDismissButton"_s};
    }

    // The popup takes the keyboard and Tab goes round its enabled buttons only, ringing each; a
    // disabled button is faded, so it does not look clickable, and a screen reader cannot press it.
    void announcementKeepsTheKeyboard() {
        QFETCH(bool, appListed);
        QFETCH(QStringList, tabStops);
        // A retired app is in the catalog yet not shown, so there is nothing to open.
        LauncherManifest catalog =
            catalogWith(apps(2) << publishedApp(u"old"_s, AppReleaseStatus::retired));
        catalog.announcements = {announcementOf(appListed ? u"app1"_s : u"old"_s)};
        QmlLauncher launcher(catalog, true, true);
        QVERIFY(launcher.shown());
        QQuickItem* dismiss = launcher.item(u"announcementDismissButton"_s);
        QQuickItem* open = launcher.item(u"announcementOpenButton"_s);
        QVERIFY(dismiss && open);
        QCOMPARE(launcher.focusedName(), u"announcementDismissButton"_s);
        for (const QString& stop : std::as_const(tabStops)) {
            launcher.key(Qt::Key_Tab);
            QCOMPARE(launcher.focusedName(), stop);
            QCOMPARE(ringFault(launcher), QString());
        }
        QCOMPARE(open->isEnabled(), appListed);
        QCOMPARE(open->opacity() < dismiss->opacity(), !appListed);
        pressAccessibly(open);
        launcher.settle();
        QCOMPARE(launcher.store->pendingAnnouncement().has_value(), !appListed);
    }

    void commandsWorkFromEveryWindow_data() {
        QTest::addColumn<bool>("fromSettings");
        QTest::newRow("main window") << false;
        QTest::newRow("settings window") << true;
    }

    // Ctrl+, brings the settings window; Ctrl+Q asks to quit, wherever the keyboard is.
    void commandsWorkFromEveryWindow() {
        QFETCH(bool, fromSettings);
        QmlLauncher launcher(catalogWith({publishedApp(u"alpha"_s)}));
        QVERIFY(launcher.shown());
        QmlWindow target = launcher;
        if (fromSettings) {
            launcher.key(Qt::Key_Comma, Qt::ControlModifier);
            target = QmlWindow{launcher.actions->settingsWindow()};
            QVERIFY(target.window && target.window->isVisible() && target.activate());
        }
        QSignalSpy quit(launcher.object(u"quitShortcut"_s), SIGNAL(activated()));
        target.key(Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(quit.count(), 1);
    }

    // The top bar's quick-switch button shows its key in the platform's own words; the
    // sidebar's narrower one gives it on hover.
    void quickSwitchButtonsGiveTheirKey() {
        QmlLauncher launcher(catalogWith({publishedApp(u"alpha"_s)}));
        QVERIFY(launcher.shown());
        const QString key = QKeySequence(u"Ctrl+K"_s).toString(QKeySequence::NativeText);
        QStringList shown;
        QList<QQuickItem*> items{launcher.item(u"topQuickSwitchButton"_s)};
        QVERIFY(items.first());
        while (!items.isEmpty()) {
            QQuickItem* item = items.takeFirst();
            if (item->isVisible() && item->inherits("QQuickText")) {
                shown.append(item->property("text").toString());
            }
            items.append(item->childItems());
        }
        QVERIFY2(shown.contains(key), qPrintable(shown.join(u" | "_s)));
        QCOMPARE(launcher.item(u"sidebarQuickSwitcherButton"_s)->property("hint").toString(), key);
    }
};

NIMBARA_REGISTER_TEST(TestKeyboardQml);

#include "tst_keyboard_qml.moc"
