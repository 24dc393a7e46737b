#include "services/operational_event_coding.h"

namespace nimbara {

QJsonObject encodeLauncherOperationalEvent(const LauncherOperationalEvent& event) {
    QJsonObject object{{QStringLiteral("eventType"), event.eventType},
                       {QStringLiteral("status"), event.status}};
    if (event.appSlug)
        object.insert(QStringLiteral("appSlug"), *event.appSlug);
    if (event.appVersion)
        object.insert(QStringLiteral("appVersion"), *event.appVersion);
    if (event.reason)
        object.insert(QStringLiteral("reason"), *event.reason);
    return object;
}

} // namespace nimbara
