#include "text/copy_plurals.h"

#include <array>

namespace nimbara {

namespace {

struct PluralEntry {
    CopyKey key;
    NimbaraLocale locale;
    PluralForms forms;
};

using K = CopyKey;
using L = NimbaraLocale;

// Every text with a {{count}} placeholder, in every language: one, few (Polish only), many.
constexpr std::array kEntries = {
    PluralEntry{K::appCount, L::en, {u"{{count}} app ready", {}, u"{{count}} apps ready"}},
    PluralEntry{K::appCount,
                L::pl,
                {u"{{count}} aplikacja gotowa", u"{{count}} aplikacje gotowe",
                 u"{{count}} aplikacji gotowych"}},
    PluralEntry{K::appCount, L::de, {u"{{count}} App bereit", {}, u"{{count}} Apps bereit"}},

    // Unit abbreviations do not inflect; the forms exist so that every count text has them.
    PluralEntry{K::timeLeftSeconds, L::en, {u"{{count}} s left", {}, u"{{count}} s left"}},
    PluralEntry{K::timeLeftSeconds,
                L::pl,
                {u"jeszcze {{count}} s", u"jeszcze {{count}} s", u"jeszcze {{count}} s"}},
    PluralEntry{K::timeLeftSeconds, L::de, {u"noch {{count}} s", {}, u"noch {{count}} s"}},
    PluralEntry{K::timeLeftMinutes, L::en, {u"{{count}} min left", {}, u"{{count}} min left"}},
    PluralEntry{K::timeLeftMinutes,
                L::pl,
                {u"jeszcze {{count}} min", u"jeszcze {{count}} min", u"jeszcze {{count}} min"}},
    PluralEntry{K::timeLeftMinutes, L::de, {u"noch {{count}} min", {}, u"noch {{count}} min"}},

    PluralEntry{K::onboardingStatus,
                L::en,
                {u"{{count}} app ready to install", {}, u"{{count}} apps ready to install"}},
    PluralEntry{K::onboardingStatus,
                L::pl,
                {u"{{count}} aplikacja gotowa do instalacji",
                 u"{{count}} aplikacje gotowe do instalacji",
                 u"{{count}} aplikacji gotowych do instalacji"}},
    PluralEntry{
        K::onboardingStatus,
        L::de,
        {u"{{count}} App bereit zur Installation", {}, u"{{count}} Apps bereit zur Installation"}},

    PluralEntry{K::onboardingSelectedCount,
                L::en,
                {u"{{count}} app selected", {}, u"{{count}} apps selected"}},
    PluralEntry{K::onboardingSelectedCount,
                L::pl,
                {u"{{count}} wybrana", u"{{count}} wybrane", u"{{count}} wybranych"}},
    PluralEntry{K::onboardingSelectedCount,
                L::de,
                {u"{{count}} App ausgewählt", {}, u"{{count}} Apps ausgewählt"}},

    PluralEntry{
        K::homeSubtitleApps,
        L::en,
        {u"{{count}} app is ready to install.", {}, u"{{count}} apps are ready to install."}},
    PluralEntry{K::homeSubtitleApps,
                L::pl,
                {u"{{count}} aplikacja jest gotowa do instalacji.",
                 u"{{count}} aplikacje są gotowe do instalacji.",
                 u"{{count}} aplikacji jest gotowych do instalacji."}},
    PluralEntry{K::homeSubtitleApps,
                L::de,
                {u"{{count}} App ist bereit zur Installation.",
                 {},
                 u"{{count}} Apps sind bereit zur Installation."}},

    PluralEntry{K::appListSubtitle, L::en, {u"{{count}} app", {}, u"{{count}} apps"}},
    PluralEntry{K::appListSubtitle,
                L::pl,
                {u"{{count}} aplikacja", u"{{count}} aplikacje", u"{{count}} aplikacji"}},
    PluralEntry{K::appListSubtitle, L::de, {u"{{count}} App", {}, u"{{count}} Apps"}},

    PluralEntry{
        K::quickResults, L::en, {u"Apps · {{count}} result", {}, u"Apps · {{count}} results"}},
    PluralEntry{K::quickResults,
                L::pl,
                {u"Aplikacje · {{count}} wynik", u"Aplikacje · {{count}} wyniki",
                 u"Aplikacje · {{count}} wyników"}},
    PluralEntry{
        K::quickResults, L::de, {u"Apps · {{count}} Ergebnis", {}, u"Apps · {{count}} Ergebnisse"}},

    PluralEntry{K::uninstallEverythingConfirmBody,
                L::en,
                {u"{{count}} app and Nimbara will be moved to the Trash, and Nimbara will quit. "
                 u"App data stays on this computer.",
                 {},
                 u"{{count}} apps and Nimbara will be moved to the Trash, and Nimbara will quit. "
                 u"App data stays on this computer."}},
    PluralEntry{K::uninstallEverythingConfirmBody,
                L::pl,
                {u"{{count}} aplikacja i Nimbara zostaną przeniesione do kosza, a Nimbara się "
                 u"zamknie. Dane aplikacji pozostaną na tym komputerze.",
                 u"{{count}} aplikacje i Nimbara zostaną przeniesione do kosza, a Nimbara się "
                 u"zamknie. Dane aplikacji pozostaną na tym komputerze.",
                 u"{{count}} aplikacji i Nimbara zostaną przeniesione do kosza, a Nimbara się "
                 u"zamknie. Dane aplikacji pozostaną na tym komputerze."}},
    PluralEntry{K::uninstallEverythingConfirmBody,
                L::de,
                {u"{{count}} App und Nimbara werden in den Papierkorb verschoben und Nimbara wird "
                 u"beendet. App-Daten bleiben auf diesem Computer.",
                 {},
                 u"{{count}} Apps und Nimbara werden in den Papierkorb verschoben und Nimbara wird "
                 u"beendet. App-Daten bleiben auf diesem Computer."}},

    PluralEntry{K::uninstallEverythingConfirmBodyWithData,
                L::en,
                {u"{{count}} app and Nimbara will be moved to the Trash, their data will be "
                 u"deleted, and Nimbara will quit.",
                 {},
                 u"{{count}} apps and Nimbara will be moved to the Trash, their data will be "
                 u"deleted, and Nimbara will quit."}},
    PluralEntry{K::uninstallEverythingConfirmBodyWithData,
                L::pl,
                {u"{{count}} aplikacja i Nimbara zostaną przeniesione do kosza, ich dane zostaną "
                 u"usunięte, a Nimbara się zamknie.",
                 u"{{count}} aplikacje i Nimbara zostaną przeniesione do kosza, ich dane zostaną "
                 u"usunięte, a Nimbara się zamknie.",
                 u"{{count}} aplikacji i Nimbara zostaną przeniesione do kosza, ich dane zostaną "
                 u"usunięte, a Nimbara się zamknie."}},
    PluralEntry{K::uninstallEverythingConfirmBodyWithData,
                L::de,
                {u"{{count}} App und Nimbara werden in den Papierkorb verschoben, ihre Daten "
                 u"werden gelöscht und Nimbara wird beendet.",
                 {},
                 u"{{count}} Apps und Nimbara werden in den Papierkorb verschoben, ihre Daten "
                 u"werden gelöscht und Nimbara wird beendet."}},

    // A count in brackets does not inflect the words before it.
    PluralEntry{
        K::updateAllAction, L::en, {u"Update all ({{count}})", {}, u"Update all ({{count}})"}},
    PluralEntry{K::updateAllAction,
                L::pl,
                {u"Aktualizuj wszystkie ({{count}})", u"Aktualizuj wszystkie ({{count}})",
                 u"Aktualizuj wszystkie ({{count}})"}},
    PluralEntry{K::updateAllAction,
                L::de,
                {u"Alle aktualisieren ({{count}})", {}, u"Alle aktualisieren ({{count}})"}},
};

} // namespace

PluralCategory pluralCategory(NimbaraLocale locale, qint64 count) {
    if (count == 1) {
        return PluralCategory::one;
    }
    if (locale == NimbaraLocale::pl) {
        const qint64 lastDigit = count % 10;
        const qint64 lastTwo = count % 100;
        if (lastDigit >= 2 && lastDigit <= 4 && !(lastTwo >= 12 && lastTwo <= 14)) {
            return PluralCategory::few;
        }
    }
    return PluralCategory::many;
}

QStringView PluralForms::form(PluralCategory category) const {
    switch (category) {
    case PluralCategory::one:
        return one;
    case PluralCategory::few:
        return few.isEmpty() ? many : few;
    case PluralCategory::many:
        return many;
    }
    return many;
}

namespace copy_table {

std::optional<PluralForms> plurals(CopyKey key, NimbaraLocale locale) {
    for (const PluralEntry& entry : kEntries) {
        if (entry.key == key && entry.locale == locale) {
            return entry.forms;
        }
    }
    return std::nullopt;
}

} // namespace copy_table

} // namespace nimbara
