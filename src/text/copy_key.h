#pragma once

#include <QLatin1StringView>
#include <QList>

namespace nimbara {

// Every key of the text table, in table order. The raw value of a key is its case name. The
// launcher's keys come first, then those of nimbara-cli (whose texts live in their own files).
#define NIMBARA_LAUNCHER_COPY_KEYS(X)                                                              \
    X(brand)                                                                                       \
    X(ok)                                                                                          \
    X(refreshCatalog)                                                                              \
    X(openNimbara)                                                                                 \
    X(appCount)                                                                                    \
    X(betaBadge)                                                                                   \
    X(statusReady)                                                                                 \
    X(statusComingSoon)                                                                            \
    X(statusLive)                                                                                  \
    X(statusBeta)                                                                                  \
    X(statusRetired)                                                                               \
    X(installNotInstalled)                                                                         \
    X(installInstalling)                                                                           \
    X(installInstalled)                                                                            \
    X(installUpdateAvailable)                                                                      \
    X(installFailed)                                                                               \
    X(installAction)                                                                               \
    X(installingAction)                                                                            \
    X(openAction)                                                                                  \
    X(updateAction)                                                                                \
    X(notInstalledDetail)                                                                          \
    X(installingDetail)                                                                            \
    X(installedDetail)                                                                             \
    X(updateDetail)                                                                                \
    X(cancelInstallAction)                                                                         \
    X(downloadProgress)                                                                            \
    X(downloadProgressNoTotal)                                                                     \
    X(downloadRate)                                                                                \
    X(sizeKilobytes)                                                                               \
    X(sizeMegabytes)                                                                               \
    X(sizeGigabytes)                                                                               \
    X(timeLeftSeconds)                                                                             \
    X(timeLeftMinutes)                                                                             \
    X(sidebarHome)                                                                                 \
    X(sidebarAllApps)                                                                              \
    X(sidebarSelected)                                                                             \
    X(sidebarUpdates)                                                                              \
    X(sidebarPreferences)                                                                          \
    X(sidebarCategories)                                                                           \
    X(sidebarQuickSwitcher)                                                                        \
    X(topLibrary)                                                                                  \
    X(topCatalog)                                                                                  \
    X(topSearchApps)                                                                               \
    X(topClearSearch)                                                                              \
    X(topQuickSwitch)                                                                              \
    X(onboardingWelcome)                                                                           \
    X(onboardingStepChoose)                                                                        \
    X(onboardingStepInstall)                                                                       \
    X(onboardingStepOpen)                                                                          \
    X(onboardingStatus)                                                                            \
    X(onboardingTitle)                                                                             \
    X(onboardingLead)                                                                              \
    X(onboardingSelectedCount)                                                                     \
    X(onboardingContinue)                                                                          \
    X(homeGreeting)                                                                                \
    X(homeSubtitleEmpty)                                                                           \
    X(homeSubtitleApps)                                                                            \
    X(emptyTitle)                                                                                  \
    X(emptyBody)                                                                                   \
    X(emptyPrimaryAction)                                                                          \
    X(emptyTrustTitle)                                                                             \
    X(emptyTrustBody)                                                                              \
    X(comingSoonTitle)                                                                             \
    X(comingSoonBody)                                                                              \
    X(comingSoonTileStatus)                                                                        \
    X(firstAppTitle)                                                                               \
    X(firstAppBody)                                                                                \
    X(publishedAppsTitle)                                                                          \
    X(appListSubtitle)                                                                             \
    X(allAppsTitle)                                                                                \
    X(selectedAppsTitle)                                                                           \
    X(updatesTitle)                                                                                \
    X(noAppsTitle)                                                                                 \
    X(noAppsBody)                                                                                  \
    X(noUpdatesTitle)                                                                              \
    X(noUpdatesBody)                                                                               \
    X(noSelectedTitle)                                                                             \
    X(noSelectedBody)                                                                              \
    X(basicsTitle)                                                                                 \
    X(basicsOne)                                                                                   \
    X(basicsTwo)                                                                                   \
    X(basicsThree)                                                                                 \
    X(selectedAppEmptyTitle)                                                                       \
    X(selectedAppEmptyBody)                                                                        \
    X(detailsTitle)                                                                                \
    X(bundleID)                                                                                    \
    X(version)                                                                                     \
    X(minimumMacOS)                                                                                \
    X(checksum)                                                                                    \
    X(checksumVerified)                                                                            \
    X(updateFeed)                                                                                  \
    X(pendingRelease)                                                                              \
    X(notConfigured)                                                                               \
    X(recentUpdates)                                                                               \
    X(privacyTitle)                                                                                \
    X(quickSearchPlaceholder)                                                                      \
    X(quickResults)                                                                                \
    X(quickNoResults)                                                                              \
    X(quickOpenHint)                                                                               \
    X(quickInstallHint)                                                                            \
    X(quickFooterLeft)                                                                             \
    X(quickFooterRight)                                                                            \
    X(menuQuickLaunch)                                                                             \
    X(menuUpdates)                                                                                 \
    X(menuUpdatesDetail)                                                                           \
    X(menuCheckForUpdates)                                                                         \
    X(menuMore)                                                                                    \
    X(menuQuit)                                                                                    \
    X(updateChecking)                                                                              \
    X(updateAvailableTitle)                                                                        \
    X(updateAvailableBody)                                                                         \
    X(updateInstall)                                                                               \
    X(updateLater)                                                                                 \
    X(updateInstalling)                                                                            \
    X(updateRelaunching)                                                                           \
    X(updateUpToDateTitle)                                                                         \
    X(updateUpToDateBody)                                                                          \
    X(updateCheckFailed)                                                                           \
    X(updateInstallFailed)                                                                         \
    X(updateReleaseNotesLink)                                                                      \
    X(updateCancel)                                                                                \
    X(sendFeedback)                                                                                \
    X(feedbackTitle)                                                                               \
    X(feedbackLead)                                                                                \
    X(feedbackType)                                                                                \
    X(feedbackTypeBug)                                                                             \
    X(feedbackTypeIdea)                                                                            \
    X(feedbackTypeImprovement)                                                                     \
    X(feedbackTypeOther)                                                                           \
    X(feedbackRelatedApp)                                                                          \
    X(feedbackNoRelatedApp)                                                                        \
    X(feedbackSummary)                                                                             \
    X(feedbackSummaryPlaceholder)                                                                  \
    X(feedbackDescription)                                                                         \
    X(feedbackDescriptionPlaceholder)                                                              \
    X(feedbackDiagnosticsTitle)                                                                    \
    X(feedbackDiagnosticsBody)                                                                     \
    X(feedbackCancel)                                                                              \
    X(feedbackSubmit)                                                                              \
    X(feedbackSubmitting)                                                                          \
    X(feedbackSuccessTitle)                                                                        \
    X(feedbackSuccessBody)                                                                         \
    X(feedbackIssue)                                                                               \
    X(feedbackClose)                                                                               \
    X(feedbackSubmitFailed)                                                                        \
    X(preferencesGeneral)                                                                          \
    X(preferencesApps)                                                                             \
    X(preferencesUpdates)                                                                          \
    X(preferencesAdvanced)                                                                         \
    X(preferencesLaunchAtLogin)                                                                    \
    X(preferencesLaunchAtLoginRequiresApproval)                                                    \
    X(preferencesLaunchAtLoginOpenSettings)                                                        \
    X(preferencesLaunchAtLoginError)                                                               \
    X(preferencesShowInMenuBar)                                                                    \
    X(preferencesIncludeBetaApps)                                                                  \
    X(preferencesLanguage)                                                                         \
    X(preferencesGlobalShortcut)                                                                   \
    X(preferencesReleaseReadiness)                                                                 \
    X(preferencesSigning)                                                                          \
    X(preferencesUpdateFeeds)                                                                      \
    X(preferencesChecksums)                                                                        \
    X(preferencesResetOnboarding)                                                                  \
    X(removeAction)                                                                                \
    X(removeAppConfirmTitle)                                                                       \
    X(removeAppConfirmBody)                                                                        \
    X(removeAppConfirmButton)                                                                      \
    X(uninstallSectionTitle)                                                                       \
    X(uninstallSectionBody)                                                                        \
    X(uninstallDeleteDataToggle)                                                                   \
    X(uninstallEverythingAction)                                                                   \
    X(uninstallEverythingConfirmTitle)                                                             \
    X(uninstallEverythingConfirmBody)                                                              \
    X(uninstallEverythingConfirmBodyWithData)                                                      \
    X(uninstallEverythingConfirmButton)                                                            \
    X(uninstallCancel)                                                                             \
    X(uninstallPartialFailure)                                                                     \
    X(uninstallEverythingPartialFailure)                                                           \
    X(announcementTitle)                                                                           \
    X(announcementOpenApp)                                                                         \
    X(announcementDismiss)                                                                         \
    X(errorManifestFallback)                                                                       \
    X(errorCannotInstall)                                                                          \
    X(errorInstallFailed)                                                                          \
    X(errorNoBundle)                                                                               \
    X(errorArchiveLayout)                                                                          \
    X(errorReinstallRequired)                                                                      \
    X(updateAllAction)                                                                             \
    X(cancelUpdateAllAction)                                                                       \
    X(rollBackAction)                                                                              \
    X(errorUpdateAllFailed)                                                                        \
    X(errorRollBackFailed)                                                                         \
    X(errorNoKeptCopy)                                                                             \
    X(codeValidationMissingTeamID)                                                                 \
    X(codeValidationUnreadableBundle)                                                              \
    X(codeValidationBundleIdentifierMismatch)                                                      \
    X(codeValidationBundleVersionMismatch)                                                         \
    X(codeValidationInvalidSignature)                                                              \
    X(codeValidationSigningIdentifierMismatch)                                                     \
    X(codeValidationNotDeveloperID)                                                                \
    X(codeValidationTeamMismatch)

#define NIMBARA_CLI_COPY_KEYS(X)                                                                   \
    X(cliHelp)                                                                                     \
    X(cliNoCommand)                                                                                \
    X(cliUnknownCommand)                                                                           \
    X(cliUnknownOption)                                                                            \
    X(cliOptionNotForCommand)                                                                      \
    X(cliMissingID)                                                                                \
    X(cliEmptyID)                                                                                  \
    X(cliOneID)                                                                                    \
    X(cliNoIDs)                                                                                    \
    X(cliUpdateWhich)                                                                              \
    X(cliUpdateAllWithIDs)                                                                         \
    X(cliUnknownApp)                                                                               \
    X(cliLauncherRunning)                                                                          \
    X(cliLockUnavailable)                                                                          \
    X(cliPreferencesKeptAside)                                                                     \
    X(cliCatalogUnavailable)                                                                       \
    X(cliAlreadyInstalled)                                                                         \
    X(cliUpdateOffered)                                                                            \
    X(cliInstalled)                                                                                \
    X(cliUpdated)                                                                                  \
    X(cliUpToDate)                                                                                 \
    X(cliNoUpdates)                                                                                \
    X(cliNotInstalled)                                                                             \
    X(cliOpened)                                                                                   \
    X(cliRemoved)                                                                                  \
    X(cliRemovedWithData)                                                                          \
    X(cliRolledBack)                                                                               \
    X(cliDownloading)                                                                              \
    X(cliInstallingProgress)                                                                       \
    X(cliDownloaded)                                                                               \
    X(cliColumnID)                                                                                 \
    X(cliColumnName)                                                                               \
    X(cliColumnState)                                                                              \
    X(cliColumnInstalled)                                                                          \
    X(cliColumnLatest)                                                                             \
    X(cliListEmpty)                                                                                \
    X(cliStatusCatalog)                                                                            \
    X(cliStatusInstallRoot)                                                                        \
    X(cliStatusPreferences)                                                                        \
    X(cliStatusLauncher)                                                                           \
    X(cliStatusRunning)                                                                            \
    X(cliStatusNotRunning)                                                                         \
    X(cliStatusInstalledCount)                                                                     \
    X(cliStatusUpdateCount)                                                                        \
    X(cliInterrupted)

#define NIMBARA_COPY_KEYS(X) NIMBARA_LAUNCHER_COPY_KEYS(X) NIMBARA_CLI_COPY_KEYS(X)

enum class CopyKey {
#define NIMBARA_COPY_KEY_CASE(name) name,
    NIMBARA_COPY_KEYS(NIMBARA_COPY_KEY_CASE)
#undef NIMBARA_COPY_KEY_CASE
};

namespace CopyKeys {
// Every key in declaration order.
const QList<CopyKey>& allCases();
// The key's case name, e.g. "installInstalling".
QLatin1StringView rawValue(CopyKey key);
} // namespace CopyKeys

} // namespace nimbara
