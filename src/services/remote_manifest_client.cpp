#include "services/remote_manifest_client.h"

#include "catalog/manifest_coding.h"

#include <QStringList>

namespace nimbara {

namespace {

const QString defaultManifestURL = QStringLiteral("http://127.0.0.1:3000/api/launcher/manifest");

// The decoded name of one raw query item ("l%61ng=x" is named "lang").
QString queryItemName(const QString& item) {
    const QString rawName = item.section(QLatin1Char('='), 0, 0);
    return QUrl::fromPercentEncoding(rawName.toUtf8());
}

} // namespace

ManifestClientError ManifestClientError::invalidResponse() {
    return {Case::invalidResponse,
            QStringLiteral("The catalog server's answer was not a successful HTTP response."),
            QStringLiteral("ManifestClientError.invalidResponse")};
}

RemoteManifestClient::RemoteManifestClient(QUrl endpoint, QNetworkAccessManager& session,
                                           std::chrono::milliseconds timeout,
                                           std::chrono::milliseconds deadline)
    : endpoint_(std::move(endpoint)), session_(&session), timeout_(timeout), deadline_(deadline) {}

QUrl RemoteManifestClient::defaultEndpoint(const MainBundle* bundle) {
    return configuredURL("NIMBARA_MANIFEST_URL", bundle, QStringLiteral("NimbaraManifestURL"))
        .value_or(QUrl(defaultManifestURL));
}

QCoro::Task<LauncherManifest> RemoteManifestClient::loadManifest(NimbaraLocale locale) {
    // Everything the request needs is taken before the first suspension.
    QNetworkAccessManager& session = *session_;
    const QNetworkRequest request =
        makeNetworkRequest(withNimbaraLocale(endpoint_, locale), timeout_);

    const std::chrono::milliseconds deadline = deadline_;

    QCoro::Task<HttpResponse> exchange = httpGet(session, request, deadline);
    const HttpResponse response = co_await std::move(exchange);
    if (!response.statusCode || *response.statusCode < 200 || *response.statusCode > 299)
        throw ManifestClientError::invalidResponse();
    co_return decodeLauncherManifest(response.body);
}

QUrl withNimbaraLocale(const QUrl& url, NimbaraLocale locale) {
    if (!url.isValid())
        return url;
    // Work on the encoded query so that the other items keep their exact bytes.
    QStringList items;
    if (url.hasQuery() && !url.query(QUrl::FullyEncoded).isEmpty()) {
        const QStringList existing =
            url.query(QUrl::FullyEncoded).split(QLatin1Char('&'), Qt::KeepEmptyParts);
        for (const QString& item : existing) {
            if (queryItemName(item) != QLatin1String("lang"))
                items.append(item);
        }
    }
    items.append(QStringLiteral("lang=") + NimbaraLocales::rawValue(locale));
    QUrl result = url;
    result.setQuery(items.join(QLatin1Char('&')), QUrl::TolerantMode);
    return result.isValid() ? result : url;
}

} // namespace nimbara
