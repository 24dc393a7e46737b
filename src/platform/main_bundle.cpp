#include "platform/main_bundle.h"

namespace nimbara {

QString launcherVersion(const MainBundle& bundle) {
    const std::optional<QVariant> value =
        bundle.infoValue(QStringLiteral("CFBundleShortVersionString"));
    if (value && value->typeId() == QMetaType::QString) {
        return value->toString();
    }
    return QStringLiteral("0.1.0");
}

} // namespace nimbara
