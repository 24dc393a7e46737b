#pragma once

#include "platform/operating_system_version.h"
#include "wiring/production_wiring.h"

#include <QCoro/QCoroTask>
#include <QMap>
#include <QString>
#include <memory>

namespace nimbara {
class LauncherStore;
class PreferencesStore;
class SystemInformation;
} // namespace nimbara

namespace nimbara::cli {

// The launcher's store, built from the launcher's own production wiring, for one command. Build
// it only while holding the preferences lock: it reads (and may write) the preferences at once.
class CliSession {
public:
    CliSession();
    ~CliSession();
    CliSession(const CliSession&) = delete;
    CliSession& operator=(const CliSession&) = delete;

    LauncherStore& store() { return *store_; }
    const ProductionLocations& locations() const { return locations_; }
    OperatingSystemVersion runningSystem() const;
    // The installed versions the preferences remember, by app id.
    QMap<QString, QString> recordedVersions() const;
    // Where an unreadable preferences file was kept aside while the store was built; empty when
    // the file was fine.
    QString keptAsidePreferences() const;

    // Restores the stored state and then loads the catalog, as the launcher's start does. False
    // when the catalog could not be loaded: the store then holds its built-in seed catalog,
    // which must not be acted on.
    QCoro::Task<bool> loadCatalog();

private:
    ProductionLocations locations_;
    std::shared_ptr<PreferencesStore> preferences_;
    std::shared_ptr<SystemInformation> system_;
    std::unique_ptr<LauncherStore> store_;
};

} // namespace nimbara::cli
