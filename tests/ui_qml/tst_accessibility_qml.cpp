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

// Visible items that are controls or take focus with Tab, yet have no accessible name:
// "<objectName or type> (role)" each.
void collectUnnamed(QQuickItem* item, QStringList& unnamed, int& controls) {
    if (!item->isVisible() || item->opacity() <= 0.0) {
        return;
    }
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(item);
    const QAccessible::Role role = accessible ? accessible->role() : QAccessible::NoRole;
    if (isControlRole(role) || item->activeFocusOnTab()) {
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
        QTest::addColumn<bool>("onboarded");
        QTest::addColumn<int>("width");
        QTest::newRow("shell, wide") << true << 1200;
        QTest::newRow("shell, compact") << true << 960;
        QTest::newRow("onboarding") << false << 1060;
    }

    void everyControlIsNamed() {
        QFETCH(bool, onboarded);
        QFETCH(int, width);
        LauncherManifest catalog = catalogWith(
            {publishedApp(u"alpha"_s), publishedApp(u"beta"_s), comingSoonApp(u"soon"_s)});
        QmlLauncher launcher(catalog, onboarded);
        QVERIFY(launcher.shown());
        launcher.resize(width);
        QQuickItem* shell = launcher.item(u"launcherShell"_s);
        if (shell) {
            shell->setProperty("showCompactDetail", true);
        }
        launcher.settle();

        QStringList unnamed;
        int controls = 0;
        collectUnnamed(launcher.window->contentItem(), unnamed, controls);
        QVERIFY2(controls >= 5, "the walk reaches the window's controls");
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(u", "_s)));
    }
};

NIMBARA_REGISTER_TEST(TestAccessibilityQml);

#include "tst_accessibility_qml.moc"
