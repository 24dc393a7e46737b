#include "routes.h"

namespace nimbara::devserver {

namespace {

// The path's segments, still percent-encoded: "/api/7/store/" gives api, 7, store. One
// trailing slash is ignored.
QList<QByteArray> pathSegments(const QUrl& url) {
    QList<QByteArray> segments = url.path(QUrl::FullyEncoded).toLatin1().split('/');
    if (segments.isEmpty() || !segments.front().isEmpty())
        return {};
    segments.removeFirst();
    if (segments.size() > 1 && segments.back().isEmpty())
        segments.removeLast();
    return segments;
}

bool isPath(const QList<QByteArray>& segments, std::initializer_list<const char*> expected) {
    if (segments.size() != qsizetype(expected.size()))
        return false;
    qsizetype index = 0;
    for (const char* part : expected) {
        if (segments.at(index++) != part)
            return false;
    }
    return true;
}

Route named(Route::Endpoint endpoint, const QString& name = {}) {
    Route route;
    route.endpoint = endpoint;
    route.name = name;
    return route;
}

} // namespace

bool Route::acceptsPost() const {
    return endpoint == Endpoint::Events || endpoint == Endpoint::Feedback ||
           endpoint == Endpoint::ErrorStore;
}

QByteArray Route::allowedMethods() const {
    return acceptsPost() ? QByteArray("GET, HEAD, POST") : QByteArray("GET, HEAD");
}

bool Route::allows(const QByteArray& method) const {
    return method == "GET" || method == "HEAD" || (method == "POST" && acceptsPost());
}

Route resolveRoute(const QUrl& url) {
    using Endpoint = Route::Endpoint;
    const QList<QByteArray> segments = pathSegments(url);
    if (isPath(segments, {"api", "launcher", "manifest"}))
        return named(Endpoint::Manifest);
    if (isPath(segments, {"api", "launcher", "events"}))
        return named(Endpoint::Events);
    if (isPath(segments, {"api", "feedback"}))
        return named(Endpoint::Feedback);
    if (segments.size() == 3 && segments.at(0) == "api" && segments.at(2) == "store") {
        const QString project = QUrl::fromPercentEncoding(segments.at(1));
        if (project.isEmpty() || project.contains(u'/'))
            return {};
        return named(Endpoint::ErrorStore, project);
    }
    if (segments.size() == 2 && segments.at(0) == "feedback")
        return named(Endpoint::FeedbackPage, QUrl::fromPercentEncoding(segments.at(1)));
    if (isPath(segments, {"appcast.xml"}))
        return named(Endpoint::Appcast);
    if (segments.size() >= 2 && segments.at(0) == "downloads") {
        Route route = named(Endpoint::Download);
        route.downloadPath = segments.mid(1);
        return route;
    }
    return {};
}

} // namespace nimbara::devserver
