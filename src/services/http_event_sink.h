#pragma once

#include "contracts/collaborator_contracts.h"

#include <QNetworkAccessManager>
#include <QUrl>

namespace nimbara {

// The production event sink: posts each event as JSON to <service base>/api/launcher/events.
// recordEvent returns as soon as the request is queued; the answer is not waited for, and a
// failed delivery is dropped (no retry, no queue).
class HttpOperationalEventSink : public OperationalEventRecording {
public:
    // `session` is shared, not owned, and must outlive the sink.
    HttpOperationalEventSink(QUrl serviceBaseURL, QNetworkAccessManager& session);

    const QUrl& endpoint() const noexcept { return endpoint_; }

    QCoro::Task<> recordEvent(LauncherOperationalEvent event) override;

private:
    QUrl endpoint_;
    QNetworkAccessManager* session_;
};

} // namespace nimbara
