#include "text/copy_table.h"

namespace nimbara::copy_table {

// Polish texts of nimbara-cli. The state words, JSON keys and command names in the help are
// part of the command's interface and stay the same in every language.
QStringView commandLinePolish(CopyKey key) {
    switch (key) {
    case CopyKey::cliHelp:
        return u"Użycie: nimbara-cli POLECENIE [OPCJE] [ID...]\n"
               u"\n"
               u"Wyszukuje, instaluje, aktualizuje, otwiera i usuwa aplikacje z katalogu Nimbary "
               u"bez okna. Korzysta z katalogu, folderu instalacji i preferencji launchera i "
               u"nie działa, gdy launcher jest uruchomiony.\n"
               u"\n"
               u"Polecenia:\n"
               u"  list [--json]            każda widoczna aplikacja z katalogu\n"
               u"  install ID...            instaluje aplikacje, jedną po drugiej\n"
               u"  update ID... | --all     aktualizuje wskazane aplikacje albo wszystkie, które "
               u"mają aktualizację\n"
               u"  rollback ID              przywraca wersję zachowaną przy ostatniej "
               u"aktualizacji\n"
               u"  open ID                  otwiera zainstalowaną aplikację\n"
               u"  remove ID [--with-data]  przenosi aplikację (a z --with-data także jej dane) "
               u"do kosza\n"
               u"  status                   adres katalogu, folder instalacji, plik preferencji, "
               u"liczba zainstalowanych aplikacji i aktualizacji oraz to, czy launcher "
               u"działa\n"
               u"\n"
               u"Opcje:\n"
               u"  --json        list: tablica JSON zamiast kolumn\n"
               u"  --all         update: każda aplikacja, która ma aktualizację\n"
               u"  --with-data   remove: do kosza trafiają także foldery z danymi\n"
               u"  -h, --help    ta pomoc\n"
               u"  -v, --version wersja nimbara-cli\n"
               u"\n"
               u"Stany: not-installed, installing, installed, update-available, failed, "
               u"coming-soon, needs-newer-system (ten system jest starszy, niż wymaga aplikacja), "
               u"unavailable (na liście, ale bez wydania do zainstalowania).\n"
               u"\n"
               u"list --json wypisuje jedną tablicę obiektów w kolejności katalogu:\n"
               u"  {\"id\": \"lumen-notes\", \"name\": \"Lumen Notes\", \"state\": "
               u"\"update-available\", \"installedVersion\": \"1.4.2\", \"latestVersion\": "
               u"\"1.5.0\"}\n"
               u"installedVersion i latestVersion mają wartość null, gdy ich brak.\n"
               u"\n"
               u"Kod wyjścia:\n"
               u"  0  gotowe\n"
               u"  1  operacja się nie powiodła; przyczyna jest na standardowym wyjściu błędów\n"
               u"  2  błąd użycia (nieznane polecenie, opcja lub identyfikator aplikacji, brak "
               u"lub pusty identyfikator, ukryta aplikacja) albo działa launcher";
    case CopyKey::cliNoCommand:
        return u"Nie podano polecenia. Uruchom nimbara-cli --help, aby zobaczyć polecenia.";
    case CopyKey::cliUnknownCommand:
        return u"Nieznane polecenie „{{value}}”. Uruchom nimbara-cli --help, aby zobaczyć "
               u"polecenia.";
    case CopyKey::cliUnknownOption:
        return u"Nieznana opcja „{{value}}”. Uruchom nimbara-cli --help, aby zobaczyć opcje.";
    case CopyKey::cliOptionNotForCommand:
        return u"Opcji {{value}} nie można użyć z poleceniem {{name}}.";
    case CopyKey::cliMissingID:
        return u"Podaj aplikację: nimbara-cli {{name}} ID";
    case CopyKey::cliEmptyID:
        return u"Identyfikator aplikacji nie może być pusty.";
    case CopyKey::cliOneID:
        return u"Polecenie {{name}} przyjmuje dokładnie jeden identyfikator aplikacji.";
    case CopyKey::cliNoIDs:
        return u"Polecenie {{name}} nie przyjmuje identyfikatora aplikacji.";
    case CopyKey::cliUpdateWhich:
        return u"Podaj aplikacje do aktualizacji albo zaktualizuj wszystkie opcją --all.";
    case CopyKey::cliUpdateAllWithIDs:
        return u"Użyj identyfikatorów aplikacji albo --all, nie obu naraz.";
    case CopyKey::cliUnknownApp:
        return u"W katalogu nie ma aplikacji o identyfikatorze {{identifier}}.";
    case CopyKey::cliLauncherRunning:
        return u"Nimbara jest uruchomiona. Najpierw ją zamknij, a potem uruchom nimbara-cli "
               u"ponownie.";
    case CopyKey::cliLockUnavailable:
        return u"Nie można zablokować {{value}} ({{reason}}); działający launcher nie "
               u"zostałby zauważony.";
    case CopyKey::cliPreferencesKeptAside:
        return u"Nie udało się odczytać pliku preferencji. Zachowano go jako {{value}}, a "
               u"Nimbara zaczyna z pustymi preferencjami.";
    case CopyKey::cliCatalogUnavailable:
        return u"Nie udało się wczytać katalogu z {{value}}. Niczego nie zmieniono.";
    case CopyKey::cliAlreadyInstalled:
        return u"{{app}} {{version}} jest już zainstalowana.";
    case CopyKey::cliUpdateOffered:
        return u"{{app}} {{installed}} jest już zainstalowana; dostępna jest wersja {{latest}}: "
               u"nimbara-cli update {{identifier}}";
    case CopyKey::cliInstalled:
        return u"Zainstalowano {{app}} {{version}}.";
    case CopyKey::cliUpdated:
        return u"Zaktualizowano {{app}} do wersji {{version}}.";
    case CopyKey::cliUpToDate:
        return u"{{app}} {{version}} jest aktualna.";
    case CopyKey::cliNoUpdates:
        return u"Wszystkie zainstalowane aplikacje są aktualne.";
    case CopyKey::cliNotInstalled:
        return u"{{app}} nie jest zainstalowana.";
    case CopyKey::cliOpened:
        return u"Otwarto {{app}}.";
    case CopyKey::cliRemoved:
        return u"Usunięto {{app}}; aplikacja jest w koszu.";
    case CopyKey::cliRemovedWithData:
        return u"Usunięto {{app}}; aplikacja i jej dane są w koszu.";
    case CopyKey::cliRolledBack:
        return u"Przywrócono {{app}} w wersji {{version}}.";
    case CopyKey::cliDownloading:
        return u"Pobieranie {{app}} {{progress}}%";
    case CopyKey::cliInstallingProgress:
        return u"Instalowanie {{app}} {{progress}}%";
    case CopyKey::cliDownloaded:
        return u"Pobrano {{app}}.";
    case CopyKey::cliColumnID:
        return u"ID";
    case CopyKey::cliColumnName:
        return u"NAZWA";
    case CopyKey::cliColumnState:
        return u"STAN";
    case CopyKey::cliColumnInstalled:
        return u"ZAINSTALOWANA";
    case CopyKey::cliColumnLatest:
        return u"NAJNOWSZA";
    case CopyKey::cliListEmpty:
        return u"Katalog nie ma aplikacji do pokazania.";
    case CopyKey::cliStatusCatalog:
        return u"Katalog";
    case CopyKey::cliStatusInstallRoot:
        return u"Folder instalacji";
    case CopyKey::cliStatusPreferences:
        return u"Preferencje";
    case CopyKey::cliStatusLauncher:
        return u"Launcher";
    case CopyKey::cliStatusRunning:
        return u"działa";
    case CopyKey::cliStatusNotRunning:
        return u"nie działa";
    case CopyKey::cliStatusInstalledCount:
        return u"Zainstalowane aplikacje";
    case CopyKey::cliStatusUpdateCount:
        return u"Aktualizacje";
    case CopyKey::cliInterrupted:
        return u"Przerwano: niedokończone instalacje zostały anulowane.";
#define NIMBARA_LAUNCHER_KEY_CASE(name) case CopyKey::name:
        NIMBARA_LAUNCHER_COPY_KEYS(NIMBARA_LAUNCHER_KEY_CASE)
#undef NIMBARA_LAUNCHER_KEY_CASE
        break;
    }
    return {};
}

} // namespace nimbara::copy_table
