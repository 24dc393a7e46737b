#pragma once

#include "presentation/detail_rules.h"
#include "presentation/library_rules.h"
#include "presentation/sidebar_section.h"
#include "services/launcher_updater.h"
#include "store/launcher_store.h"

#include <QObject>
#include <QtQml/qqmlregistration.h>

// Types of the layers below that the screens name: the store, and the screen rules' enums
// (compared in QML as ButtonVariant.Primary, LibraryPanel.AppSection, SidebarSection.Home…).
namespace nimbara {

struct LauncherStoreForeign {
    Q_GADGET
    QML_FOREIGN(nimbara::LauncherStore)
    QML_NAMED_ELEMENT(LauncherStore)
    QML_UNCREATABLE("The store is handed over by the application")
};

struct LauncherUpdaterForeign {
    Q_GADGET
    QML_FOREIGN(nimbara::LauncherUpdater)
    QML_NAMED_ELEMENT(LauncherUpdater)
    QML_UNCREATABLE("The updater is handed over by the application")
};

namespace ButtonVariantForeign {
Q_NAMESPACE
QML_FOREIGN_NAMESPACE(nimbara::ButtonVariants)
QML_NAMED_ELEMENT(ButtonVariant)
} // namespace ButtonVariantForeign

namespace LibraryPanelForeign {
Q_NAMESPACE
QML_FOREIGN_NAMESPACE(nimbara::LibraryPanels)
QML_NAMED_ELEMENT(LibraryPanel)
} // namespace LibraryPanelForeign

namespace SidebarSectionForeign {
Q_NAMESPACE
QML_FOREIGN_NAMESPACE(nimbara::SidebarSections)
QML_NAMED_ELEMENT(SidebarSection)
} // namespace SidebarSectionForeign

} // namespace nimbara
