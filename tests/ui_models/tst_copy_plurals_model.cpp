// The screens' text table fills counted texts in the plural form of the store's language, and
// follows a language switch.

#include "model_store.h"
#include "support/test_registry.h"
#include "ui/copy_bridge.h"

#include <QTest>

using namespace nimbara;
using namespace nimbara::test;
using namespace Qt::StringLiterals;

class TestCopyPluralsModel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fill_data() {
        QTest::addColumn<NimbaraLocale>("locale");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariantMap>("values");
        QTest::addColumn<QString>("expected");
        const auto count = [](int n) {
            return QVariantMap{{u"count"_s, n}};
        };
        QTest::newRow("en one") << NimbaraLocale::en << u"onboardingSelectedCount"_s << count(1)
                                << u"1 app selected"_s;
        QTest::newRow("pl few") << NimbaraLocale::pl << u"onboardingStatus"_s << count(22)
                                << u"22 aplikacje gotowe do instalacji"_s;
        QTest::newRow("count as a fraction") << NimbaraLocale::en << u"appListSubtitle"_s
                                             << QVariantMap{{u"count"_s, 1.5}} << u"1.5 apps"_s;
        QTest::newRow("other texts as before")
            << NimbaraLocale::pl << u"installInstalling"_s << QVariantMap{{u"progress"_s, 1}}
            << u"Instalowanie 1%"_s;
    }

    void fill() {
        QFETCH(NimbaraLocale, locale);
        QFETCH(QString, key);
        QFETCH(QVariantMap, values);
        QFETCH(QString, expected);
        ModelStore s;
        LauncherStore& store = s.start(catalogWith({}));
        // Starts in another language, so the switch must reach the fill.
        store.setLocale(locale == NimbaraLocale::en ? NimbaraLocale::de : NimbaraLocale::en);
        CopyBridge copy(&store);
        store.setLocale(locale);
        QCOMPARE(copy.fill(copy.textMap().value(key).toString(), values), expected);
    }
};

NIMBARA_REGISTER_TEST(TestCopyPluralsModel);

#include "tst_copy_plurals_model.moc"
