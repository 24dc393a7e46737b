#pragma once

#include "text/copy_key.h"

#include <QLatin1StringView>
#include <QList>

namespace nimbara {

// The sidebar's navigation entries, in the order the sidebar lists them. The library shows
// the chosen section; `settings` opens the settings window instead and is never current.
enum class SidebarSection { home, allApps, selected, updates, settings };

namespace SidebarSections {
// home, allApps, selected, updates, settings.
const QList<SidebarSection>& allCases();
CopyKey title(SidebarSection section);
// The system symbol name shown beside the title.
QLatin1StringView symbol(SidebarSection section);
// The section numbered `value` (its position in allCases()), or home when out of range.
SidebarSection fromInt(int value);
} // namespace SidebarSections

} // namespace nimbara
