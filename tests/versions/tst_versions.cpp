#include "catalog/version_order.h"
#include "support/temp_home.h"

#include <QTest>

using namespace nimbara;

Q_DECLARE_METATYPE(nimbara::VersionOrder)

class TestVersions : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void ordering_data();
    void ordering();
    void orderingIsAntisymmetric_data() { ordering_data(); }
    void orderingIsAntisymmetric();
    void sortedListStaysSorted();
};

void TestVersions::ordering_data() {
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<VersionOrder>("expected");

    const auto row = [](const char* name, const QString& a, const QString& b, VersionOrder o) {
        QTest::newRow(name) << a << b << o;
    };
    using enum VersionOrder;
    // Core components.
    row("trailing zero", u"1.2"_qs, u"1.2.0"_qs, same);
    row("1.10 after 1.9", u"1.10"_qs, u"1.9"_qs, descending);
    row("2 after 1.99", u"2"_qs, u"1.99"_qs, descending);
    row("leading zeros", u"1.02"_qs, u"1.2"_qs, same);
    row("doubled dots dropped", u"1..2"_qs, u"1.2"_qs, same);
    row("letter prefix counts 0", u"ver2.0"_qs, u"1.0"_qs, ascending);
    row("x counts 0", u"1.x"_qs, u"1.0"_qs, same);
    row("leading blank counts 0", u" 3"_qs, u"0"_qs, same);
    row("beyond int64 counts 0", u"99999999999999999999"_qs, u"0"_qs, same);
    row("int64 max is a number", u"9223372036854775807"_qs, u"9223372036854775806"_qs, descending);
    row("empty strings", QString(), QString(), same);
    row("empty equals 0", QString(), u"0"_qs, same);
    row("empty equals 0.0", QString(), u"0.0"_qs, same);
    row("longer core decides", u"1.0.0.1"_qs, u"1"_qs, descending);
    // Build suffix.
    row("build ignored", u"1.0.0+build.5"_qs, u"1.0.0"_qs, same);
    row("builds equal", u"1.0.0+a"_qs, u"1.0.0+b"_qs, same);
    row("dash after plus is build", u"1.0.0+x-1"_qs, u"1.0.0"_qs, same);
    // Pre-release presence and tokens.
    row("prerelease before release", u"1.0.0-beta"_qs, u"1.0.0"_qs, ascending);
    row("release after prerelease", u"1.0.0"_qs, u"1.0.0-beta"_qs, descending);
    row("shorter token list first", u"1.0.0-beta"_qs, u"1.0.0-beta.1"_qs, ascending);
    row("number tokens numeric", u"1.0.0-beta.2"_qs, u"1.0.0-beta.11"_qs, ascending);
    row("text tokens as text", u"1.0.0-rc2"_qs, u"1.0.0-rc10"_qs, descending);
    row("number before text", u"1.0.0-alpha.1"_qs, u"1.0.0-alpha.beta"_qs, ascending);
    row("lower-cased", u"1.0.0-RC.1"_qs, u"1.0.0-rc.1"_qs, same);
    row("empty prerelease before release", u"1.0.0-"_qs, u"1.0.0"_qs, ascending);
    row("empty prerelease before alpha", u"1.0.0-"_qs, u"1.0.0-alpha"_qs, ascending);
    row("two empty prereleases", u"1.0-"_qs, u"1.0.0-"_qs, same);
    row("separators only is empty", u"1.0.0-._"_qs, u"1.0.0-"_qs, same);
    row("separators dropped", u"1.0.0-beta_1"_qs, u"1.0.0-beta.1"_qs, same);
    row("further dashes separate", u"1.0.0-beta-2"_qs, u"1.0.0-beta.2"_qs, same);
    row("core trailing zero with prerelease", u"1.0-beta"_qs, u"1.0.0-beta"_qs, same);
    row("core decides before prerelease", u"1.0.1-alpha"_qs, u"1.0.0"_qs, descending);
    row("big number token is text", u"1.0-99999999999999999999"_qs, u"1.0-5"_qs, descending);
    // Unicode.
    row("unicode letters form runs", u"1.0-\u00e9a"_qs, u"1.0-\u00e9.a"_qs, descending);
    row("canonically equivalent", u"1.0-e\u0301"_qs, u"1.0-\u00e9"_qs, same);
    row("non-ascii digits are text", u"1.0-\u0663"_qs, u"1.0-3"_qs, descending);
    row("scalar order beyond BMP", u"1.0-\U0001D400"_qs, u"1.0-\uFB01"_qs, descending);
}

void TestVersions::ordering() {
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(VersionOrder, expected);
    QCOMPARE(compareVersions(first, second), expected);
}

void TestVersions::orderingIsAntisymmetric() {
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(VersionOrder, expected);
    const auto reversed = static_cast<VersionOrder>(-static_cast<int>(expected));
    QCOMPARE(compareVersions(second, first), reversed);
}

void TestVersions::sortedListStaysSorted() {
    // A chain in strictly ascending order: every earlier element orders before every later one.
    const QStringList chain = {u"0.9"_qs,
                               u"1.0.0-"_qs,
                               u"1.0.0-alpha"_qs,
                               u"1.0.0-alpha.1"_qs,
                               u"1.0.0-alpha.beta"_qs,
                               u"1.0.0-beta"_qs,
                               u"1.0.0-beta.2"_qs,
                               u"1.0.0-beta.11"_qs,
                               u"1.0.0-rc.1"_qs,
                               u"1.0.0"_qs,
                               u"1.0.1"_qs,
                               u"1.9"_qs,
                               u"1.10"_qs,
                               u"2"_qs};
    for (qsizetype i = 0; i < chain.size(); ++i) {
        for (qsizetype j = 0; j < chain.size(); ++j) {
            const VersionOrder expected = i < j    ? VersionOrder::ascending
                                          : i == j ? VersionOrder::same
                                                   : VersionOrder::descending;
            QVERIFY2(compareVersions(chain[i], chain[j]) == expected,
                     qPrintable(chain[i] + u" vs "_qs + chain[j]));
        }
    }
}

NIMBARA_TEST_MAIN(TestVersions)
#include "tst_versions.moc"
