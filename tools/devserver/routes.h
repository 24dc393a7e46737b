#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

namespace nimbara::devserver {

// What a request path names, known from the request head alone, before any body is read.
struct Route {
    enum class Endpoint {
        None,         // no such path: 404
        Manifest,     // /api/launcher/manifest
        Events,       // /api/launcher/events
        Feedback,     // /api/feedback
        ErrorStore,   // /api/<project>/store/
        FeedbackPage, // /feedback/<identifier>
        Appcast,      // /appcast.xml
        Download,     // /downloads/<segments>
    };
    Endpoint endpoint = Endpoint::None;
    QString name;                   // the project (error store) or the issue identifier
    QList<QByteArray> downloadPath; // the percent-encoded segments after "downloads"

    bool acceptsPost() const;
    // "GET, HEAD" or "GET, HEAD, POST", for Allow.
    QByteArray allowedMethods() const;
    bool allows(const QByteArray& method) const;
};

Route resolveRoute(const QUrl& url);

} // namespace nimbara::devserver
