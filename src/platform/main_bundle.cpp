#include "platform/main_bundle.h"

#include "nimbara/build_info.h"

namespace nimbara {

QString builtLauncherVersion() {
    return QString::fromLatin1(build_info::kShortVersion);
}

QString launcherVersion(const MainBundle& bundle) {
    const std::optional<QVariant> value =
        bundle.infoValue(QStringLiteral("CFBundleShortVersionString"));
    if (value && value->typeId() == QMetaType::QString) {
        return value->toString();
    }
    return builtLauncherVersion();
}

} // namespace nimbara
