#include "presentation/sidebar_section.h"

#include "core/enum_names.h"

using namespace Qt::StringLiterals;

namespace nimbara::SidebarSections {

const QList<SidebarSection>& allCases() {
    static const QList<SidebarSection> cases{SidebarSection::home, SidebarSection::allApps,
                                             SidebarSection::selected, SidebarSection::updates,
                                             SidebarSection::settings};
    return cases;
}

CopyKey title(SidebarSection section) {
    switch (section) {
    case SidebarSection::home:
        return CopyKey::sidebarHome;
    case SidebarSection::allApps:
        return CopyKey::sidebarAllApps;
    case SidebarSection::selected:
        return CopyKey::sidebarSelected;
    case SidebarSection::updates:
        return CopyKey::sidebarUpdates;
    case SidebarSection::settings:
        return CopyKey::sidebarPreferences;
    }
    return CopyKey::sidebarHome;
}

QLatin1StringView symbol(SidebarSection section) {
    static constexpr EnumNames<SidebarSection, 5> symbols(
        {"house"_L1, "square.grid.2x2"_L1, "star"_L1, "arrow.down.circle"_L1, "gearshape"_L1});
    return symbols.rawValue(section);
}

SidebarSection fromInt(int value) {
    const QList<SidebarSection>& cases = allCases();
    return value >= 0 && value < cases.size() ? cases[value] : SidebarSection::home;
}

} // namespace nimbara::SidebarSections
