#pragma once

#include "catalog/app_install_state.h"
#include "catalog/app_manifest_item.h"
#include "text/copy_key.h"
#include "text/nimbara_locale.h"

#include <QLatin1StringView>
#include <QList>
#include <QObject>
#include <QString>
#include <optional>

// What the app detail screen shows for one app in one install state, as pure functions.
namespace nimbara {

// The three looks of the launcher's buttons.
namespace ButtonVariants {
Q_NAMESPACE
enum class ButtonVariant { Primary, Secondary, Ghost };
Q_ENUM_NS(ButtonVariant)
} // namespace ButtonVariants
using ButtonVariants::ButtonVariant;

// What pressing the primary button does.
enum class PrimaryActionKind { refreshCatalog, none, open, update, install };

struct PrimaryAction {
    PrimaryActionKind kind;
    CopyKey title;
    ButtonVariant variant;
    QLatin1StringView symbol; // empty: text only
    bool enabled;

    bool operator==(const PrimaryAction&) const = default;
};

// The one action that moves the app on. An app without a published release only offers to
// reload the catalog, whatever its state.
PrimaryAction primaryAction(const AppManifestItem& app, const AppInstallState& state);

// The line under the state label, chosen in the same order as the primary action.
QString actionDetail(const AppManifestItem& app, const AppInstallState& state,
                     NimbaraLocale locale);

// Whether the remove button is offered (installed or with an update available).
bool offersRemoval(const AppInstallState& state);

// The feed address to show: none without a feed, or when the feed's host is a ".local" name.
std::optional<QString> updateFeedValue(const AppManifestItem& app);

struct DetailRow {
    QString label;
    QString value;
    bool operator==(const DetailRow&) const = default;
};

// Bundle id, version, minimum system, checksum and, when there is one, the update feed.
QList<DetailRow> metadataRows(const AppManifestItem& app, NimbaraLocale locale);

} // namespace nimbara
