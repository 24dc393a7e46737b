#include "text/copy_table.h"

namespace nimbara::copy_table {

// English texts of nimbara-cli. The state words, JSON keys and command names in the help are
// part of the command's interface and stay the same in every language.
QStringView commandLineEnglish(CopyKey key) {
    switch (key) {
    case CopyKey::cliHelp:
        return u"Usage: nimbara-cli COMMAND [OPTIONS] [ID...]\n"
               u"\n"
               u"Finds, installs, updates, opens and removes the apps of the Nimbara catalog "
               u"without a window. It uses the launcher's catalog, install folder and "
               u"preferences, and does not run while the launcher runs.\n"
               u"\n"
               u"Commands:\n"
               u"  list [--json]            every app of the catalog you can see\n"
               u"  install ID...            installs the apps, one after another\n"
               u"  update ID... | --all     updates the named apps, or every app with an update\n"
               u"  rollback ID              puts back the version kept by the last update\n"
               u"  open ID                  opens an installed app\n"
               u"  remove ID [--with-data]  moves an app (and with --with-data its data) to "
               u"the Trash\n"
               u"  status                   catalog address, install folder, preferences file, "
               u"numbers of installed apps and of updates, and whether the launcher runs\n"
               u"\n"
               u"Options:\n"
               u"  --json        list: a JSON array instead of columns\n"
               u"  --all         update: every app with an update\n"
               u"  --with-data   remove: its data folders go to the Trash too\n"
               u"  -h, --help    this help\n"
               u"  -v, --version the version of nimbara-cli\n"
               u"\n"
               u"States: not-installed, installing, installed, update-available, failed, "
               u"coming-soon, needs-newer-system (this system is older than the app needs), "
               u"unavailable (listed, but without a release to install).\n"
               u"\n"
               u"list --json prints one array of objects in catalog order:\n"
               u"  {\"id\": \"lumen-notes\", \"name\": \"Lumen Notes\", \"state\": "
               u"\"update-available\", \"installedVersion\": \"1.4.2\", \"latestVersion\": "
               u"\"1.5.0\"}\n"
               u"installedVersion and latestVersion are null when there is none.\n"
               u"\n"
               u"Exit status:\n"
               u"  0  done\n"
               u"  1  an operation failed; standard error says why\n"
               u"  2  a usage error (unknown command, option or app id, a missing or empty id, "
               u"a hidden app), or the launcher is running";
    case CopyKey::cliNoCommand:
        return u"No command given. Run nimbara-cli --help to see the commands.";
    case CopyKey::cliUnknownCommand:
        return u"Unknown command \"{{value}}\". Run nimbara-cli --help to see the commands.";
    case CopyKey::cliUnknownOption:
        return u"Unknown option \"{{value}}\". Run nimbara-cli --help to see the options.";
    case CopyKey::cliOptionNotForCommand:
        return u"The option {{value}} does not go with {{name}}.";
    case CopyKey::cliMissingID:
        return u"Name the app: nimbara-cli {{name}} ID";
    case CopyKey::cliEmptyID:
        return u"An app id cannot be empty.";
    case CopyKey::cliOneID:
        return u"{{name}} takes exactly one app id.";
    case CopyKey::cliNoIDs:
        return u"{{name}} takes no app id.";
    case CopyKey::cliUpdateWhich:
        return u"Name the apps to update, or update every app with --all.";
    case CopyKey::cliUpdateAllWithIDs:
        return u"Use either app ids or --all, not both.";
    case CopyKey::cliUnknownApp:
        return u"No app with id {{identifier}} in the catalog.";
    case CopyKey::cliLauncherRunning:
        return u"Nimbara is running. Quit it first, then run nimbara-cli again.";
    case CopyKey::cliLockUnavailable:
        return u"Cannot lock {{value}} ({{reason}}); a running launcher would not be noticed.";
    case CopyKey::cliPreferencesKeptAside:
        return u"The preferences file could not be read. It was kept as {{value}}, and Nimbara "
               u"starts with empty preferences.";
    case CopyKey::cliCatalogUnavailable:
        return u"Could not load the catalog from {{value}}. Nothing was changed.";
    case CopyKey::cliAlreadyInstalled:
        return u"{{app}} {{version}} is already installed.";
    case CopyKey::cliUpdateOffered:
        return u"{{app}} {{installed}} is already installed; {{latest}} is available: "
               u"nimbara-cli update {{identifier}}";
    case CopyKey::cliInstalled:
        return u"Installed {{app}} {{version}}.";
    case CopyKey::cliUpdated:
        return u"Updated {{app}} to {{version}}.";
    case CopyKey::cliUpToDate:
        return u"{{app}} {{version}} is up to date.";
    case CopyKey::cliNoUpdates:
        return u"Every installed app is up to date.";
    case CopyKey::cliNotInstalled:
        return u"{{app}} is not installed.";
    case CopyKey::cliOpened:
        return u"Opened {{app}}.";
    case CopyKey::cliRemoved:
        return u"Removed {{app}}; it is in the Trash.";
    case CopyKey::cliRemovedWithData:
        return u"Removed {{app}}; it and its data are in the Trash.";
    case CopyKey::cliRolledBack:
        return u"Rolled {{app}} back to {{version}}.";
    case CopyKey::cliDownloading:
        return u"Downloading {{app}} {{progress}}%";
    case CopyKey::cliInstallingProgress:
        return u"Installing {{app}} {{progress}}%";
    case CopyKey::cliDownloaded:
        return u"Downloaded {{app}}.";
    case CopyKey::cliColumnID:
        return u"ID";
    case CopyKey::cliColumnName:
        return u"NAME";
    case CopyKey::cliColumnState:
        return u"STATE";
    case CopyKey::cliColumnInstalled:
        return u"INSTALLED";
    case CopyKey::cliColumnLatest:
        return u"LATEST";
    case CopyKey::cliListEmpty:
        return u"The catalog has no apps to show.";
    case CopyKey::cliStatusCatalog:
        return u"Catalog";
    case CopyKey::cliStatusInstallRoot:
        return u"Install folder";
    case CopyKey::cliStatusPreferences:
        return u"Preferences";
    case CopyKey::cliStatusLauncher:
        return u"Launcher";
    case CopyKey::cliStatusRunning:
        return u"running";
    case CopyKey::cliStatusNotRunning:
        return u"not running";
    case CopyKey::cliStatusInstalledCount:
        return u"Installed apps";
    case CopyKey::cliStatusUpdateCount:
        return u"Updates";
    case CopyKey::cliInterrupted:
        return u"Interrupted: installs that had not finished were cancelled.";
#define NIMBARA_LAUNCHER_KEY_CASE(name) case CopyKey::name:
        NIMBARA_LAUNCHER_COPY_KEYS(NIMBARA_LAUNCHER_KEY_CASE)
#undef NIMBARA_LAUNCHER_KEY_CASE
        break;
    }
    return {};
}

} // namespace nimbara::copy_table
