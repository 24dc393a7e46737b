#include "ui/app_presentation.h"

using namespace Qt::StringLiterals;

namespace nimbara {

QVariantMap appPresentation(const AppManifestItem& app, NimbaraLocale locale) {
    return {
        {u"id"_s, app.id},
        {u"name"_s, app.name},
        {u"tagline"_s, app.tagline},
        {u"category"_s, app.category},
        {u"description"_s, app.description},
        {u"privacyNote"_s, app.privacyNote},
        {u"accent"_s, QString(AppAccents::rawValue(app.accent))},
        {u"symbolName"_s, app.symbolName},
        {u"iconUrl"_s, app.iconUrl ? app.iconUrl->toString(QUrl::FullyEncoded) : QString()},
        {u"releaseStatus"_s, AppReleaseStatuses::label(app.status, locale)},
    };
}

} // namespace nimbara
