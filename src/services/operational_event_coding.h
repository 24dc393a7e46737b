#pragma once

#include "contracts/launcher_operational_event.h"
#include "core/json_reader.h"

#include <QByteArray>
#include <QJsonObject>

namespace nimbara {

// An operational event in JSON: "eventType" and "status" always, "appSlug", "appVersion" and
// "reason" only when they have a value (never null).
QJsonObject encodeLauncherOperationalEvent(const LauncherOperationalEvent& event);

// The same object back; the optional members may be missing, null or present. Strict
// otherwise: throws DecodingError naming the key path.
LauncherOperationalEvent decodeLauncherOperationalEvent(const JsonReader& reader);
LauncherOperationalEvent decodeLauncherOperationalEvent(const QByteArray& bytes);

} // namespace nimbara
