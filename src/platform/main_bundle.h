#pragma once

#include <QString>
#include <QUrl>
#include <QVariant>
#include <optional>

namespace nimbara {

// The launcher's own bundle: where it lives and the values of its Info.plist.
class MainBundle {
public:
    virtual ~MainBundle() = default;
    // The launcher's bundle folder (X.app), or the executable's folder outside a bundle.
    virtual QUrl bundleURL() const = 0;
    // A value of the launcher's Info.plist (a string, number, Boolean, …), or none.
    virtual std::optional<QVariant> infoValue(const QString& key) const = 0;
};

// The version this launcher was built as (the project version, "0.1.0" today).
QString builtLauncherVersion();

// The launcher's CFBundleShortVersionString, or the built version when it is absent or not a
// string.
QString launcherVersion(const MainBundle& bundle);

} // namespace nimbara
