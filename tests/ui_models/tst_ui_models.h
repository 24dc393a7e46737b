#pragma once

#include "store/launcher_store.h"
#include "support/catalog_samples.h"
#include "support/fake_collaborators.h"
#include "text/nimbara_copy.h"

#include <QObject>
#include <QTest>
#include <memory>

namespace nimbara::test {

// A store on substitutes, with installs recorded before it starts where a test needs them.
struct ModelStore {
    FakeCollaborators fakes;
    std::unique_ptr<LauncherStore> store;

    // Records `app` as installed at `version` (with a real bundle) for the next start().
    void persistInstalled(const AppManifestItem& app, const QString& version);
    LauncherStore& start(const LauncherManifest& catalog);
};

QString english(CopyKey key, const CopyValues& values = {});
QStringList idsOf(const QList<AppManifestItem>& apps);
// Lets queued resumptions and posted events run.
void settle();

} // namespace nimbara::test

Q_DECLARE_METATYPE(nimbara::AppInstallState)
Q_DECLARE_METATYPE(nimbara::AppManifestItem)
Q_DECLARE_METATYPE(QList<nimbara::AppManifestItem>)

// The screens' view models and the pure rules behind them, without QML.
class TestUiModels : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // tst_library_rules.cpp
    void filteredApps_data();
    void filteredApps();
    void libraryContent_data();
    void libraryContent();
    void tileLabelsFollowStore();

    // tst_detail_rules.cpp
    void primaryActionAndDetail_data();
    void primaryActionAndDetail();
    void updateFeedValue_data();
    void updateFeedValue();
    void detailFollowsSelection();
    void detailRemovalWhileUninstalling();
    void downloadDetail_data();
    void downloadDetail();
    void detailDuringDownload();

    // tst_shell_rules.cpp
    void sortedCategories_data();
    void sortedCategories();
    void shellCountsVisibleApps();
    void announcementOfHiddenApp();
    void displayFamily_data();
    void displayFamily();
};
