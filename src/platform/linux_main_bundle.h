#pragma once

#include "platform/main_bundle.h"

#include <QString>
#include <QVariantMap>

namespace nimbara {

// The launcher's own bundle on Linux. When the executable is X.app/Contents/MacOS/<exe>, the
// bundle is X.app and the values come from X.app/Contents/Info.plist, read once at
// construction (an unreadable file answers none for every key). Otherwise the bundle is the
// executable's folder and the values are those built in (`builtInInfo`).
class LinuxMainBundle : public MainBundle {
public:
    // The running process's executable.
    LinuxMainBundle();
    explicit LinuxMainBundle(const QString& executablePath);

    QUrl bundleURL() const override;
    std::optional<QVariant> infoValue(const QString& key) const override;

    // True when the executable lies in an app bundle's Contents/MacOS folder.
    bool isAppBundle() const { return isAppBundle_; }

    // The Info.plist compiled into the launcher: CFBundleIdentifier, CFBundleShortVersionString
    // (the project version) and, when the build configures them, NimbaraManifestURL,
    // NimbaraAPIURL and SUFeedURL.
    static QVariantMap builtInInfo();

private:
    QString bundlePath_;
    bool isAppBundle_ = false;
    QVariantMap info_;
};

} // namespace nimbara
