// Every control a user can reach, in every window and layer of the launcher, says what it is to
// assistive technology.

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

// Visible items that are controls or take focus with Tab (when enabled), yet have no accessible
// name:
// "<objectName or type> (role)" each.
void collectUnnamed(QQuickItem* item, QStringList& unnamed, int& controls) {
    if (!item->isVisible() || item->opacity() <= 0.0) {
        return;
    }
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(item);
    const QAccessible::Role role = accessible ? accessible->role() : QAccessible::NoRole;
    if (isControlRole(role) || (item->activeFocusOnTab() && item->isEnabled())) {
        ++controls;
        if (!accessible || accessible->text(QAccessible::Name).trimmed().isEmpty()) {
            const QString name = item->objectName().isEmpty()
                                     ? QString::fromLatin1(item->metaObject()->className())
                                     : item->objectName();
            unnamed.append(u"%1 (role %2)"_s.arg(name).arg(int(role)));
        }
    }
    for (QQuickItem* child : item->childItems()) {
        collectUnnamed(child, unnamed, controls);
    }
}

} // namespace

class TestAccessibilityQml : public QmlTest {
    Q_OBJECT

private Q_SLOTS:
    void everyControlIsNamed_data() {
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

    void everyControlIsNamed() {
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

        QStringList unnamed;
        int controls = 0;
        collectUnnamed(window->contentItem(), unnamed, controls);
        QVERIFY2(controls >= leastControls, "the walk reaches the window's controls");
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(u", "_s)));
    }
};

NIMBARA_REGISTER_TEST(TestAccessibilityQml);

#include "tst_accessibility_qml.moc"
