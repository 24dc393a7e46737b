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

LauncherOperationalEvent decodeLauncherOperationalEvent(const JsonReader& reader) {
    return {reader.requiredString(QLatin1StringView("eventType")),
            reader.optionalString(QLatin1StringView("appSlug")),
            reader.optionalString(QLatin1StringView("appVersion")),
            reader.requiredString(QLatin1StringView("status")),
            reader.optionalString(QLatin1StringView("reason"))};
}

LauncherOperationalEvent decodeLauncherOperationalEvent(const QByteArray& bytes) {
    return decodeLauncherOperationalEvent(JsonReader(parseJsonObject(bytes)));
}

} // namespace nimbara
