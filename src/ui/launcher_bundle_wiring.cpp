#include "ui/launcher_bundle_wiring.h"

#include "core/logging.h"
#include "install/app_installer.h"
#include "install/bundle_signature_validator.h"
#include "install/install_recovery.h"
#include "platform/linux_main_bundle.h"
#include "platform/system_information.h"
#include "services/xdg_application_entry.h"
#include "wiring/production_wiring.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QThreadPool>

namespace nimbara {

void ensureUserApplicationEntry(const LinuxMainBundle& bundle) {
    const QString bundlePath = bundle.bundleURL().toLocalFile();
    if (!bundle.isAppBundle() ||
        !XdgApplicationEntry::isPerUserBundle(bundlePath, QDir::homePath()))
        return;
    QThreadPool::globalInstance()->start(
        [bundlePath, executable = QCoreApplication::applicationFilePath()] {
            try {
                if (XdgApplicationEntry::ensure(
                        executable, bundlePath + QStringLiteral("/Contents/Resources/nimbara.svg")))
                    qCInfo(logUi).noquote() << "added the launcher to the application menu:"
                                            << XdgApplicationEntry::entryPath();
            } catch (const std::exception& error) {
                qCWarning(logUi).noquote() << "could not add the launcher to the application menu:"
                                           << failureReason(error);
            }
        });
}

std::unique_ptr<LauncherUpdater> productionUpdater(const LinuxMainBundle& bundle,
                                                   QNetworkAccessManager& session,
                                                   std::function<void(const QUrl&)> relaunch) {
    LauncherUpdaterSettings settings = LauncherUpdaterSettings::of(bundle, bundle.isAppBundle());
    const QString bundleFolder = QFileInfo(settings.bundleURL.toLocalFile()).absolutePath();
    const auto system = std::make_shared<LinuxSystemInformation>();
    LauncherUpdaterServices services{&session,
                                     std::make_shared<AppInstaller>(session, bundleFolder,
                                                                    productionSignatureValidator(),
                                                                    system),
                                     system, std::move(relaunch)};
    auto updater = std::make_unique<LauncherUpdater>(settings, std::move(services));
    if (updater->isEnabled() && settings.runsFromAppBundle) {
        // An update of the launcher cut short by a crash leaves its backup or staged copy beside
        // the bundle. This launcher runs from the bundle, so the version running now is the one
        // in place: the leftovers are settled against it, off the main thread.
        QThreadPool::globalInstance()->start(
            [folder = bundleFolder, recorded = RecordedInstall{settings.bundleURL.toLocalFile(),
                                                               settings.currentVersion}] {
                InstallRecovery(folder, QDir::tempPath(), InstallRecovery::processStartTime())
                    .recover({recorded});
            });
    }
    return updater;
}

} // namespace nimbara
