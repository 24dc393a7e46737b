#include "catalog/decoding_error.h"
#include "loopback_server.h"
#include "network_test_support.h"
#include "services/feedback_client_error.h"
#include "services/remote_feedback_client.h"
#include "tst_network.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace nimbara;
using namespace nimbara::test;

namespace {

const QByteArray createdBody =
    R"({"ok": true, "issue": {"id": "42", "identifier": "FB-42",
        "url": "https://issues.example/42"}, "message": "Thanks"})";

FeedbackSubmissionRequest minimalRequest() {
    FeedbackSubmissionRequest request;
    request.clientRequestId = u"0F5C3A2E-8E0B-4C4D-9B7A-3E2F1D0C9B8A"_qs;
    request.type = FeedbackType::idea;
    request.title = u"Dark mode"_qs;
    request.description = u"Please."_qs;
    request.diagnostics = {u"6.1.0"_qs, u"0.1.0"_qs, u"de"_qs, u"empty"_qs, 0, 0, 0, {}, {}, {}};
    return request;
}

QJsonObject minimalDiagnosticsJson() {
    return {{u"macOSVersion"_qs, u"6.1.0"_qs}, {u"launcherVersion"_qs, u"0.1.0"_qs},
            {u"locale"_qs, u"de"_qs},          {u"catalogLifecycle"_qs, u"empty"_qs},
            {u"visibleAppCount"_qs, 0},        {u"publishedAppCount"_qs, 0},
            {u"comingSoonAppCount"_qs, 0}};
}

} // namespace

void TestNetwork::feedbackAnswers_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QString>("outcome"); // "response", "server", "invalidStatus", "decoding"
    QTest::addColumn<QString>("text");    // the error's description, or the decoding key path
    QTest::addColumn<FeedbackSubmissionResponse>("response");

    const QByteArray json = "application/json";
    QTest::newRow("201 created")
        << 201 << createdBody << json << u"response"_qs << QString()
        << FeedbackSubmissionResponse{
               true, {u"42"_qs, u"FB-42"_qs, QUrl(u"https://issues.example/42"_qs)}, u"Thanks"_qs};
    QTest::newRow("ok false is still an answer")
        << 200 << QByteArray(R"({"ok": false, "issue": {"id": "7"}})") << json << u"response"_qs
        << QString() << FeedbackSubmissionResponse{false, {u"7"_qs, {}, {}}, {}};
    QTest::newRow("400 with only error")
        << 400 << QByteArray(R"({"error": "Title is required."})") << json << u"server"_qs
        << u"Title is required."_qs << FeedbackSubmissionResponse{};
    QTest::newRow("422 message wins over error")
        << 422 << QByteArray(R"({"error": "invalid", "message": "Beschreibung fehlt."})") << json
        << u"server"_qs << u"Beschreibung fehlt."_qs << FeedbackSubmissionResponse{};
    QTest::newRow("502 HTML") << 502 << QByteArray("<html><h1>Bad Gateway</h1></html>")
                              << QByteArray("text/html") << u"invalidStatus"_qs
                              << u"The feedback server returned HTTP 502."_qs
                              << FeedbackSubmissionResponse{};
    QTest::newRow("500 error object without error")
        << 500 << QByteArray(R"({"message": "down"})") << json << u"invalidStatus"_qs
        << u"The feedback server returned HTTP 500."_qs << FeedbackSubmissionResponse{};
    QTest::newRow("success without issue")
        << 201 << QByteArray(R"({"ok": true})") << json << u"decoding"_qs << u"issue"_qs
        << FeedbackSubmissionResponse{};
    QTest::newRow("issue url not a URL")
        << 201 << QByteArray(R"({"ok": true, "issue": {"id": "1", "url": "no url"}})") << json
        << u"decoding"_qs << u"issue.url"_qs << FeedbackSubmissionResponse{};
}

void TestNetwork::feedbackAnswers() {
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, contentType);
    QFETCH(QString, outcome);
    QFETCH(QString, text);
    QFETCH(FeedbackSubmissionResponse, response);

    LoopbackServer server(LoopbackServer::answering(status, body, {{"Content-Type", contentType}}));
    RemoteFeedbackClient client(server.url(), sharedNetworkAccessManager());
    const Outcome<FeedbackSubmissionResponse> result =
        outcomeOf(client.submitFeedback(minimalRequest(), NimbaraLocale::en));
    QCOMPARE(server.requests().size(), 1);

    if (outcome == u"response"_qs) {
        QVERIFY(!result.error);
        QCOMPARE(*result.value, response);
    } else if (outcome == u"decoding"_qs) {
        const auto error = result.errorAs<DecodingError>();
        QVERIFY2(error, "expected a decoding error");
        QCOMPARE(error->keyPath(), text);
    } else {
        const auto error = result.errorAs<FeedbackClientError>();
        QVERIFY2(error, "expected a feedback client error");
        QCOMPARE(error->kind(), outcome == u"server"_qs ? FeedbackClientError::Case::server
                                                        : FeedbackClientError::Case::invalidStatus);
        QCOMPARE(error->description(), text);
    }
}

void TestNetwork::feedbackRequestCarriesWhatItIsGiven_data() {
    QTest::addColumn<FeedbackSubmissionRequest>("request");
    QTest::addColumn<NimbaraLocale>("locale");
    QTest::addColumn<QJsonObject>("expected");

    QTest::newRow("no app, no selection")
        << minimalRequest() << NimbaraLocale::de
        << QJsonObject{{u"clientRequestId"_qs, u"0F5C3A2E-8E0B-4C4D-9B7A-3E2F1D0C9B8A"_qs},
                       {u"type"_qs, u"idea"_qs},
                       {u"title"_qs, u"Dark mode"_qs},
                       {u"description"_qs, u"Please."_qs},
                       {u"diagnostics"_qs, minimalDiagnosticsJson()}};

    FeedbackSubmissionRequest complete = minimalRequest();
    complete.type = FeedbackType::improvement;
    complete.title = u"Zapisz \"stan\""_qs;
    complete.appId = u"notes"_qs;
    complete.diagnostics.visibleAppCount = 3;
    complete.diagnostics.selectedAppId = u"notes"_qs;
    complete.diagnostics.selectedAppName = u"Notes"_qs;
    complete.diagnostics.selectedAppVersion = u"1.2.0"_qs;
    QJsonObject diagnostics = minimalDiagnosticsJson();
    diagnostics.insert(u"visibleAppCount"_qs, 3);
    diagnostics.insert(u"selectedAppId"_qs, u"notes"_qs);
    diagnostics.insert(u"selectedAppName"_qs, u"Notes"_qs);
    diagnostics.insert(u"selectedAppVersion"_qs, u"1.2.0"_qs);
    QTest::newRow("related app") << complete << NimbaraLocale::pl
                                 << QJsonObject{{u"clientRequestId"_qs,
                                                 u"0F5C3A2E-8E0B-4C4D-9B7A-3E2F1D0C9B8A"_qs},
                                                {u"type"_qs, u"improvement"_qs},
                                                {u"title"_qs, u"Zapisz \"stan\""_qs},
                                                {u"description"_qs, u"Please."_qs},
                                                {u"appId"_qs, u"notes"_qs},
                                                {u"diagnostics"_qs, diagnostics}};
}

void TestNetwork::feedbackRequestCarriesWhatItIsGiven() {
    QFETCH(FeedbackSubmissionRequest, request);
    QFETCH(NimbaraLocale, locale);
    QFETCH(QJsonObject, expected);

    LoopbackServer server(LoopbackServer::answering(201, createdBody));
    RemoteFeedbackClient client(server.url(u"/svc/"_qs), sharedNetworkAccessManager());
    QVERIFY(!outcomeOf(client.submitFeedback(request, locale)).error);

    QCOMPARE(server.requests().size(), 1);
    const ReceivedRequest& received = server.requests().first();
    QCOMPARE(received.method, QHttpServerRequest::Method::Post);
    QCOMPARE(received.url.path(), u"/svc/api/feedback"_qs);
    QCOMPARE(received.header("Content-Type"), QByteArray("application/json"));
    QCOMPARE(received.header("X-Nimbara-Locale"),
             NimbaraLocales::rawValue(locale).toString().toUtf8());
    QJsonParseError parseError;
    const QJsonDocument body = QJsonDocument::fromJson(received.body, &parseError);
    QCOMPARE(parseError.error, QJsonParseError::NoError);
    QCOMPARE(body.object(), expected);
    QVERIFY(received.body.contains('\n')); // pretty-printed
}
