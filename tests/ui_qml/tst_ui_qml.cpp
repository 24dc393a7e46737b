// The main window's shell: layouts, the alert, the detail's buttons and the search field.

#include "qml_harness.h"
#include "store/launcher_store.h"
#include "support/catalog_samples.h"
#include "support/fake_collaborators.h"
#include "support/test_registry.h"

#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>
#include <QThreadPool>

using namespace nimbara;
using namespace nimbara::test;
using namespace Qt::StringLiterals;

class TestUiQml : public QmlTest {
    Q_OBJECT

private Q_SLOTS:
    void layoutFollowsWidth_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("compact");
        QTest::newRow("1040 is wide") << 1040 << false;
        QTest::newRow("1039 is compact") << 1039 << true;
    }

    void layoutFollowsWidth() {
        QFETCH(int, width);
        QFETCH(bool, compact);
        QmlLauncher launcher(catalogWith({publishedApp(u"alpha"_s), publishedApp(u"beta"_s)}));
        QVERIFY(launcher.shown());
        launcher.resize(width);
        QQuickItem* shell = launcher.item(u"launcherShell"_s);
        QVERIFY(shell);
        QCOMPARE(shell->width(), qreal(width));
        QCOMPARE(shell->property("compact").toBool(), compact);
        QQuickItem* detail = launcher.item(u"wideDetailView"_s);
        QCOMPARE(detail->isVisible(), !compact);
        if (!compact) { // the whole detail column lies inside the window
            QCOMPARE(detail->width(), 390.0);
            QCOMPARE(detail->mapToScene(QPointF(detail->width(), 0)).x(), qreal(width));
            QVERIFY(launcher.item(u"libraryView"_s)->width() >= qMin(520, width - 230 - 391));
        }
        // A tile selects its app; in the compact layout the detail slides in over the library.
        QQuickItem* tile = launcher.item(u"appTile_beta"_s);
        QVERIFY(tile);
        launcher.click(tile);
        QCOMPARE(launcher.store->selectedAppID(), std::optional(u"beta"_s));
        QCOMPARE(launcher.item(u"compactDetailView"_s)->property("isPresented").toBool(), compact);
    }

    void errorAlertClearsMessage_data() {
        QTest::addColumn<bool>("pressOk");
        QTest::newRow("OK button") << true;
        QTest::newRow("Escape key") << false;
    }

    void errorAlertClearsMessage() {
        QFETCH(bool, pressOk);
        QmlLauncher launcher(catalogWith({publishedApp(u"alpha"_s)}));
        QVERIFY(launcher.shown());
        QObject* alert = launcher.object(u"errorAlert"_s);
        QVERIFY(alert && !alert->property("visible").toBool());
        launcher.store->setErrorMessage(u"Alpha could not be installed."_s);
        launcher.settle();
        QVERIFY(alert->property("opened").toBool() || alert->property("visible").toBool());
        QCOMPARE(alert->property("message").toString(), u"Alpha could not be installed."_s);

        if (pressOk) {
            QQuickItem* ok = launcher.item(u"alertAcceptButton"_s);
            QVERIFY(ok);
            launcher.click(ok);
        } else {
            launcher.key(Qt::Key_Escape);
        }
        QVERIFY(!alert->property("visible").toBool());
        QCOMPARE(launcher.store->errorMessage(), std::nullopt);
    }

    // The detail column's own buttons, pressed with the mouse: install, then open, then remove
    // (confirmed in the alert, the button off meanwhile, keeping the app's data) reach the store's
    // collaborators.
    void detailButtonsReachStore() {
        const AppManifestItem alpha = publishedApp(u"alpha"_s);
        QmlLauncher launcher(catalogWith({alpha}));
        QVERIFY(launcher.shown());
        QQuickItem* detail = launcher.item(u"wideDetailView"_s);
        QVERIFY(detail);
        QQuickItem* primary = QmlLauncher::findItem(detail, u"primaryActionButton"_s);
        QVERIFY(primary);

        const std::shared_ptr<Gate> gate = launcher.fakes.installer->hold(alpha.id);
        launcher.click(primary);
        QVERIFY(!primary->isEnabled());
        gate->open();
        QTRY_COMPARE(launcher.fakes.installer->finished, 1);
        QCOMPARE(launcher.fakes.installer->calls.size(), 1);
        launcher.settle();
        launcher.click(primary);                      // now the open button
        QThreadPool::globalInstance()->waitForDone(); // the app is opened on a worker
        launcher.settle();
        QCOMPARE(launcher.fakes.workspace->opened.size(), 1);

        QQuickItem* remove = QmlLauncher::findItem(detail, u"removeButton"_s);
        QVERIFY(remove && remove->isVisible());
        launcher.click(remove);
        QQuickItem* confirm = nullptr;
        for (QObject* dialog : launcher.window->findChildren<QObject*>(u"removeConfirmation"_s)) {
            if (dialog->property("visible").toBool()) {
                confirm = dialog->findChild<QQuickItem*>(u"alertAcceptButton"_s);
            }
        }
        QVERIFY2(confirm, "the removal is confirmed before anything is removed");
        QVERIFY(launcher.fakes.uninstaller->requests.isEmpty());
        std::optional<bool> enabledDuringRemoval;
        launcher.fakes.uninstaller->onRemove = [&](const AppRemovalRequest&) {
            enabledDuringRemoval = remove->isEnabled();
        };
        launcher.click(confirm);
        QTRY_COMPARE(launcher.fakes.uninstaller->requests.size(), 1);
        QVERIFY(!launcher.fakes.uninstaller->requests[0].deleteData);
        QCOMPARE(enabledDuringRemoval, std::optional(false));
        launcher.settle();
        QVERIFY(!remove->isVisible());
    }

    void searchEmpties_data() {
        QTest::addColumn<bool>("byButton");
        QTest::newRow("Escape") << false;
        QTest::newRow("clear button") << true;
    }

    // The library's search empties by key and by its clear button; either way the button goes,
    // the field keeps the keyboard and typing again searches again.
    void searchEmpties() {
        QFETCH(bool, byButton);
        QmlLauncher launcher(catalogWith({publishedApp(u"alpha"_s), publishedApp(u"beta"_s)}));
        QVERIFY(launcher.shown());
        QQuickItem* field = launcher.item(u"searchField"_s);
        QQuickItem* clear = launcher.item(u"clearSearchButton"_s);
        QQuickItem* shell = launcher.item(u"launcherShell"_s);
        QVERIFY(field && clear && !clear->isVisible());
        field->forceActiveFocus();
        launcher.type(u"zz"_s);
        QCOMPARE(field->property("text").toString(), u"zz"_s);
        QVERIFY(clear->isVisible());

        byButton ? launcher.click(clear) : launcher.key(Qt::Key_Escape);
        QCOMPARE(field->property("text").toString(), QString());
        QVERIFY(!clear->isVisible());
        QCOMPARE(shell->property("searchText").toString(), QString());
        QCOMPARE(launcher.focusedName(), u"searchField"_s);
        launcher.type(u"b"_s);
        QCOMPARE(shell->property("searchText").toString(), u"b"_s);
    }
};

NIMBARA_REGISTER_TEST(TestUiQml);

#include "tst_ui_qml.moc"
