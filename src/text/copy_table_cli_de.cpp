#include "text/copy_table.h"

namespace nimbara::copy_table {

// German texts of nimbara-cli. The state words, JSON keys and command names in the help are
// part of the command's interface and stay the same in every language.
QStringView commandLineGerman(CopyKey key) {
    switch (key) {
    case CopyKey::cliHelp:
        return u"Aufruf: nimbara-cli BEFEHL [OPTIONEN] [ID...]\n"
               u"\n"
               u"Findet, installiert, aktualisiert, öffnet und entfernt die Apps des "
               u"Nimbara-Katalogs ohne Fenster. Es nutzt Katalog, Installationsordner und "
               u"Einstellungen des Launchers und läuft nicht, solange der Launcher läuft.\n"
               u"\n"
               u"Befehle:\n"
               u"  list [--json]            jede sichtbare App des Katalogs\n"
               u"  install ID...            installiert die Apps, eine nach der anderen\n"
               u"  update ID... | --all     aktualisiert die genannten Apps oder jede App mit "
               u"einem Update\n"
               u"  rollback ID              stellt die beim letzten Update aufbewahrte Version "
               u"wieder her\n"
               u"  open ID                  öffnet eine installierte App\n"
               u"  remove ID [--with-data]  legt eine App (mit --with-data auch ihre Daten) in "
               u"den Papierkorb\n"
               u"  status                   Katalogadresse, Installationsordner, "
               u"Einstellungsdatei, Zahl der installierten Apps und der Updates, und ob der "
               u"Launcher läuft\n"
               u"\n"
               u"Optionen:\n"
               u"  --json        list: ein JSON-Array statt Spalten\n"
               u"  --all         update: jede App mit einem Update\n"
               u"  --with-data   remove: auch die Datenordner kommen in den Papierkorb\n"
               u"  -h, --help    diese Hilfe\n"
               u"  -v, --version die Version von nimbara-cli\n"
               u"\n"
               u"Zustände: not-installed, installing, installed, update-available, failed, "
               u"coming-soon, needs-newer-system (dieses System ist älter, als die App braucht), "
               u"unavailable (aufgeführt, aber ohne installierbare Version).\n"
               u"\n"
               u"list --json gibt ein Array von Objekten in der Reihenfolge des Katalogs aus:\n"
               u"  {\"id\": \"lumen-notes\", \"name\": \"Lumen Notes\", \"state\": "
               u"\"update-available\", \"installedVersion\": \"1.4.2\", \"latestVersion\": "
               u"\"1.5.0\"}\n"
               u"installedVersion und latestVersion sind null, wenn es keine gibt.\n"
               u"\n"
               u"Exit-Status:\n"
               u"  0  erledigt\n"
               u"  1  ein Vorgang ist fehlgeschlagen; der Grund steht in der Fehlerausgabe\n"
               u"  2  ein Aufruffehler (unbekannter Befehl, unbekannte Option oder App-ID, "
               u"fehlende oder leere ID, eine verborgene App) oder der Launcher läuft";
    case CopyKey::cliNoCommand:
        return u"Kein Befehl angegeben. nimbara-cli --help zeigt die Befehle.";
    case CopyKey::cliUnknownCommand:
        return u"Unbekannter Befehl „{{value}}“. nimbara-cli --help zeigt die Befehle.";
    case CopyKey::cliUnknownOption:
        return u"Unbekannte Option „{{value}}“. nimbara-cli --help zeigt die Optionen.";
    case CopyKey::cliOptionNotForCommand:
        return u"Die Option {{value}} passt nicht zu {{name}}.";
    case CopyKey::cliMissingID:
        return u"Nenne die App: nimbara-cli {{name}} ID";
    case CopyKey::cliEmptyID:
        return u"Eine App-ID darf nicht leer sein.";
    case CopyKey::cliOneID:
        return u"{{name}} nimmt genau eine App-ID.";
    case CopyKey::cliNoIDs:
        return u"{{name}} nimmt keine App-ID.";
    case CopyKey::cliUpdateWhich:
        return u"Nenne die Apps, die aktualisiert werden sollen, oder aktualisiere alle mit "
               u"--all.";
    case CopyKey::cliUpdateAllWithIDs:
        return u"Entweder App-IDs oder --all, nicht beides.";
    case CopyKey::cliUnknownApp:
        return u"Keine App mit der ID {{identifier}} im Katalog.";
    case CopyKey::cliLauncherRunning:
        return u"Nimbara läuft. Beende es zuerst und starte dann nimbara-cli erneut.";
    case CopyKey::cliLockUnavailable:
        return u"{{value}} lässt sich nicht sperren ({{reason}}); ein laufender Launcher würde "
               u"nicht bemerkt.";
    case CopyKey::cliPreferencesKeptAside:
        return u"Die Einstellungsdatei war nicht lesbar. Sie wurde als {{value}} aufbewahrt, und "
               u"Nimbara beginnt mit leeren Einstellungen.";
    case CopyKey::cliCatalogUnavailable:
        return u"Der Katalog von {{value}} ließ sich nicht laden. Nichts wurde geändert.";
    case CopyKey::cliAlreadyInstalled:
        return u"{{app}} {{version}} ist bereits installiert.";
    case CopyKey::cliUpdateOffered:
        return u"{{app}} {{installed}} ist bereits installiert; {{latest}} ist verfügbar: "
               u"nimbara-cli update {{identifier}}";
    case CopyKey::cliInstalled:
        return u"{{app}} {{version}} installiert.";
    case CopyKey::cliUpdated:
        return u"{{app}} auf {{version}} aktualisiert.";
    case CopyKey::cliUpToDate:
        return u"{{app}} {{version}} ist aktuell.";
    case CopyKey::cliNoUpdates:
        return u"Alle installierten Apps sind aktuell.";
    case CopyKey::cliNotInstalled:
        return u"{{app}} ist nicht installiert.";
    case CopyKey::cliOpened:
        return u"{{app}} geöffnet.";
    case CopyKey::cliRemoved:
        return u"{{app}} entfernt; die App liegt im Papierkorb.";
    case CopyKey::cliRemovedWithData:
        return u"{{app}} entfernt; die App und ihre Daten liegen im Papierkorb.";
    case CopyKey::cliRolledBack:
        return u"{{app}} auf {{version}} zurückgesetzt.";
    case CopyKey::cliDownloading:
        return u"{{app}} wird geladen: {{progress}} %";
    case CopyKey::cliInstallingProgress:
        return u"{{app}} wird installiert: {{progress}} %";
    case CopyKey::cliDownloaded:
        return u"{{app}} geladen.";
    case CopyKey::cliColumnID:
        return u"ID";
    case CopyKey::cliColumnName:
        return u"NAME";
    case CopyKey::cliColumnState:
        return u"ZUSTAND";
    case CopyKey::cliColumnInstalled:
        return u"INSTALLIERT";
    case CopyKey::cliColumnLatest:
        return u"AKTUELL";
    case CopyKey::cliListEmpty:
        return u"Der Katalog hat keine Apps zum Zeigen.";
    case CopyKey::cliStatusCatalog:
        return u"Katalog";
    case CopyKey::cliStatusInstallRoot:
        return u"Installationsordner";
    case CopyKey::cliStatusPreferences:
        return u"Einstellungen";
    case CopyKey::cliStatusLauncher:
        return u"Launcher";
    case CopyKey::cliStatusRunning:
        return u"läuft";
    case CopyKey::cliStatusNotRunning:
        return u"läuft nicht";
    case CopyKey::cliStatusInstalledCount:
        return u"Installierte Apps";
    case CopyKey::cliStatusUpdateCount:
        return u"Updates";
    case CopyKey::cliInterrupted:
        return u"Abgebrochen: nicht abgeschlossene Installationen wurden beendet.";
#define NIMBARA_LAUNCHER_KEY_CASE(name) case CopyKey::name:
        NIMBARA_LAUNCHER_COPY_KEYS(NIMBARA_LAUNCHER_KEY_CASE)
#undef NIMBARA_LAUNCHER_KEY_CASE
        break;
    }
    return {};
}

} // namespace nimbara::copy_table
