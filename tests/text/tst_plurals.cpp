#include "placeholders.h"
#include "support/test_registry.h"
#include "text/copy_key.h"
#include "text/copy_plurals.h"
#include "text/nimbara_copy.h"
#include "text/nimbara_locale.h"

#include <QRegularExpression>
#include <QSet>
#include <QtTest>

using namespace nimbara;
using nimbara::test::placeholders;
using namespace Qt::StringLiterals;
using L = NimbaraLocale;

Q_DECLARE_METATYPE(nimbara::NimbaraLocale)
Q_DECLARE_METATYPE(nimbara::CopyKey)

class TestPlurals : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The whole filled text for the counts where the languages' rules part ways (every such count
    // once), and each further text in each of its forms.
    void counted_data() {
        QTest::addColumn<CopyKey>("key");
        QTest::addColumn<L>("locale");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<QString>("expected");
        const auto rows = [](CopyKey key, L locale,
                             const QList<std::pair<qint64, QString>>& cases) {
            for (const auto& [count, expected] : cases) {
                QTest::addRow("%s %s %lld", CopyKeys::rawValue(key).data(),
                              NimbaraLocales::rawValue(locale).data(), count)
                    << key << locale << count << expected;
            }
        };
        rows(CopyKey::appListSubtitle, L::en,
             {{0, u"0 apps"_s}, {1, u"1 app"_s}, {2, u"2 apps"_s}, {21, u"21 apps"_s}});
        rows(CopyKey::appListSubtitle, L::pl,
             {{0, u"0 aplikacji"_s},
              {1, u"1 aplikacja"_s},
              {2, u"2 aplikacje"_s},
              {5, u"5 aplikacji"_s},
              {12, u"12 aplikacji"_s},
              {14, u"14 aplikacji"_s},
              {22, u"22 aplikacje"_s},
              {104, u"104 aplikacje"_s},
              {111, u"111 aplikacji"_s},
              {-1, u"-1 aplikacji"_s}});
        rows(CopyKey::appListSubtitle, L::de,
             {{0, u"0 Apps"_s}, {1, u"1 App"_s}, {22, u"22 Apps"_s}});
        rows(CopyKey::homeSubtitleApps, L::en,
             {{1, u"1 app is ready to install."_s}, {2, u"2 apps are ready to install."_s}});
        rows(CopyKey::homeSubtitleApps, L::pl,
             {{1, u"1 aplikacja jest gotowa do instalacji."_s},
              {3, u"3 aplikacje są gotowe do instalacji."_s},
              {13, u"13 aplikacji jest gotowych do instalacji."_s}});
        rows(CopyKey::quickResults, L::pl,
             {{1, u"Aplikacje · 1 wynik"_s},
              {2, u"Aplikacje · 2 wyniki"_s},
              {5, u"Aplikacje · 5 wyników"_s}});
        rows(CopyKey::quickResults, L::de,
             {{1, u"Apps · 1 Ergebnis"_s}, {2, u"Apps · 2 Ergebnisse"_s}});
        rows(CopyKey::onboardingSelectedCount, L::pl,
             {{1, u"1 wybrana"_s}, {4, u"4 wybrane"_s}, {12, u"12 wybranych"_s}});
        rows(CopyKey::uninstallEverythingConfirmBody, L::en,
             {{1, u"1 app and Nimbara will be moved to the Trash, and Nimbara will quit. App data "
                  u"stays on this computer."_s}});
    }

    void counted() {
        QFETCH(CopyKey, key);
        QFETCH(L, locale);
        QFETCH(qint64, count);
        QFETCH(QString, expected);
        QCOMPARE(NimbaraCopy::counted(key, locale, count), expected);
        // A count handed over as a text value takes the same path.
        QCOMPARE(NimbaraCopy::text(key, locale, {{u"count"_s, QString::number(count)}}), expected);
    }

    // Every text with a {{count}} has its forms in every language, with the same placeholders as
    // its template, which is itself one of the forms; texts without a count have none.
    void everyCountTextHasForms() {
        for (const L locale : NimbaraLocales::allCases()) {
            QSet<QString> countTemplates;
            for (const CopyKey key : CopyKeys::allCases()) {
                const QString name =
                    CopyKeys::rawValue(key) + u' ' + NimbaraLocales::rawValue(locale);
                const std::optional<PluralForms> forms = copy_table::plurals(key, locale);
                const QString base = NimbaraCopy::templateFor(key, locale);
                if (!NimbaraCopy::templateFor(key, L::en).contains(u"{{count}}"_s)) {
                    QVERIFY2(!forms, qPrintable(name));
                    continue;
                }
                QVERIFY2(forms, qPrintable(name));
                QCOMPARE(forms->few.isEmpty(), locale != L::pl);
                QList<QStringView> all = {forms->one, forms->many};
                if (locale == L::pl) {
                    all.append(forms->few);
                }
                for (const QStringView form : all) {
                    QVERIFY2(placeholders(form) == placeholders(base),
                             qPrintable(name + u": "_s + form.toString()));
                }
                QVERIFY2(all.contains(QStringView(base)), qPrintable(name));
                // The screens recognise a count text by its template, so each is distinct.
                QVERIFY2(!countTemplates.contains(base), qPrintable(name));
                countTemplates.insert(base);
            }
        }
    }
};

NIMBARA_REGISTER_TEST(TestPlurals);

#include "tst_plurals.moc"
