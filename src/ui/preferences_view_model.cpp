#include "ui/preferences_view_model.h"

#include "core/logging.h"
#include "platform/detached_task.h"
#include "presentation/preferences_rules.h"
#include "store/launcher_store.h"
#include "text/nimbara_copy.h"

namespace nimbara {

PreferencesViewModel::PreferencesViewModel(QObject* parent) : StoreViewModel(parent) {}

void PreferencesViewModel::observe(LauncherStore& store) {
    using Model = PreferencesViewModel;
    connect(&store, &LauncherStore::launchAtLoginDesiredChanged, this,
            &Model::launchAtLoginChanged);
    connect(&store, &LauncherStore::launchAtLoginStateChanged, this, &Model::launchAtLoginChanged);
    connect(&store, &LauncherStore::includeBetaAppsChanged, this, &Model::includeBetaAppsChanged);
    connect(&store, &LauncherStore::localeChanged, this, &Model::refresh);
    connect(&store, &LauncherStore::uninstallInProgressChanged, this, &Model::uninstallChanged);
    connect(&store, &LauncherStore::showingUninstallConfirmationChanged, this,
            &Model::uninstallChanged);
    // The managed apps are those with a location or an installed state in the catalog.
    connect(&store, &LauncherStore::manifestChanged, this, &Model::confirmationChanged);
    connect(&store, &LauncherStore::installStatesChanged, this, &Model::confirmationChanged);
    connect(&store, &LauncherStore::installedAppURLsChanged, this, &Model::confirmationChanged);
}

void PreferencesViewModel::refresh() {
    Q_EMIT launchAtLoginChanged();
    Q_EMIT includeBetaAppsChanged();
    Q_EMIT localeChanged();
    Q_EMIT uninstallChanged();
    Q_EMIT confirmationChanged();
}

NimbaraLocale PreferencesViewModel::locale() const {
    return store_ ? store_->locale() : NimbaraLocale::en;
}

bool PreferencesViewModel::launchAtLogin() const {
    return store_ && store_->launchAtLoginDesired();
}

void PreferencesViewModel::setLaunchAtLogin(bool enabled) {
    if (store_) {
        store_->setLaunchAtLoginDesired(enabled);
    }
}

bool PreferencesViewModel::showsApprovalNote() const {
    return store_ && store_->launchAtLoginState().kind == LoginItemState::Case::requiresApproval;
}

bool PreferencesViewModel::showsErrorNote() const {
    return store_ && store_->launchAtLoginState().kind == LoginItemState::Case::failed;
}

QString PreferencesViewModel::errorNote() const {
    if (!showsErrorNote()) {
        return {};
    }
    return NimbaraCopy::text(CopyKey::preferencesLaunchAtLoginError, locale(),
                             {{QStringLiteral("reason"), store_->launchAtLoginState().message}});
}

bool PreferencesViewModel::includeBetaApps() const {
    return store_ && store_->includeBetaApps();
}

void PreferencesViewModel::setIncludeBetaApps(bool include) {
    if (store_) {
        store_->setIncludeBetaApps(include);
    }
}

QStringList PreferencesViewModel::languages() const {
    return languageChoices();
}

int PreferencesViewModel::languageIndex() const {
    return static_cast<int>(NimbaraLocales::allCases().indexOf(locale()));
}

void PreferencesViewModel::setLanguageIndex(int index) {
    const QList<NimbaraLocale>& locales = NimbaraLocales::allCases();
    if (store_ && index >= 0 && index < locales.size()) {
        store_->setLocale(locales.at(index));
    }
}

void PreferencesViewModel::setDeleteAppData(bool deleteData) {
    if (deleteAppData_ != deleteData) {
        deleteAppData_ = deleteData;
        Q_EMIT deleteAppDataChanged();
        Q_EMIT confirmationChanged();
    }
}

bool PreferencesViewModel::uninstallEnabled() const {
    return store_ && !store_->uninstallInProgress();
}

bool PreferencesViewModel::showingUninstallConfirmation() const {
    return store_ && store_->showingUninstallConfirmation();
}

void PreferencesViewModel::setShowingUninstallConfirmation(bool showing) {
    if (store_) {
        store_->setShowingUninstallConfirmation(showing);
    }
}

QString PreferencesViewModel::confirmationMessage() const {
    const qsizetype count = store_ ? store_->managedAppIDs().size() : 0;
    return uninstallConfirmationMessage(count, deleteAppData_, locale());
}

void PreferencesViewModel::openLoginItemSettings() {
    if (store_) {
        store_->openLoginItemSettings();
    }
}

void PreferencesViewModel::resetOnboarding() {
    if (store_) {
        store_->setOnboardingComplete(false);
    }
}

void PreferencesViewModel::requestUninstall() {
    if (uninstallEnabled()) {
        store_->setShowingUninstallConfirmation(true);
    }
}

void PreferencesViewModel::confirmUninstall() {
    if (!uninstallEnabled()) {
        return;
    }
    startDetached(store_->uninstallEverythingAndRemoveNimbara(deleteAppData_), logUi(),
                  QStringLiteral("uninstalling everything"));
}

} // namespace nimbara
