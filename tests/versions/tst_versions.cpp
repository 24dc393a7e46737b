#include "catalog/version_order.h"
#include "support/temp_home.h"

#include <QTest>

using namespace nimbara;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(nimbara::VersionOrder)

class TestVersions : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void ordering_data() {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<VersionOrder>("expected");
        const auto row = [](const char* name, const QString& a, const QString& b, VersionOrder o) {
            QTest::newRow(name) << a << b << o;
        };
        using enum VersionOrder;
        // Core components.
        row("trailing zero", u"1.2"_s, u"1.2.0"_s, same);
        row("leading zeros", u"1.02"_s, u"1.2"_s, same);
        row("doubled dots dropped", u"1..2"_s, u"1.2"_s, same);
        row("letter prefix counts 0", u"ver2.0"_s, u"1.0"_s, ascending);
        row("x counts 0", u"1.x"_s, u"1.0"_s, same);
        row("leading blank counts 0", u" 3"_s, u"0"_s, same);
        row("beyond int64 counts 0", u"99999999999999999999"_s, u"0"_s, same);
        row("int64 max is a number", u"9223372036854775807"_s, u"9223372036854775806"_s,
            descending);
        row("empty equals 0.0", QString(), u"0.0"_s, same);
        row("longer core decides", u"1.0.0.1"_s, u"1"_s, descending);
        // Build suffix.
        row("build ignored", u"1.0.0+build.5"_s, u"1.0.0"_s, same);
        row("dash after plus is build", u"1.0.0+x-1"_s, u"1.0.0"_s, same);
        // Pre-release presence and tokens.
        row("text tokens as text", u"1.0.0-rc2"_s, u"1.0.0-rc10"_s, descending);
        row("lower-cased", u"1.0.0-RC.1"_s, u"1.0.0-rc.1"_s, same);
        row("two empty prereleases", u"1.0-"_s, u"1.0.0-"_s, same);
        row("separators only is empty", u"1.0.0-._"_s, u"1.0.0-"_s, same);
        row("separators dropped", u"1.0.0-beta_1"_s, u"1.0.0-beta.1"_s, same);
        row("further dashes separate", u"1.0.0-beta-2"_s, u"1.0.0-beta.2"_s, same);
        row("core decides before prerelease", u"1.0.1-alpha"_s, u"1.0.0"_s, descending);
        row("big number token is text", u"1.0-99999999999999999999"_s, u"1.0-5"_s, descending);
        // Unicode.
        row("unicode letters form runs", u"1.0-\u00e9a"_s, u"1.0-\u00e9.a"_s, descending);
        row("canonically equivalent", u"1.0-e\u0301"_s, u"1.0-\u00e9"_s, same);
        row("non-ascii digits are text", u"1.0-\u0663"_s, u"1.0-3"_s, descending);
        row("scalar order beyond BMP", u"1.0-\U0001D400"_s, u"1.0-\uFB01"_s, descending);
    }

    // Each pair is checked both ways round: the order must be antisymmetric.
    void ordering() {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(VersionOrder, expected);
        QCOMPARE(compareVersions(first, second), expected);
        QCOMPARE(compareVersions(second, first), static_cast<VersionOrder>(-int(expected)));
    }

    // A chain in strictly ascending order: every earlier element orders before every later one
    // (core numbers compare as numbers, a pre-release orders before its release, an empty or
    // shorter token list first, number tokens numerically and before text tokens).
    void chainIsTotallyOrdered() {
        const QStringList chain = u"0.9 1.0.0- 1.0.0-alpha 1.0.0-alpha.1 1.0.0-alpha.beta "
                                  u"1.0.0-beta 1.0.0-beta.2 1.0.0-beta.11 1.0.0-rc.1 1.0.0 "
                                  u"1.0.1 1.9 1.10 2"_s.split(u' ');
        for (qsizetype i = 0; i < chain.size(); ++i) {
            for (qsizetype j = 0; j < chain.size(); ++j) {
                const auto expected = static_cast<VersionOrder>((i > j) - (i < j));
                QVERIFY2(compareVersions(chain[i], chain[j]) == expected,
                         qPrintable(chain[i] + u" vs "_s + chain[j]));
            }
        }
    }
};

NIMBARA_TEST_MAIN(TestVersions)
#include "tst_versions.moc"
