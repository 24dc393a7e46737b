#pragma once

#include "http_reply.h"
#include "http_request.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

namespace nimbara::devserver {

// The catalog documents of the root folder: catalog.json, and catalog.<lang>.json for the
// languages that have their own. Files are read on every request, so that they can be
// changed while the server runs; each version is checked once with the launcher's own
// decoder, and a document the launcher would reject is logged (and still served, since a
// broken catalog is sometimes exactly what a test or a demo wants).
class CatalogFiles {
public:
    explicit CatalogFiles(QString root);

    // Checks every catalog document of the root; answers how many are invalid.
    int checkAll();

    // GET /api/launcher/manifest[?lang=xx]
    Reply serve(const Request& request);

private:
    // Logs a warning when `bytes` is not a valid catalog (once per version of a file).
    bool check(const QString& fileName, const QByteArray& bytes, const QByteArray& etag);

    QString root_;
    QHash<QString, QByteArray> checked_; // file name -> ETag of the version last checked
};

// GET /appcast.xml: the root's appcast.xml.
Reply serveAppcast(const QString& root, const Request& request);

// GET /downloads/<segments>: a file below the root's downloads folder. The segments are
// the path's percent-encoded segments after "downloads"; any that would leave the folder
// (empty, "." or "..", an encoded "/" or "\", a NUL, a symlink pointing outside) answers 404.
// The file is not read here: the answer carries it open, for the connection to stream.
Reply serveDownload(const QString& root, const QList<QByteArray>& encodedSegments);

} // namespace nimbara::devserver
