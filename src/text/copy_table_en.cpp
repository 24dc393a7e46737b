#include "text/copy_table.h"

namespace nimbara::copy_table {

// English templates. The switch has no default, so a key without a case fails to compile.
QStringView english(CopyKey key) {
    switch (key) {
    case CopyKey::brand:
        return u"Nimbara";
    case CopyKey::ok:
        return u"OK";
    case CopyKey::refreshCatalog:
        return u"Check for apps";
    case CopyKey::openNimbara:
        return u"Open Nimbara...";
    case CopyKey::appCount:
        return u"{{count}} apps ready";
    case CopyKey::betaBadge:
        return u"Available";
    case CopyKey::statusReady:
        return u"Ready";
    case CopyKey::statusComingSoon:
        return u"Coming soon";
    case CopyKey::statusLive:
        return u"Live";
    case CopyKey::statusBeta:
        return u"Available";
    case CopyKey::statusRetired:
        return u"Retired";
    case CopyKey::installNotInstalled:
        return u"Not installed";
    case CopyKey::installInstalling:
        return u"Installing {{progress}}%";
    case CopyKey::installInstalled:
        return u"Installed {{version}}";
    case CopyKey::installUpdateAvailable:
        return u"{{installed}} -> {{latest}}";
    case CopyKey::installFailed:
        return u"Failed";
    case CopyKey::installAction:
        return u"Install";
    case CopyKey::installingAction:
        return u"Installing";
    case CopyKey::openAction:
        return u"Open";
    case CopyKey::updateAction:
        return u"Update";
    case CopyKey::notInstalledDetail:
        return u"Ready to install.";
    case CopyKey::installingDetail:
        return u"Installing now.";
    case CopyKey::installedDetail:
        return u"Ready to open from this computer.";
    case CopyKey::updateDetail:
        return u"A newer version is ready.";
    case CopyKey::cancelInstallAction:
        return u"Cancel";
    case CopyKey::downloadProgress:
        return u"{{received}} of {{total}} · {{rate}} · {{remaining}}";
    case CopyKey::downloadProgressNoTotal:
        return u"{{received}} · {{rate}}";
    case CopyKey::downloadRate:
        return u"{{size}}/s";
    case CopyKey::sizeKilobytes:
        return u"{{value}} kB";
    case CopyKey::sizeMegabytes:
        return u"{{value}} MB";
    case CopyKey::sizeGigabytes:
        return u"{{value}} GB";
    case CopyKey::timeLeftSeconds:
        return u"{{count}} s left";
    case CopyKey::timeLeftMinutes:
        return u"{{count}} min left";
    case CopyKey::sidebarHome:
        return u"Home";
    case CopyKey::sidebarAllApps:
        return u"All apps";
    case CopyKey::sidebarSelected:
        return u"Selected";
    case CopyKey::sidebarUpdates:
        return u"Updates";
    case CopyKey::sidebarPreferences:
        return u"Preferences";
    case CopyKey::sidebarCategories:
        return u"Categories";
    case CopyKey::sidebarQuickSwitcher:
        return u"Quick switcher";
    case CopyKey::topLibrary:
        return u"Library";
    case CopyKey::topCatalog:
        return u"Nimbara apps";
    case CopyKey::topSearchApps:
        return u"Search apps";
    case CopyKey::topClearSearch:
        return u"Clear search";
    case CopyKey::topQuickSwitch:
        return u"Quick switch";
    case CopyKey::onboardingWelcome:
        return u"Welcome to Nimbara.";
    case CopyKey::onboardingStepChoose:
        return u"Choose apps";
    case CopyKey::onboardingStepInstall:
        return u"Install selected apps";
    case CopyKey::onboardingStepOpen:
        return u"Open the launcher";
    case CopyKey::onboardingStatus:
        return u"{{count}} apps ready to install";
    case CopyKey::onboardingTitle:
        return u"Choose what to install first";
    case CopyKey::onboardingLead:
        return u"Pick the apps you want on this computer. You can install the rest later.";
    case CopyKey::onboardingSelectedCount:
        return u"{{count}} apps selected";
    case CopyKey::onboardingContinue:
        return u"Continue";
    case CopyKey::homeGreeting:
        return u"Welcome back{{name}}.";
    case CopyKey::homeSubtitleEmpty:
        return u"Nimbara is ready. Apps will appear here as they ship.";
    case CopyKey::homeSubtitleApps:
        return u"{{count}} apps are ready to install.";
    case CopyKey::emptyTitle:
        return u"No apps are available yet";
    case CopyKey::emptyBody:
        return u"You have the launcher. When the first app is ready, it will show up here "
               u"automatically.";
    case CopyKey::emptyPrimaryAction:
        return u"Check for apps";
    case CopyKey::emptyTrustTitle:
        return u"What happens next";
    case CopyKey::emptyTrustBody:
        return u"New apps appear here only after they have a real download and a short privacy "
               u"note.";
    case CopyKey::comingSoonTitle:
        return u"Apps are coming soon";
    case CopyKey::comingSoonBody:
        return u"These apps are in progress. You will see an install button when a download is "
               u"ready.";
    case CopyKey::comingSoonTileStatus:
        return u"Preview only";
    case CopyKey::firstAppTitle:
        return u"Ready to install";
    case CopyKey::firstAppBody:
        return u"Open the app page to see what it does, what changed, and what stays on your "
               u"computer.";
    case CopyKey::publishedAppsTitle:
        return u"Ready now";
    case CopyKey::appListSubtitle:
        return u"{{count}} apps";
    case CopyKey::allAppsTitle:
        return u"All apps";
    case CopyKey::selectedAppsTitle:
        return u"Selected apps";
    case CopyKey::updatesTitle:
        return u"Updates";
    case CopyKey::noAppsTitle:
        return u"No apps match this view";
    case CopyKey::noAppsBody:
        return u"Try another section or clear the search.";
    case CopyKey::noUpdatesTitle:
        return u"No updates right now";
    case CopyKey::noUpdatesBody:
        return u"New app versions will appear here after publishing.";
    case CopyKey::noSelectedTitle:
        return u"No selected apps yet";
    case CopyKey::noSelectedBody:
        return u"Choose ready apps during setup or from the library.";
    case CopyKey::basicsTitle:
        return u"Good to know";
    case CopyKey::basicsOne:
        return u"Apps marked Ready can be installed from this launcher.";
    case CopyKey::basicsTwo:
        return u"Apps marked Coming soon are visible early, but not downloadable yet.";
    case CopyKey::basicsThree:
        return u"When a new app ships, Nimbara will let you know here.";
    case CopyKey::selectedAppEmptyTitle:
        return u"No app selected";
    case CopyKey::selectedAppEmptyBody:
        return u"Choose an app to see what it does and whether it is ready to install.";
    case CopyKey::detailsTitle:
        return u"Details";
    case CopyKey::bundleID:
        return u"App ID";
    case CopyKey::version:
        return u"Version";
    case CopyKey::minimumMacOS:
        return u"Minimum system version";
    case CopyKey::checksum:
        return u"Download check";
    case CopyKey::checksumVerified:
        return u"Checked before install";
    case CopyKey::updateFeed:
        return u"Updates";
    case CopyKey::pendingRelease:
        return u"Not ready yet";
    case CopyKey::notConfigured:
        return u"Not configured";
    case CopyKey::recentUpdates:
        return u"Recent updates";
    case CopyKey::privacyTitle:
        return u"Privacy";
    case CopyKey::quickSearchPlaceholder:
        return u"Search Nimbara apps";
    case CopyKey::quickResults:
        return u"Apps · {{count}} results";
    case CopyKey::quickNoResults:
        return u"No results";
    case CopyKey::quickOpenHint:
        return u"Open";
    case CopyKey::quickInstallHint:
        return u"Install";
    case CopyKey::quickFooterLeft:
        return u"↑↓ navigate";
    case CopyKey::quickFooterRight:
        return u"↵ open · esc close";
    case CopyKey::menuQuickLaunch:
        return u"Quick launch";
    case CopyKey::menuUpdates:
        return u"Updates";
    case CopyKey::menuUpdatesDetail:
        return u"New versions will appear here";
    case CopyKey::menuCheckForUpdates:
        return u"Check for Updates...";
    case CopyKey::menuMore:
        return u"More";
    case CopyKey::menuQuit:
        return u"Quit Nimbara";
    case CopyKey::updateChecking:
        return u"Checking for updates…";
    case CopyKey::updateAvailableTitle:
        return u"Nimbara {{version}} is available";
    case CopyKey::updateAvailableBody:
        return u"You have version {{installed}}. Nimbara restarts once the update is installed.";
    case CopyKey::updateInstall:
        return u"Install update";
    case CopyKey::updateLater:
        return u"Later";
    case CopyKey::updateInstalling:
        return u"Installing Nimbara {{version}}…";
    case CopyKey::updateRelaunching:
        return u"Restarting Nimbara…";
    case CopyKey::updateUpToDateTitle:
        return u"You're up to date";
    case CopyKey::updateUpToDateBody:
        return u"Nimbara {{version}} is the newest version available.";
    case CopyKey::updateCheckFailed:
        return u"Couldn't check for updates: {{reason}}";
    case CopyKey::updateInstallFailed:
        return u"Couldn't install the update: {{reason}}";
    case CopyKey::updateReleaseNotesLink:
        return u"Full release notes";
    case CopyKey::updateCancel:
        return u"Cancel";
    case CopyKey::sendFeedback:
        return u"Send feedback";
    case CopyKey::feedbackTitle:
        return u"Send feedback";
    case CopyKey::feedbackLead:
        return u"Report a bug, suggest an idea, or tell us what should feel better.";
    case CopyKey::feedbackType:
        return u"Type";
    case CopyKey::feedbackTypeBug:
        return u"Bug";
    case CopyKey::feedbackTypeIdea:
        return u"Idea";
    case CopyKey::feedbackTypeImprovement:
        return u"Improvement";
    case CopyKey::feedbackTypeOther:
        return u"Other";
    case CopyKey::feedbackRelatedApp:
        return u"Related app";
    case CopyKey::feedbackNoRelatedApp:
        return u"No app";
    case CopyKey::feedbackSummary:
        return u"Summary";
    case CopyKey::feedbackSummaryPlaceholder:
        return u"Short title";
    case CopyKey::feedbackDescription:
        return u"Details";
    case CopyKey::feedbackDescriptionPlaceholder:
        return u"What happened, what did you expect, or what would you like to see?";
    case CopyKey::feedbackDiagnosticsTitle:
        return u"Diagnostics";
    case CopyKey::feedbackDiagnosticsBody:
        return u"Nimbara sends basic context with your report, such as the system version, the "
               u"language and the selected app.";
    case CopyKey::feedbackCancel:
        return u"Cancel";
    case CopyKey::feedbackSubmit:
        return u"Send";
    case CopyKey::feedbackSubmitting:
        return u"Sending";
    case CopyKey::feedbackSuccessTitle:
        return u"Feedback sent";
    case CopyKey::feedbackSuccessBody:
        return u"Thanks. We will read it and follow up if needed.";
    case CopyKey::feedbackIssue:
        return u"Issue {{identifier}}";
    case CopyKey::feedbackClose:
        return u"Close";
    case CopyKey::feedbackSubmitFailed:
        return u"Feedback could not be sent right now.";
    case CopyKey::preferencesGeneral:
        return u"General";
    case CopyKey::preferencesApps:
        return u"Apps";
    case CopyKey::preferencesUpdates:
        return u"Updates";
    case CopyKey::preferencesAdvanced:
        return u"Advanced";
    case CopyKey::preferencesLaunchAtLogin:
        return u"Launch Nimbara at login";
    case CopyKey::preferencesLaunchAtLoginRequiresApproval:
        return u"The system needs you to approve Nimbara before it can start at login.";
    case CopyKey::preferencesLaunchAtLoginOpenSettings:
        return u"Open settings for apps that start at login";
    case CopyKey::preferencesLaunchAtLoginError:
        return u"Couldn't update launch at login: {{reason}}";
    case CopyKey::preferencesShowInMenuBar:
        return u"Show in system tray";
    case CopyKey::preferencesIncludeBetaApps:
        return u"Include all available apps";
    case CopyKey::preferencesLanguage:
        return u"Language";
    case CopyKey::preferencesGlobalShortcut:
        return u"Global shortcut";
    case CopyKey::preferencesReleaseReadiness:
        return u"App readiness";
    case CopyKey::preferencesSigning:
        return u"Only apps with a real download for this system can be installed.";
    case CopyKey::preferencesUpdateFeeds:
        return u"Updates appear here when a new version ships.";
    case CopyKey::preferencesChecksums:
        return u"Nimbara checks downloads before installing them.";
    case CopyKey::preferencesResetOnboarding:
        return u"Reset onboarding";
    case CopyKey::removeAction:
        return u"Remove";
    case CopyKey::removeAppConfirmTitle:
        return u"Remove {{app}}?";
    case CopyKey::removeAppConfirmBody:
        return u"This moves {{app}} to the Trash. You can reinstall it later from Nimbara.";
    case CopyKey::removeAppConfirmButton:
        return u"Move to Trash";
    case CopyKey::uninstallSectionTitle:
        return u"Uninstall Nimbara";
    case CopyKey::uninstallSectionBody:
        return u"Remove all installed apps and Nimbara itself from this computer.";
    case CopyKey::uninstallDeleteDataToggle:
        return u"Also delete app data";
    case CopyKey::uninstallEverythingAction:
        return u"Uninstall Nimbara and all apps";
    case CopyKey::uninstallEverythingConfirmTitle:
        return u"Uninstall Nimbara and all apps?";
    case CopyKey::uninstallEverythingConfirmBody:
        return u"{{count}} apps and Nimbara will be moved to the Trash, and Nimbara will quit. App "
               u"data stays on this computer.";
    case CopyKey::uninstallEverythingConfirmBodyWithData:
        return u"{{count}} apps and Nimbara will be moved to the Trash, their data will be "
               u"deleted, and Nimbara will quit.";
    case CopyKey::uninstallEverythingConfirmButton:
        return u"Uninstall and quit";
    case CopyKey::uninstallCancel:
        return u"Cancel";
    case CopyKey::uninstallPartialFailure:
        return u"Some parts of {{app}} could not be removed: {{reason}}";
    case CopyKey::uninstallEverythingPartialFailure:
        return u"Uninstall finished with problems: {{reason}}";
    case CopyKey::announcementTitle:
        return u"New in Nimbara";
    case CopyKey::announcementOpenApp:
        return u"View app";
    case CopyKey::announcementDismiss:
        return u"Not now";
    case CopyKey::errorManifestFallback:
        return u"Could not refresh apps. Showing the last known state.";
    case CopyKey::errorCannotInstall:
        return u"{{app}} cannot be installed right now.";
    case CopyKey::errorInstallFailed:
        return u"Could not install {{app}}. {{reason}}";
    case CopyKey::errorNoBundle:
        return u"No app bundle was found on this computer for {{app}}.";
    case CopyKey::errorArchiveLayout:
        return u"The download must contain exactly one app at its top level.";
    case CopyKey::errorReinstallRequired:
        return u"{{app}} on this computer no longer matches what Nimbara installed. Reinstall it "
               u"from Nimbara.";
    case CopyKey::updateAllAction:
        return u"Update all ({{count}})";
    case CopyKey::cancelUpdateAllAction:
        return u"Stop updating";
    case CopyKey::rollBackAction:
        return u"Roll back to {{version}}";
    case CopyKey::errorUpdateAllFailed:
        return u"These apps could not be updated: {{apps}}. Each app's page says why.";
    case CopyKey::errorRollBackFailed:
        return u"Could not roll back {{app}}. {{reason}}";
    case CopyKey::errorNoKeptCopy:
        return u"No earlier version of this app is kept on this computer.";
    case CopyKey::codeValidationMissingTeamID:
        return u"This Nimbara build has no signing team configured, so apps cannot be installed.";
    case CopyKey::codeValidationUnreadableBundle:
        return u"The app bundle could not be read.";
    case CopyKey::codeValidationBundleIdentifierMismatch:
        return u"The app's identifier does not match the catalog.";
    case CopyKey::codeValidationBundleVersionMismatch:
        return u"The app's version does not match the published release.";
    case CopyKey::codeValidationInvalidSignature:
        return u"The app's code signature is missing or invalid.";
    case CopyKey::codeValidationSigningIdentifierMismatch:
        return u"The app's signature was made for a different app.";
    case CopyKey::codeValidationNotDeveloperID:
        return u"The app is not signed with a recognized developer certificate.";
    case CopyKey::codeValidationTeamMismatch:
        return u"The app was signed by a team Nimbara does not trust.";
#define NIMBARA_CLI_KEY_CASE(name) case CopyKey::name:
        NIMBARA_CLI_COPY_KEYS(NIMBARA_CLI_KEY_CASE)
#undef NIMBARA_CLI_KEY_CASE
        return commandLineEnglish(key);
    }
    return {};
}

} // namespace nimbara::copy_table
