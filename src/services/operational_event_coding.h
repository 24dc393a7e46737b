#pragma once

#include "contracts/launcher_operational_event.h"

#include <QJsonObject>

namespace nimbara {

// An operational event in JSON: "eventType" and "status" always, "appSlug", "appVersion" and
// "reason" only when they have a value (never null).
QJsonObject encodeLauncherOperationalEvent(const LauncherOperationalEvent& event);

} // namespace nimbara
