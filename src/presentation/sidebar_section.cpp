#include "presentation/sidebar_section.h"

#include "core/enum_names.h"

using namespace Qt::StringLiterals;

namespace nimbara::SidebarSections {

const QList<SidebarSection>& allCases() {
    static const QList<SidebarSection> cases{SidebarSection::Home, SidebarSection::AllApps,
                                             SidebarSection::Selected, SidebarSection::Updates,
                                             SidebarSection::Settings};
    return cases;
}

CopyKey title(SidebarSection section) {
    switch (section) {
    case SidebarSection::Home:
        return CopyKey::sidebarHome;
    case SidebarSection::AllApps:
        return CopyKey::sidebarAllApps;
    case SidebarSection::Selected:
        return CopyKey::sidebarSelected;
    case SidebarSection::Updates:
        return CopyKey::sidebarUpdates;
    case SidebarSection::Settings:
        return CopyKey::sidebarPreferences;
    }
    return CopyKey::sidebarHome;
}

QLatin1StringView symbol(SidebarSection section) {
    static constexpr EnumNames<SidebarSection, 5> symbols(
        {"house"_L1, "square.grid.2x2"_L1, "star"_L1, "arrow.down.circle"_L1, "gearshape"_L1});
    return symbols.rawValue(section);
}

} // namespace nimbara::SidebarSections
