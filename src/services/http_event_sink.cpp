#include "services/http_event_sink.h"

#include "core/json_coding.h"
#include "platform/network_session.h"
#include "services/operational_event_coding.h"

namespace nimbara {

HttpOperationalEventSink::HttpOperationalEventSink(QUrl serviceBaseURL,
                                                   QNetworkAccessManager& session)
    : endpoint_(serviceURL(serviceBaseURL, u"/api/launcher/events")), session_(&session) {}

QCoro::Task<> HttpOperationalEventSink::recordEvent(LauncherOperationalEvent event) {
    QNetworkRequest request = makeNetworkRequest(endpoint_);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray("application/json"));
    postWithoutWaiting(*session_, request,
                       encodeNimbaraJson(encodeLauncherOperationalEvent(event)));
    co_return;
}

} // namespace nimbara
