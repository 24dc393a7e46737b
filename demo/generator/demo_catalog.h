#pragma once

#include "core/error.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QUrl>

namespace nimbara::demo {

// A demo catalog that cannot be generated (a bad template or overlay, a missing package, a file
// that cannot be read or written), with a readable description.
class DemoCatalogError : public Error {
public:
    explicit DemoCatalogError(const QString& message)
        : Error(message, QStringLiteral("DemoCatalogError(%1)").arg(renderedString(message))) {}
};

// The catalog document `base` with the changes of `overlay` applied: top-level keys of the
// overlay replace the base's, except "apps" and "announcements". Each object in the overlay's
// "apps" names a base app by "id"; its keys replace that app's, except "releaseNotes", which are
// put before the app's own. The overlay's "announcements" follow the base's. An overlay app with
// no "id" or an id the base does not list throws DemoCatalogError.
QJsonObject applyOverlay(QJsonObject base, const QJsonObject& overlay);

// Where a catalog generation comes from and where it goes.
struct CatalogGeneration {
    QString templatePath; // catalog document without downloads, digests or icons
    QString overlayPath;  // optional: changes applied to the template (see applyOverlay)
    QString packagesDir;  // <id>-<version>.zip for every app that is installable
    QString iconsDir;     // optional: <id>.png for the apps that have an icon
    QUrl baseUrl;         // address the folder will be served at
    QString outputDir;    // receives catalog.json, downloads/ and downloads/icons/
};

// File name of the release archive of an app version.
QString packageFileName(const QString& appId, const QString& version);

// Writes a served catalog folder: the template (with the overlay) is decoded strictly as the
// launcher decodes it; every beta or live app gets its package copied to downloads/, with its
// downloadUrl and sha256 filled in; apps with an icon get it copied to downloads/icons/ and their
// iconUrl set. catalog.json and downloads/ are replaced; nothing else in the folder is touched.
// A beta or live app without a package throws DemoCatalogError, as does any faulty input.
void generateCatalog(const CatalogGeneration& generation);

} // namespace nimbara::demo
