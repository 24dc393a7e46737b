#include "platform/preferred_languages.h"
#include "support/temp_home.h"
#include "text/copy_key.h"
#include "text/nimbara_copy.h"
#include "text/nimbara_locale.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>
#include <optional>

using namespace nimbara;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(nimbara::NimbaraLocale)
Q_DECLARE_METATYPE(nimbara::CopyKey)

namespace {

using Environment = QHash<QByteArray, QByteArray>;

const QList<QByteArray> kLocaleVariables = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};

QSet<QString> placeholders(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("\\{\\{([A-Za-z]+)\\}\\}"));
    QSet<QString> names;
    for (const auto& match : pattern.globalMatch(text)) {
        names.insert(match.captured(1));
    }
    return names;
}

QString raw(CopyKey key) {
    return QString(CopyKeys::rawValue(key));
}

} // namespace

class TestText : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void localeCases();
    void localeFromRaw_data();
    void localeFromRaw();
    void normalized_data();
    void normalized();

    void keyRawValues();

    void text_data();
    void text();
    void filled_data();
    void filled();

    void wholeTable_data();
    void wholeTable();
    void givenTranslations_data();
    void givenTranslations();
    void englishTemplates_data();
    void englishTemplates();

    void preferredLanguage_data();
    void preferredLanguage();

private:
    QList<std::pair<QByteArray, std::optional<QByteArray>>> savedEnvironment_;
};

void TestText::init() {
    savedEnvironment_.clear();
    for (const QByteArray& name : kLocaleVariables) {
        savedEnvironment_.append({name, qEnvironmentVariableIsSet(name.constData())
                                            ? std::optional(qgetenv(name.constData()))
                                            : std::nullopt});
    }
}

void TestText::cleanup() {
    for (const auto& [name, value] : savedEnvironment_) {
        if (value) {
            qputenv(name.constData(), *value);
        } else {
            qunsetenv(name.constData());
        }
    }
}

void TestText::localeCases() {
    const QList<NimbaraLocale> expected = {NimbaraLocale::en, NimbaraLocale::pl, NimbaraLocale::de};
    QCOMPARE(NimbaraLocales::allCases(), expected);
    QStringList codes;
    for (const NimbaraLocale locale : NimbaraLocales::allCases()) {
        codes.append(QString(NimbaraLocales::rawValue(locale)));
        QCOMPARE(NimbaraLocales::fromRaw(codes.last()), std::optional(locale));
    }
    QCOMPARE(codes, QStringList({u"en"_s, u"pl"_s, u"de"_s}));
}

void TestText::localeFromRaw_data() {
    QTest::addColumn<QString>("raw");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<NimbaraLocale>("expected");

    QTest::newRow("en") << u"en"_s << true << NimbaraLocale::en;
    QTest::newRow("pl") << u"pl"_s << true << NimbaraLocale::pl;
    QTest::newRow("de") << u"de"_s << true << NimbaraLocale::de;
    QTest::newRow("upper case") << u"EN"_s << false << NimbaraLocale::en;
    QTest::newRow("mixed case") << u"Pl"_s << false << NimbaraLocale::en;
    QTest::newRow("with region") << u"pl-PL"_s << false << NimbaraLocale::en;
    QTest::newRow("trailing space") << u"de "_s << false << NimbaraLocale::en;
    QTest::newRow("other language") << u"fr"_s << false << NimbaraLocale::en;
    QTest::newRow("empty") << QString() << false << NimbaraLocale::en;
}

void TestText::localeFromRaw() {
    QFETCH(QString, raw);
    QFETCH(bool, valid);
    QFETCH(NimbaraLocale, expected);
    const auto locale = NimbaraLocales::fromRaw(raw);
    QCOMPARE(locale.has_value(), valid);
    if (valid) {
        QCOMPARE(*locale, expected);
    }
}

void TestText::normalized_data() {
    QTest::addColumn<std::optional<QString>>("identifier");
    QTest::addColumn<NimbaraLocale>("expected");

    QTest::newRow("none") << std::optional<QString>() << NimbaraLocale::en;
    QTest::newRow("empty") << std::optional(QString()) << NimbaraLocale::en;
    QTest::newRow("pl-PL") << std::optional(u"pl-PL"_s) << NimbaraLocale::pl;
    QTest::newRow("DE") << std::optional(u"DE"_s) << NimbaraLocale::de;
    QTest::newRow("PL") << std::optional(u"PL"_s) << NimbaraLocale::pl;
    QTest::newRow("de-AT") << std::optional(u"de-AT"_s) << NimbaraLocale::de;
    QTest::newRow("DE-ch") << std::optional(u"DE-ch"_s) << NimbaraLocale::de;
    QTest::newRow("en-GB") << std::optional(u"en-GB"_s) << NimbaraLocale::en;
    QTest::newRow("fr") << std::optional(u"fr"_s) << NimbaraLocale::en;
    QTest::newRow("fr-PL") << std::optional(u"fr-PL"_s) << NimbaraLocale::en;
    QTest::newRow("underscore region") << std::optional(u"pl_PL"_s) << NimbaraLocale::en;
    QTest::newRow("bare hyphen") << std::optional(u"pl-"_s) << NimbaraLocale::pl;
    QTest::newRow("three letters") << std::optional(u"pol"_s) << NimbaraLocale::en;
    QTest::newRow("prefix without hyphen") << std::optional(u"deu-DE"_s) << NimbaraLocale::en;
    QTest::newRow("leading space") << std::optional(u" pl"_s) << NimbaraLocale::en;
    QTest::newRow("script and region") << std::optional(u"de-Latn-DE"_s) << NimbaraLocale::de;
}

void TestText::normalized() {
    QFETCH(std::optional<QString>, identifier);
    QFETCH(NimbaraLocale, expected);
    QCOMPARE(NimbaraLocales::normalized(identifier), expected);
}

void TestText::keyRawValues() {
    const QList<CopyKey>& keys = CopyKeys::allCases();
    QCOMPARE(keys.size(), 169);
    QCOMPARE(keys.first(), CopyKey::brand);
    QCOMPARE(keys.last(), CopyKey::codeValidationTeamMismatch);
    QSet<QString> seen;
    for (qsizetype i = 0; i < keys.size(); ++i) {
        QCOMPARE(static_cast<qsizetype>(keys[i]), i);
        const QString name = raw(keys[i]);
        QVERIFY2(!name.isEmpty(), qPrintable(QString::number(i)));
        QVERIFY2(!seen.contains(name), qPrintable(name));
        seen.insert(name);
        QCOMPARE(CopyKeys::fromRaw(name), std::optional(keys[i]));
    }
    QCOMPARE(raw(CopyKey::installInstalling), u"installInstalling"_s);
    QCOMPARE(raw(CopyKey::preferencesLaunchAtLoginRequiresApproval),
             u"preferencesLaunchAtLoginRequiresApproval"_s);
    QCOMPARE(CopyKeys::fromRaw(u"InstallInstalling"), std::nullopt);
    QCOMPARE(CopyKeys::fromRaw(u"installInstalling "), std::nullopt);
    QCOMPARE(CopyKeys::fromRaw(u""), std::nullopt);
}

void TestText::text_data() {
    QTest::addColumn<CopyKey>("key");
    QTest::addColumn<NimbaraLocale>("locale");
    QTest::addColumn<CopyValues>("values");
    QTest::addColumn<QString>("expected");

    QTest::newRow("polish progress")
        << CopyKey::installInstalling << NimbaraLocale::pl << CopyValues{{u"progress"_s, u"42"_s}}
        << u"Instalowanie 42%"_s;
    QTest::newRow("no values keeps placeholder")
        << CopyKey::appCount << NimbaraLocale::en << CopyValues{} << u"{{count}} apps ready"_s;
    QTest::newRow("unused value ignored")
        << CopyKey::appCount << NimbaraLocale::en
        << CopyValues{{u"count"_s, u"3"_s}, {u"app"_s, u"x"_s}} << u"3 apps ready"_s;
    QTest::newRow("names are case-sensitive")
        << CopyKey::appCount << NimbaraLocale::en << CopyValues{{u"Count"_s, u"3"_s}}
        << u"{{count}} apps ready"_s;
    QTest::newRow("only supplied placeholders filled")
        << CopyKey::errorInstallFailed << NimbaraLocale::de << CopyValues{{u"app"_s, u"Notes"_s}}
        << u"Notes konnte nicht installiert werden. {{reason}}"_s;
    QTest::newRow("value with braces verbatim")
        << CopyKey::errorInstallFailed << NimbaraLocale::en
        << CopyValues{{u"app"_s, u"Notes {{beta}} }{"_s}, {u"reason"_s, u" Disk full. "_s}}
        << u"Could not install Notes {{beta}} }{.  Disk full. "_s;
    QTest::newRow("value with replacement syntax")
        << CopyKey::removeAppConfirmTitle << NimbaraLocale::de
        << CopyValues{{u"app"_s, u"$1 \\1 %1"_s}} << u"$1 \\1 %1 entfernen?"_s;
    QTest::newRow("two placeholders")
        << CopyKey::installUpdateAvailable << NimbaraLocale::en
        << CopyValues{{u"installed"_s, u"1.0"_s}, {u"latest"_s, u"1.1"_s}} << u"1.0 -> 1.1"_s;
    QTest::newRow("greeting with name")
        << CopyKey::homeGreeting << NimbaraLocale::en << CopyValues{{u"name"_s, u", Ada"_s}}
        << u"Welcome back, Ada."_s;
    QTest::newRow("greeting without name") << CopyKey::homeGreeting << NimbaraLocale::pl
                                           << CopyValues{{u"name"_s, QString()}} << u"Cześć."_s;
    QTest::newRow("polish results")
        << CopyKey::quickResults << NimbaraLocale::pl << CopyValues{{u"count"_s, u"7"_s}}
        << u"Aplikacje · 7 wyników"_s;
    QTest::newRow("german issue") << CopyKey::feedbackIssue << NimbaraLocale::de
                                  << CopyValues{{u"identifier"_s, u"NIM-12"_s}}
                                  << u"Meldung NIM-12"_s;
}

void TestText::text() {
    QFETCH(CopyKey, key);
    QFETCH(NimbaraLocale, locale);
    QFETCH(CopyValues, values);
    QFETCH(QString, expected);
    QCOMPARE(NimbaraCopy::text(key, locale, values), expected);
}

void TestText::filled_data() {
    QTest::addColumn<QString>("templateText");
    QTest::addColumn<CopyValues>("values");
    QTest::addColumn<QString>("expected");

    const CopyValues a{{u"a"_s, u"x"_s}};
    QTest::newRow("every occurrence") << u"{{a}} and {{a}}"_s << a << u"x and x"_s;
    QTest::newRow("adjacent") << u"{{a}}{{a}}"_s << a << u"xx"_s;
    QTest::newRow("inner spaces are not a placeholder") << u"{{ a }}"_s << a << u"{{ a }}"_s;
    QTest::newRow("single braces are text") << u"{a}"_s << a << u"{a}"_s;
    QTest::newRow("extra braces stay") << u"{{{a}}}"_s << a << u"{x}"_s;
    QTest::newRow("empty value") << u"[{{a}}]"_s << CopyValues{{u"a"_s, QString()}} << u"[]"_s;
    QTest::newRow("several names")
        << u"{{a}}-{{b}}-{{c}}"_s << CopyValues{{u"a"_s, u"1"_s}, {u"b"_s, u"2"_s}}
        << u"1-2-{{c}}"_s;
    QTest::newRow("case-sensitive")
        << u"{{Count}} {{count}}"_s << CopyValues{{u"count"_s, u"1"_s}} << u"{{Count}} 1"_s;
    QTest::newRow("no values") << u"{{a}}"_s << CopyValues{} << u"{{a}}"_s;
    QTest::newRow("empty template") << QString() << a << QString();
}

void TestText::filled() {
    QFETCH(QString, templateText);
    QFETCH(CopyValues, values);
    QFETCH(QString, expected);
    QCOMPARE(NimbaraCopy::filled(templateText, values), expected);
}

void TestText::wholeTable_data() {
    QTest::addColumn<CopyKey>("key");
    for (const CopyKey key : CopyKeys::allCases()) {
        QTest::newRow(CopyKeys::rawValue(key).data()) << key;
    }
}

void TestText::wholeTable() {
    static const QSet<QString> knownNames = {
        u"count"_s, u"progress"_s, u"version"_s, u"installed"_s,  u"latest"_s,
        u"name"_s,  u"app"_s,      u"reason"_s,  u"identifier"_s,
    };
    QFETCH(CopyKey, key);
    const QSet<QString> english = placeholders(NimbaraCopy::templateFor(key, NimbaraLocale::en));
    QVERIFY(knownNames.contains(english));
    for (const NimbaraLocale locale : NimbaraLocales::allCases()) {
        const QString code = QString(NimbaraLocales::rawValue(locale));
        const QString text = NimbaraCopy::templateFor(key, locale);
        QVERIFY2(!text.isEmpty(), qPrintable(code));
        QVERIFY2(text == text.trimmed(), qPrintable(code));
        QCOMPARE(placeholders(text), english);
        // Every "{{" in the table opens a well-formed placeholder.
        QCOMPARE(text.count(u"{{"_s), static_cast<qsizetype>(placeholders(text).size()));
        QCOMPARE(NimbaraCopy::text(key, locale), text);
    }
}

void TestText::givenTranslations_data() {
    QTest::addColumn<CopyKey>("key");
    QTest::addColumn<QString>("polish");
    QTest::addColumn<QString>("german");

    auto row = [](CopyKey key, QString pl, QString de) {
        QTest::newRow(CopyKeys::rawValue(key).data()) << key << pl << de;
    };
    row(CopyKey::appCount, u"{{count}} aplikacje gotowe"_s, u"{{count}} Apps bereit"_s);
    row(CopyKey::installInstalling, u"Instalowanie {{progress}}%"_s,
        u"Installiere {{progress}}%"_s);
    row(CopyKey::installUpdateAvailable, u"{{installed}} -> {{latest}}"_s,
        u"{{installed}} -> {{latest}}"_s);
    row(CopyKey::homeGreeting, u"Cześć{{name}}."_s, u"Willkommen zurück{{name}}."_s);
    row(CopyKey::statusComingSoon, u"Wkrótce"_s, u"Bald verfügbar"_s);
    row(CopyKey::quickResults, u"Aplikacje · {{count}} wyników"_s,
        u"Apps · {{count}} Ergebnisse"_s);
    row(CopyKey::quickFooterRight, u"↵ otwórz · esc zamknij"_s, u"↵ öffnen · esc schließen"_s);
    row(CopyKey::errorInstallFailed, u"Nie udało się zainstalować {{app}}. {{reason}}"_s,
        u"{{app}} konnte nicht installiert werden. {{reason}}"_s);
    row(CopyKey::removeAppConfirmTitle, u"Usunąć {{app}}?"_s, u"{{app}} entfernen?"_s);
    row(CopyKey::onboardingSelectedCount, u"{{count}} wybrane"_s, u"{{count}} Apps ausgewählt"_s);
    row(CopyKey::errorArchiveLayout,
        u"Pobrany plik musi zawierać dokładnie jedną aplikację na najwyższym poziomie."_s,
        u"Der Download muss genau eine App auf oberster Ebene enthalten."_s);
    row(CopyKey::brand, u"Nimbara"_s, u"Nimbara"_s);
}

void TestText::givenTranslations() {
    QFETCH(CopyKey, key);
    QFETCH(QString, polish);
    QFETCH(QString, german);
    QCOMPARE(NimbaraCopy::templateFor(key, NimbaraLocale::pl), polish);
    QCOMPARE(NimbaraCopy::templateFor(key, NimbaraLocale::de), german);
}

void TestText::englishTemplates_data() {
    QTest::addColumn<CopyKey>("key");
    QTest::addColumn<QString>("expected");

    auto row = [](CopyKey key, QString en) {
        QTest::newRow(CopyKeys::rawValue(key).data()) << key << en;
    };
    row(CopyKey::openNimbara, u"Open Nimbara..."_s);
    row(CopyKey::betaBadge, u"Available"_s);
    row(CopyKey::installUpdateAvailable, u"{{installed}} -> {{latest}}"_s);
    row(CopyKey::installedDetail, u"Ready to open from this Mac."_s);
    row(CopyKey::homeGreeting, u"Welcome back{{name}}."_s);
    row(CopyKey::emptyBody,
        u"You have the launcher. When the first app is ready, it will show up here automatically."_s);
    row(CopyKey::minimumMacOS, u"Minimum macOS"_s);
    row(CopyKey::quickResults, u"Apps · {{count}} results"_s);
    row(CopyKey::quickFooterLeft, u"↑↓ navigate"_s);
    row(CopyKey::quickFooterRight, u"↵ open · esc close"_s);
    row(CopyKey::menuCheckForUpdates, u"Check for Updates..."_s);
    row(CopyKey::preferencesLaunchAtLoginError, u"Couldn't update launch at login: {{reason}}"_s);
    row(CopyKey::errorReinstallRequired, u"{{app}} on this Mac no longer matches what Nimbara "
                                         u"installed. Reinstall it from Nimbara."_s);
    row(CopyKey::codeValidationTeamMismatch,
        u"The app was signed by a team Nimbara does not trust."_s);
}

void TestText::englishTemplates() {
    QFETCH(CopyKey, key);
    QFETCH(QString, expected);
    QCOMPARE(NimbaraCopy::templateFor(key, NimbaraLocale::en), expected);
}

void TestText::preferredLanguage_data() {
    QTest::addColumn<Environment>("environment");
    QTest::addColumn<std::optional<QString>>("identifier");
    QTest::addColumn<NimbaraLocale>("locale");

    const std::optional<QString> none;
    QTest::newRow("nothing set") << Environment{} << none << NimbaraLocale::en;
    QTest::newRow("LANGUAGE first entry")
        << Environment{{"LANGUAGE", "de_AT:en"}, {"LANG", "pl_PL.UTF-8"}}
        << std::optional(u"de-AT"_s) << NimbaraLocale::de;
    QTest::newRow("LANGUAGE empty falls through")
        << Environment{{"LANGUAGE", ""}, {"LANG", "pl_PL.UTF-8"}} << std::optional(u"pl-PL"_s)
        << NimbaraLocale::pl;
    QTest::newRow("LANGUAGE empty entries skipped")
        << Environment{{"LANGUAGE", ":pl:de"}} << std::optional(u"pl"_s) << NimbaraLocale::pl;
    QTest::newRow("LC_ALL over LANG")
        << Environment{{"LC_ALL", "de_DE.UTF-8"}, {"LANG", "pl_PL.UTF-8"}}
        << std::optional(u"de-DE"_s) << NimbaraLocale::de;
    QTest::newRow("LC_MESSAGES over LANG")
        << Environment{{"LC_ALL", ""}, {"LC_MESSAGES", "pl_PL"}, {"LANG", "de_DE"}}
        << std::optional(u"pl-PL"_s) << NimbaraLocale::pl;
    QTest::newRow("LANG C") << Environment{{"LANG", "C"}} << none << NimbaraLocale::en;
    QTest::newRow("LANG C.UTF-8") << Environment{{"LANG", "C.UTF-8"}} << none << NimbaraLocale::en;
    QTest::newRow("LANG POSIX") << Environment{{"LANG", "POSIX"}} << none << NimbaraLocale::en;
    QTest::newRow("LC_ALL C wins over LANG")
        << Environment{{"LC_ALL", "C"}, {"LANG", "de_DE.UTF-8"}} << none << NimbaraLocale::en;
    QTest::newRow("modifier") << Environment{{"LANG", "de_DE@euro"}} << std::optional(u"de-DE"_s)
                              << NimbaraLocale::de;
    QTest::newRow("codeset and modifier") << Environment{{"LANG", "sr_RS.UTF-8@latin"}}
                                          << std::optional(u"sr-RS"_s) << NimbaraLocale::en;
    QTest::newRow("English region")
        << Environment{{"LANGUAGE", "en_GB:de"}} << std::optional(u"en-GB"_s) << NimbaraLocale::en;
}

void TestText::preferredLanguage() {
    QFETCH(Environment, environment);
    QFETCH(std::optional<QString>, identifier);
    QFETCH(NimbaraLocale, locale);
    for (const QByteArray& name : kLocaleVariables) {
        if (environment.contains(name)) {
            qputenv(name.constData(), environment.value(name));
        } else {
            qunsetenv(name.constData());
        }
    }
    QCOMPARE(preferredLanguageIdentifier(), identifier);
    QCOMPARE(systemLocale(), locale);
}

NIMBARA_TEST_MAIN(TestText)

#include "tst_text.moc"
