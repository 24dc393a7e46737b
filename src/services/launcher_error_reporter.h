#pragma once

#include "contracts/collaborator_contracts.h"

#include <QNetworkAccessManager>
#include <QString>
#include <QUrl>
#include <optional>

namespace nimbara {

// Where the error-collection service takes events, and the key that signs them.
struct SentryStoreEndpoint {
    QUrl endpoint;
    QString publicKey;

    bool operator==(const SentryStoreEndpoint&) const = default;
};

// Sends one error event per report to the error-collection service named by the DSN in
// NIMBARA_LAUNCHER_SENTRY_DSN, through its store endpoint. Without a usable DSN reporting
// does nothing at all.
class LauncherErrorReporter : public ErrorReporting {
public:
    // `session` is shared, not owned, and must outlive the reporter.
    explicit LauncherErrorReporter(QNetworkAccessManager& session);

    // The store endpoint of a DSN "scheme://<public key>@host[:port]/[prefix/]<project>":
    // scheme, host and port with the path "/api/<project>/store/". None when the DSN has no
    // user part or no project (last non-empty path component).
    static std::optional<SentryStoreEndpoint> sentryStoreEndpoint(const QUrl& dsn);

    // Reads the DSN now and posts the event {event_id, timestamp, platform, logger, level,
    // message, extra = context} as compact JSON. Returns at once and never throws; the answer
    // and any failure are ignored.
    void report(const std::exception& error, const ErrorReportContext& context) override;

private:
    QNetworkAccessManager* session_;
};

} // namespace nimbara
