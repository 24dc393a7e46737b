#include "services/launcher_update_error.h"

#include "core/enum_names.h"

namespace nimbara {

namespace {

using Case = LauncherUpdateError::Case;

constexpr EnumNames<Case, 6>
    kNames({QLatin1StringView("insecureFeed"), QLatin1StringView("feedUnavailable"),
            QLatin1StringView("emptyFeed"), QLatin1StringView("malformedFeed"),
            QLatin1StringView("noUsableItem"), QLatin1StringView("notInAppBundle")});

} // namespace

LauncherUpdateError::LauncherUpdateError(Case kind, const QString& description,
                                         const QString& payload)
    : Error(description, QStringLiteral("LauncherUpdateError.") + kNames.rawValue(kind) +
                             (payload.isEmpty() ? QString() : u'(' + payload + u')')),
      kind_(kind) {}

LauncherUpdateError LauncherUpdateError::insecureFeed(const QString& url) {
    return {Case::insecureFeed,
            QStringLiteral("The update feed must be an https address: %1").arg(url),
            renderedString(url)};
}

LauncherUpdateError LauncherUpdateError::feedUnavailable(int status) {
    return {Case::feedUnavailable,
            QStringLiteral("The update feed answered with HTTP status %1.").arg(status),
            QString::number(status)};
}

LauncherUpdateError LauncherUpdateError::emptyFeed() {
    return {Case::emptyFeed, QStringLiteral("The update feed is empty."), {}};
}

LauncherUpdateError LauncherUpdateError::malformedFeed(const QString& detail) {
    return {Case::malformedFeed,
            QStringLiteral("The update feed could not be read: %1").arg(detail),
            renderedString(detail)};
}

LauncherUpdateError LauncherUpdateError::noUsableItem(const QStringList& reasons) {
    const QString joined =
        reasons.isEmpty() ? QStringLiteral("it lists no item") : reasons.join(QStringLiteral("; "));
    return {Case::noUsableItem,
            QStringLiteral("The update feed lists no usable update (%1).").arg(joined),
            renderedString(joined)};
}

LauncherUpdateError LauncherUpdateError::notInAppBundle() {
    return {
        Case::notInAppBundle,
        QStringLiteral(
            "This copy of Nimbara does not run from an app bundle, so it cannot replace itself."),
        {}};
}

} // namespace nimbara
