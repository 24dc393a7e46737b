#include "ui/app_presentation.h"

namespace nimbara {

AppPresentation appPresentation(const AppManifestItem& app, NimbaraLocale locale) {
    return {
        app.id,
        app.name,
        app.tagline,
        app.category,
        app.description,
        app.privacyNote,
        QString(AppAccents::rawValue(app.accent)),
        app.symbolName,
        app.iconUrl ? app.iconUrl->toString(QUrl::FullyEncoded) : QString(),
        AppReleaseStatuses::label(app.status, locale),
    };
}

} // namespace nimbara
