#include "placeholders.h"
#include "platform/preferred_languages.h"
#include "support/test_registry.h"
#include "text/copy_key.h"
#include "text/nimbara_copy.h"
#include "text/nimbara_locale.h"

#include <QRegularExpression>
#include <QSet>
#include <QtTest>
#include <optional>

using namespace nimbara;
using nimbara::test::placeholders;
using namespace Qt::StringLiterals;
using L = NimbaraLocale;

Q_DECLARE_METATYPE(nimbara::NimbaraLocale)
Q_DECLARE_METATYPE(nimbara::CopyKey)

class TestText : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void normalized_data() {
        QTest::addColumn<std::optional<QString>>("identifier");
        QTest::addColumn<L>("expected");
        const auto row = [](const char* text, L locale) {
            QTest::newRow(text) << std::optional(QString::fromUtf8(text)) << locale;
        };
        QTest::newRow("none") << std::optional<QString>() << L::en;
        row("", L::en);
        row("DE", L::de);
        row("pl-PL", L::pl);
        row("fr-PL", L::en);
        row("pl_PL", L::en);  // only a hyphen separates the region
        row("deu-DE", L::en); // a prefix without hyphen
        row(" pl", L::en);
    }

    void normalized() {
        QFETCH(std::optional<QString>, identifier);
        QFETCH(L, expected);
        QCOMPARE(NimbaraLocales::normalized(identifier), expected);
    }

    void filled_data() {
        QTest::addColumn<QString>("templateText");
        QTest::addColumn<CopyValues>("values");
        QTest::addColumn<QString>("expected");
        const CopyValues a{{u"a"_s, u"x"_s}};
        QTest::newRow("every occurrence") << u"{{a}} and {{a}}{{a}}"_s << a << u"x and xx"_s;
        QTest::newRow("inner spaces, single braces") << u"{{ a }} {a}"_s << a << u"{{ a }} {a}"_s;
        QTest::newRow("extra braces stay") << u"{{{a}}}"_s << a << u"{x}"_s;
        QTest::newRow("missing and unused names")
            << u"{{a}}-{{b}}-{{c}}"_s
            << CopyValues{{u"a"_s, u"1"_s}, {u"b"_s, u"2"_s}, {u"d"_s, u"4"_s}} << u"1-2-{{c}}"_s;
        QTest::newRow("case-sensitive")
            << u"{{Count}} {{count}}"_s << CopyValues{{u"count"_s, u"1"_s}} << u"{{Count}} 1"_s;
        QTest::newRow("replacement syntax verbatim")
            << u"{{a}}"_s << CopyValues{{u"a"_s, u"$1 \\1 %1 \\0"_s}} << u"$1 \\1 %1 \\0"_s;
        QTest::newRow("value with placeholder syntax")
            << u"[{{a}}]"_s << CopyValues{{u"a"_s, u"{{beta}} }{"_s}} << u"[{{beta}} }{]"_s;
    }

    void filled() {
        QFETCH(QString, templateText);
        QFETCH(CopyValues, values);
        QFETCH(QString, expected);
        QCOMPARE(NimbaraCopy::filled(templateText, values), expected);
    }

    // Every key has a trimmed text in every language, with the English placeholders, all
    // well-formed and from the known set; the launcher runs on Linux desktops, so no text names
    // another vendor's computer or system.
    void wholeTable_data() {
        QTest::addColumn<CopyKey>("key");
        for (const CopyKey key : CopyKeys::allCases()) {
            QTest::newRow(CopyKeys::rawValue(key).data()) << key;
        }
    }

    void wholeTable() {
        static const QSet<QString> knownNames = {
            u"count"_s,     u"progress"_s, u"version"_s,    u"installed"_s, u"latest"_s, u"name"_s,
            u"app"_s,       u"reason"_s,   u"identifier"_s, u"received"_s,  u"total"_s,  u"rate"_s,
            u"remaining"_s, u"size"_s,     u"value"_s,      u"apps"_s};
        static const QRegularExpression otherPlatform(
            u"\\b(mac(a|u|iem|owi)?|macos|apple)\\b"_s,
            QRegularExpression::CaseInsensitiveOption |
                QRegularExpression::UseUnicodePropertiesOption);
        QFETCH(CopyKey, key);
        const QSet<QString> english = placeholders(NimbaraCopy::templateFor(key, L::en));
        QVERIFY(knownNames.contains(english));
        for (const L locale : NimbaraLocales::allCases()) {
            const QString text = NimbaraCopy::templateFor(key, locale);
            QVERIFY(!text.isEmpty() && text == text.trimmed());
            QCOMPARE(placeholders(text), english);
            QCOMPARE(text.count(u"{{"_s), static_cast<qsizetype>(english.size()));
            QCOMPARE(NimbaraCopy::text(key, locale), text);
            QVERIFY2(!otherPlatform.match(text).hasMatch(), qPrintable(text));
        }
    }

    void preferredLanguage_data() {
        QTest::addColumn<QByteArrayList>("environment"); // LANGUAGE, LC_ALL, LC_MESSAGES, LANG
        QTest::addColumn<std::optional<QString>>("identifier");
        QTest::addColumn<L>("locale");
        const auto row =
            [](const char* name, QByteArrayList environment, const char* identifier, L locale) {
                QTest::newRow(name)
                    << environment
                    << (identifier ? std::optional(QString::fromLatin1(identifier)) : std::nullopt)
                    << locale;
            };
        const QByteArray unset;
        row("nothing set", {unset, unset, unset, unset}, nullptr, L::en);
        row("LANGUAGE first entry", {"de_AT:en", unset, unset, "pl_PL.UTF-8"}, "de-AT", L::de);
        row("LANGUAGE empty", {"", unset, unset, "pl_PL.UTF-8"}, "pl-PL", L::pl);
        row("LANGUAGE empty entries", {":pl:de", unset, unset, unset}, "pl", L::pl);
        row("LC_ALL over the others", {unset, "de_DE.UTF-8", "pl_PL", "pl_PL"}, "de-DE", L::de);
        row("LC_MESSAGES over LANG", {unset, "", "pl_PL", "de_DE"}, "pl-PL", L::pl);
        row("LANG C.UTF-8", {unset, unset, unset, "C.UTF-8"}, nullptr, L::en);
        row("LC_ALL POSIX over LANG", {unset, "POSIX", unset, "de_DE.UTF-8"}, nullptr, L::en);
        row("codeset and modifier", {unset, unset, unset, "sr_RS.UTF-8@latin"}, "sr-RS", L::en);
    }

    void preferredLanguage() {
        QFETCH(QByteArrayList, environment);
        QFETCH(std::optional<QString>, identifier);
        QFETCH(L, locale);
        const char* names[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
        for (int i = 0; i < 4; ++i) {
            environment[i].isNull() ? qunsetenv(names[i]) : qputenv(names[i], environment[i]);
        }
        QCOMPARE(preferredLanguageIdentifier(), identifier);
        QCOMPARE(systemLocale(), locale);
    }
};

NIMBARA_REGISTER_TEST(TestText);

#include "tst_text.moc"
