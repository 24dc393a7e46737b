// The standard commands reach the launcher from each of its windows.

#include "qml_harness.h"
#include "support/catalog_samples.h"
#include "support/test_registry.h"

#include <QKeySequence>
#include <QQuickItem>
#include <QSignalSpy>
#include <QTest>

using namespace nimbara;
using namespace nimbara::test;
using namespace Qt::StringLiterals;

class TestShortcutsQml : public QmlTest {
    Q_OBJECT

private Q_SLOTS:
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
            QQuickWindow* settings = launcher.actions->settingsWindow();
            QVERIFY(settings && settings->isVisible());
            target = QmlWindow{settings};
            QVERIFY(target.activate());
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
        QQuickItem* top = launcher.item(u"topQuickSwitchButton"_s);
        QVERIFY(top);
        QStringList shown;
        QList<QQuickItem*> items{top};
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

NIMBARA_REGISTER_TEST(TestShortcutsQml);

#include "tst_shortcuts_qml.moc"
