#pragma once

#include "catalog/app_install_state.h"
#include "catalog/app_manifest_item.h"
#include "catalog/launcher_manifest.h"
#include "text/copy_key.h"

#include <QList>
#include <QStringView>

// What the quick switcher lists and does, as pure functions of the store's values.
namespace nimbara {

// The published apps, in catalog order, whose lower-cased name, tagline or category contains
// the query (trimmed, lower-cased); a blank query keeps them all. Tags, description and ids are
// not searched.
QList<AppManifestItem> quickSwitcherResults(const LauncherManifest& catalog, bool includeBeta,
                                            QStringView query);

// What Return on a result does: open an installed copy (also when an update is available),
// otherwise ask the store to install it.
enum class QuickSwitcherAction { open, install };
QuickSwitcherAction quickSwitcherAction(const AppInstallState& state);
// The row's hint naming that action.
CopyKey quickSwitcherHint(QuickSwitcherAction action);

// The selection after moving `step` rows through `count` results: it stops at the first and
// last row (no wrap-around) and stays where it is when there are no results.
int movedSelection(int selected, int count, int step);

} // namespace nimbara
