#include "cli_session.h"

#include "platform/network_session.h"
#include "platform/preferences_store.h"
#include "platform/system_information.h"
#include "services/launcher_login_item_manager.h"
#include "services/user_defaults_login_item_preference_store.h"
#include "services/xdg_autostart_login_item_adapter.h"
#include "store/launcher_store.h"

#include <QPointer>

namespace nimbara::cli {

namespace {

// The launcher's own login-item manager, marked as reconciled: at start the store puts a missing
// autostart entry back, naming the running executable. That entry must start the launcher, not
// nimbara-cli, so the launcher's own start keeps it and nimbara-cli leaves it as it is.
std::shared_ptr<LoginItemManaging>
loginItemsLeftToTheLauncher(const std::shared_ptr<PreferencesStore>& preferences) {
    auto manager = std::make_shared<LauncherLoginItemManager>(
        std::make_shared<XdgAutostartLoginItemAdapter>(),
        std::make_shared<UserDefaultsLoginItemPreferenceStore>(preferences));
    manager->setHasReconciledAfterLaunch(true);
    return manager;
}

} // namespace

CliSession::CliSession() : locations_(ProductionLocations::current()) {
    LauncherStoreWiring wiring = productionWiring(sharedNetworkAccessManager());
    preferences_ = wiring.userDefaults;
    system_ = wiring.systemInformation;
    wiring.loginItemManager = loginItemsLeftToTheLauncher(preferences_);
    store_ = std::make_unique<LauncherStore>(std::move(wiring));
}

CliSession::~CliSession() = default;

OperatingSystemVersion CliSession::runningSystem() const {
    return system_ ? system_->runningSystemVersion() : OperatingSystemVersion{};
}

QMap<QString, QString> CliSession::recordedVersions() const {
    return loadStringDictionary(*preferences_, QLatin1String(StoreKeys::installedVersions));
}

QString CliSession::keptAsidePreferences() const {
    return preferences_->keptAsidePath();
}

QCoro::Task<bool> CliSession::loadCatalog() {
    LauncherStore& store = *store_;
    co_await store.loadStoredStateIfNeeded();
    // The store never fails a catalog load towards its caller: it keeps the catalog it has and
    // says so in its error message, which is the one sign of a failed load.
    store.setErrorMessage(std::nullopt);
    co_await store.loadManifest();
    const QString fallback = NimbaraCopy::text(CopyKey::errorManifestFallback, store.locale());
    co_return store.errorMessage() != fallback;
}

} // namespace nimbara::cli
