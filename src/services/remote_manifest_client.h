#pragma once

#include "contracts/collaborator_contracts.h"
#include "core/error.h"
#include "platform/main_bundle.h"
#include "platform/network_session.h"

#include <QNetworkAccessManager>
#include <QUrl>
#include <chrono>

namespace nimbara {

// The catalog server's answer could not be used as a catalog. The store shows its own
// message for it; the description here is for error reports.
class ManifestClientError : public Error {
public:
    enum class Case { invalidResponse };

    // The answer was not a successful HTTP response (not HTTP, or a status outside 200-299).
    static ManifestClientError invalidResponse();

    Case kind() const noexcept { return kind_; }

private:
    ManifestClientError(Case kind, const QString& description, const QString& rendering)
        : Error(description, rendering), kind_(kind) {}

    Case kind_;
};

// The longest a catalog request may take from start to end, however steadily the server
// trickles its answer.
inline constexpr std::chrono::milliseconds catalogRequestDeadline{120'000};

// Fetches the catalog document from the catalog server: one GET per call, with the language
// in the query item "lang". Holds no state between calls; several calls may run at once.
class RemoteManifestClient : public ManifestLoading {
public:
    // `session` is shared, not owned, and must outlive the client. `timeout` is the time
    // without progress after which a request fails, `deadline` the time after which it fails
    // even while bytes still arrive.
    RemoteManifestClient(QUrl endpoint, QNetworkAccessManager& session,
                         std::chrono::milliseconds timeout = networkTransferTimeout,
                         std::chrono::milliseconds deadline = catalogRequestDeadline);

    // The catalog endpoint, first match wins: NIMBARA_MANIFEST_URL when set to an absolute
    // URL; the Info.plist string "NimbaraManifestURL" when non-empty and an absolute URL;
    // else the local development server, http://127.0.0.1:3000/api/launcher/manifest.
    // `bundle` may be null.
    static QUrl defaultEndpoint(const MainBundle* bundle);

    const QUrl& endpoint() const noexcept { return endpoint_; }
    QNetworkAccessManager& session() const noexcept { return *session_; }

    // The catalog in `locale`. Throws NetworkError for a transport failure (the deadline
    // passing among them),
    // ManifestClientError::invalidResponse for an answer outside 200-299 (its body is not
    // looked at) and DecodingError for a body that is not a catalog document.
    QCoro::Task<LauncherManifest> loadManifest(NimbaraLocale locale) override;

private:
    QUrl endpoint_;
    QNetworkAccessManager* session_;
    std::chrono::milliseconds timeout_;
    std::chrono::milliseconds deadline_;
};

// `url` with every query item named exactly "lang" removed and "lang=<code>" appended; the
// other items keep their order and their bytes. An invalid URL comes back unchanged.
QUrl withNimbaraLocale(const QUrl& url, NimbaraLocale locale);

} // namespace nimbara
