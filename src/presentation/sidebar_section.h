#pragma once

#include "text/copy_key.h"

#include <QLatin1StringView>
#include <QList>
#include <QObject>

namespace nimbara {

namespace SidebarSections {
Q_NAMESPACE
// The sidebar's navigation entries, in the order the sidebar lists them. The library shows
// the chosen section; `Settings` opens the settings window instead and is never current.
enum class SidebarSection { Home, AllApps, Selected, Updates, Settings };
Q_ENUM_NS(SidebarSection)

// Home, AllApps, Selected, Updates, Settings.
const QList<SidebarSection>& allCases();
CopyKey title(SidebarSection section);
// The system symbol name shown beside the title.
QLatin1StringView symbol(SidebarSection section);
} // namespace SidebarSections
using SidebarSections::SidebarSection;

} // namespace nimbara
