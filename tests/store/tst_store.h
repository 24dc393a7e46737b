#pragma once

#include "catalog/seed_manifest.h"
#include "store/launcher_store.h"
#include "support/catalog_samples.h"
#include "support/fake_collaborators.h"
#include "text/nimbara_copy.h"

#include <QObject>
#include <QTest>
#include <memory>

// Readable values in failure messages (found by argument-dependent lookup).
char* toString(const std::optional<QString>& text);
char* toString(const std::optional<QUrl>& url);

namespace nimbara {
char* toString(const AppInstallState& state);
} // namespace nimbara

namespace nimbara::test {

// A store built over one set of substitutes. The substitutes outlive every store built here,
// and restart() builds the next store over the same preferences file, as a relaunch would.
class StoreHarness {
public:
    FakeCollaborators fakes;
    std::unique_ptr<LauncherStore> store;

    LauncherStore& start(LauncherManifest manifest = SeedManifest::manifest(),
                         bool loadStoredStateSynchronously = false);
    LauncherStore& restart(LauncherManifest manifest = SeedManifest::manifest());

    // What the application does when its window first appears: restore, then load the catalog.
    void startUp();
    void loadManifest(); // waits until the load has finished

    // Persists `app` as installed with `version`, with a real bundle under the install root.
    void persistInstalledApp(const AppManifestItem& app, const QString& version);
    QUrl bundleURL(const AppManifestItem& app) const;
};

// Lets every queued resumption and posted event run, so that work that should not happen has
// had its chance to happen.
void settle();
// Waits until the thread pool's workers are done, then lets the work they resumed run.
void finishWorkers();

// The English text of `key` for `app`.
QString textFor(CopyKey key, const QString& app, const QString& reason = {});

// The file as it is now, to compare with it later.
QByteArray readFile(const QString& path);

using Reports = QList<FakeErrorReporter::Report>;
inline bool operator==(const FakeErrorReporter::Report& a, const FakeErrorReporter::Report& b) {
    return a.description == b.description && a.context == b.context;
}

// A flag of the preferences file as it is now.
bool storedFlag(const StoreHarness& h, const char* key);

// An install event of kAlpha 1.0.0.
LauncherOperationalEvent alphaEvent(const char* type, const char* status,
                                    std::optional<QString> reason = std::nullopt);

// A catalog load or submission that cannot reach its server.
std::exception_ptr offline();

// When this executable was started as the child of recoversUpdateKilledMidSwap, runs its
// update, which kills the process; returns the exit status only when it survived. Otherwise
// (a normal test run) returns nothing.
std::optional<int> runAsCrashChild();

inline const AppManifestItem kAlpha = publishedApp(QStringLiteral("alpha"));
inline const AppManifestItem kBravo = publishedApp(QStringLiteral("bravo"));
inline const AppInstallState kInstalled = AppInstallState::installed(QStringLiteral("1.0.0"));
inline const AppInstallState kInstalling = AppInstallState::installing(0.04);

} // namespace nimbara::test

Q_DECLARE_METATYPE(nimbara::AppInstallState)
Q_DECLARE_METATYPE(nimbara::AppManifestItem)
Q_DECLARE_METATYPE(nimbara::FeedbackSubmissionState)

// The launcher store, driven through substitutes of its collaborators and a real preferences
// file. The slots are spread over tst_store_*.cpp by concern.
class TestStore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // tst_store_startup.cpp
    void revalidatesPersistedInstalls_data();
    void revalidatesPersistedInstalls();
    void storedStateLoadsOnce_data();
    void storedStateLoadsOnce();
    void buildsItsOwnLoginItemManager();
    void refreshKeepsLastCatalogOnFailure();
    void loadCompletesOnboardingOnlyWithoutPublishedApps_data();
    void loadCompletesOnboardingOnlyWithoutPublishedApps();
    void selectionAfterLoad_data();
    void selectionAfterLoad();
    void duplicateAppIDKeepsFirst();
    void persistedStateSurvivesRestart();
    void installRecordedWhileRevalidating();
    void overlappingLoadsFetchOnce();

    // tst_store_install.cpp
    void installPreconditions_data();
    void installPreconditions();
    void installOutcome_data();
    void installOutcome();
    void oneInstallPerAppAtATime();
    void installOutlivesDestroyedStore_data();
    void installOutlivesDestroyedStore();
    void openInstalledApp_data();
    void openInstalledApp();
    void openAppNeverInstalls();
    void reloadDuringInstall();
    void openWhileLookupRuns_data();
    void openWhileLookupRuns();

    // tst_store_progress.cpp
    void installProgress_data();
    void installProgress();
    void cancelInstall_data();
    void cancelInstall();

    // tst_store_recovery.cpp
    void recoversInterruptedInstalls_data();
    void recoversInterruptedInstalls();

    // tst_store_crash.cpp
    void recoversUpdateKilledMidSwap_data();
    void recoversUpdateKilledMidSwap();

    // tst_store_updates.cpp
    void updateAll_data();
    void updateAll();
    void rollBack_data();
    void rollBack();

    // tst_store_removal.cpp
    void uninstallOneApp_data();
    void uninstallOneApp();
    void uninstallEverything_data();
    void uninstallEverything();

    // tst_store_announcements.cpp
    void announcementsAcrossLoadsAndRestarts();
    void openingAnnouncementApp_data();
    void openingAnnouncementApp();

    // tst_store_onboarding.cpp
    void finishOnboarding_data();
    void finishOnboarding();

    // tst_store_feedback.cpp
    void feedbackRequest_data();
    void feedbackRequest();
    void feedbackOutcome_data();
    void feedbackOutcome();
};
