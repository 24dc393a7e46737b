#include "presentation/detail_rules.h"

#include "catalog/manifest_policy.h"
#include "text/nimbara_copy.h"

using namespace Qt::StringLiterals;

namespace nimbara {

PrimaryAction primaryAction(const AppManifestItem& app, const AppInstallState& state) {
    if (!ManifestPolicy::hasPublishedRelease(app)) {
        return {PrimaryActionKind::refreshCatalog, CopyKey::refreshCatalog,
                ButtonVariant::Secondary, "arrow.clockwise"_L1, true};
    }
    switch (state.kind()) {
    case AppInstallState::Case::installing:
        return {PrimaryActionKind::none,
                CopyKey::installingAction,
                ButtonVariant::Secondary,
                {},
                false};
    case AppInstallState::Case::installed:
        return {PrimaryActionKind::open, CopyKey::openAction, ButtonVariant::Primary, "play"_L1,
                true};
    case AppInstallState::Case::updateAvailable:
        return {PrimaryActionKind::update, CopyKey::updateAction, ButtonVariant::Primary,
                "arrow.triangle.2.circlepath"_L1, true};
    case AppInstallState::Case::failed:
    case AppInstallState::Case::notInstalled:
        break;
    }
    return {PrimaryActionKind::install, CopyKey::installAction, ButtonVariant::Primary,
            "arrow.down.circle"_L1, true};
}

QString actionDetail(const AppManifestItem& app, const AppInstallState& state,
                     NimbaraLocale locale) {
    if (!ManifestPolicy::hasPublishedRelease(app)) {
        return NimbaraCopy::text(CopyKey::comingSoonTileStatus, locale);
    }
    switch (state.kind()) {
    case AppInstallState::Case::installing:
        return NimbaraCopy::text(CopyKey::installingDetail, locale);
    case AppInstallState::Case::installed:
        return NimbaraCopy::text(CopyKey::installedDetail, locale);
    case AppInstallState::Case::updateAvailable:
        return NimbaraCopy::text(CopyKey::updateDetail, locale);
    case AppInstallState::Case::failed:
        return state.message();
    case AppInstallState::Case::notInstalled:
        break;
    }
    return NimbaraCopy::text(CopyKey::notInstalledDetail, locale);
}

bool offersRemoval(const AppInstallState& state) {
    return state.kind() == AppInstallState::Case::installed ||
           state.kind() == AppInstallState::Case::updateAvailable;
}

std::optional<QString> updateFeedValue(const AppManifestItem& app) {
    if (!app.sparkleFeedUrl || app.sparkleFeedUrl->host().endsWith(".local"_L1)) {
        return std::nullopt;
    }
    return app.sparkleFeedUrl->toString(QUrl::FullyEncoded);
}

QList<DetailRow> metadataRows(const AppManifestItem& app, NimbaraLocale locale) {
    const auto label = [locale](CopyKey key) {
        return NimbaraCopy::text(key, locale);
    };
    QList<DetailRow> rows{
        {label(CopyKey::bundleID), app.bundleId},
        {label(CopyKey::version), app.version},
        {label(CopyKey::minimumMacOS), app.minMacOS},
        {label(CopyKey::checksum), label(CopyKey::checksumVerified)},
    };
    if (const std::optional<QString> feed = updateFeedValue(app)) {
        rows.append({label(CopyKey::updateFeed), *feed});
    }
    return rows;
}

} // namespace nimbara
