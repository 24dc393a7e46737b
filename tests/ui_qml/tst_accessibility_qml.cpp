// Every control a user can reach, in every window and layer of the launcher, says what it is to
// assistive technology and lies within the room its layout gives it.

#include "qml_harness.h"
#include "support/catalog_samples.h"
#include "support/test_registry.h"

#include <QAccessible>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

using namespace nimbara;
using namespace nimbara::test;
using namespace Qt::StringLiterals;

namespace {

// Roles of things a user operates.
bool isControlRole(QAccessible::Role role) {
    switch (role) {
    case QAccessible::Button:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::Link:
    case QAccessible::PageTab:
    case QAccessible::Slider:
    case QAccessible::SpinBox:
    case QAccessible::MenuItem:
        return true;
    default:
        return false;
    }
}

// Visible items that are controls or take focus with Tab (when enabled) yet have no accessible
// name, and controls that reach past the sides of the room their parent gives them (cut off or
// overlapping their neighbours): one line each.
void collectFaults(QQuickItem* item, QStringList& faults, int& controls) {
    if (!item->isVisible() || item->opacity() <= 0.0) {
        return;
    }
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(item);
    const QAccessible::Role role = accessible ? accessible->role() : QAccessible::NoRole;
    if (isControlRole(role) || (item->activeFocusOnTab() && item->isEnabled())) {
        ++controls;
        const QString name = item->objectName().isEmpty()
                                 ? QString::fromLatin1(item->metaObject()->className())
                                 : item->objectName();
        if (!accessible || accessible->text(QAccessible::Name).trimmed().isEmpty()) {
            faults.append(u"%1 (role %2) has no name"_s.arg(name).arg(int(role)));
        }
        // Controls sit in the room their layouts gave them (views may overhang on purpose, and
        // what a view scrolls is its own business).
        QQuickItem* parent = item->parentItem();
        const bool scrolled =
            parent->parentItem() && parent->parentItem()->inherits("QQuickFlickable");
        // What the control draws: its own rectangle and its parts (a switch's indicator).
        const QRectF bounds =
            item->mapRectToScene(item->boundingRect().united(item->childrenRect()));
        const QRectF room = parent->mapRectToScene(parent->boundingRect());
        if (isControlRole(role) && !scrolled &&
            (bounds.left() < room.left() - 0.5 || bounds.right() > room.right() + 0.5)) {
            faults.append(u"%1 reaches past its parent"_s.arg(name));
        }
    }
    for (QQuickItem* child : item->childItems()) {
        collectFaults(child, faults, controls);
    }
}

} // namespace

class TestAccessibilityQml : public QmlTest {
    Q_OBJECT

private Q_SLOTS:
    void everyControlIsNamedAndWhole_data() {
        QTest::addColumn<QString>("scene");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("leastControls");
        QTest::newRow("shell, wide") << u"shell"_s << 1200 << 5;
        QTest::newRow("shell, compact") << u"shell"_s << 960 << 5;
        QTest::newRow("onboarding") << u"onboarding"_s << 1060 << 3;
        QTest::newRow("quick switcher") << u"switcher"_s << 1060 << 3;
        QTest::newRow("feedback sheet") << u"feedback"_s << 1060 << 5;
        QTest::newRow("settings window") << u"settings"_s << 1060 << 6;
    }

    void everyControlIsNamedAndWhole() {
        QFETCH(QString, scene);
        QFETCH(int, width);
        QFETCH(int, leastControls);
        LauncherManifest catalog = catalogWith(
            {publishedApp(u"alpha"_s), publishedApp(u"beta"_s), comingSoonApp(u"soon"_s)});
        QmlLauncher launcher(catalog, scene != u"onboarding"_s);
        QVERIFY(launcher.shown());
        launcher.resize(width);
        if (QQuickItem* shell = launcher.item(u"launcherShell"_s)) {
            shell->setProperty("showCompactDetail", true);
        }
        QQuickWindow* window = launcher.window;
        if (scene == u"switcher"_s) {
            launcher.item(u"rootView"_s)->setProperty("showQuickSwitcher", true);
        } else if (scene == u"feedback"_s) {
            launcher.store->setShowingFeedbackSheet(true);
        } else if (scene == u"settings"_s) {
            launcher.actions->showSettingsWindow();
            window = launcher.actions->settingsWindow();
            QVERIFY(window);
        }
        launcher.settle();
        QTest::qWait(250); // layers fade in

        QStringList faults;
        int controls = 0;
        collectFaults(window->contentItem(), faults, controls);
        QVERIFY2(controls >= leastControls, "the walk reaches the window's controls");
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u", "_s)));
    }
};

NIMBARA_REGISTER_TEST(TestAccessibilityQml);

#include "tst_accessibility_qml.moc"
