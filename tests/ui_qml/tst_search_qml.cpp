// The library's search field empties by key and by its clear button.

#include "qml_harness.h"
#include "support/catalog_samples.h"
#include "support/test_registry.h"

#include <QQuickItem>
#include <QTest>

using namespace nimbara;
using namespace nimbara::test;
using namespace Qt::StringLiterals;

class TestSearchQml : public QmlTest {
    Q_OBJECT

private Q_SLOTS:
    void searchEmpties_data() {
        QTest::addColumn<bool>("byButton");
        QTest::newRow("Escape") << false;
        QTest::newRow("clear button") << true;
    }

    // Either way the search is empty afterwards, the button is gone and the field still has
    // the keyboard.
    void searchEmpties() {
        QFETCH(bool, byButton);
        QmlLauncher launcher(catalogWith({publishedApp(u"alpha"_s), publishedApp(u"beta"_s)}));
        QVERIFY(launcher.shown());
        QQuickItem* field = launcher.item(u"searchField"_s);
        QQuickItem* clear = launcher.item(u"clearSearchButton"_s);
        QVERIFY(field && clear);
        QVERIFY(!clear->isVisible());
        field->forceActiveFocus();
        launcher.type(u"zz"_s);
        launcher.settle();
        QCOMPARE(field->property("text").toString(), u"zz"_s);
        QVERIFY(clear->isVisible());

        if (byButton) {
            launcher.click(clear);
        } else {
            launcher.key(Qt::Key_Escape);
        }
        launcher.settle();
        QCOMPARE(field->property("text").toString(), QString());
        QVERIFY(!clear->isVisible());
        QCOMPARE(launcher.item(u"launcherShell"_s)->property("searchText").toString(), QString());
        QCOMPARE(launcher.focusedName(), u"searchField"_s);
        // Typing again searches again: the field still follows the shell's search.
        launcher.type(u"b"_s);
        launcher.settle();
        QCOMPARE(launcher.item(u"launcherShell"_s)->property("searchText").toString(), u"b"_s);
    }
};

NIMBARA_REGISTER_TEST(TestSearchQml);

#include "tst_search_qml.moc"
