#include "contracts/feedback_client_error.h"
#include "platform/main_bundle.h"
#include "tst_store.h"

#include <QCoro/QCoroTask>
#include <QRegularExpression>

using namespace nimbara;
using namespace nimbara::test;

namespace {

std::optional<QString> optionalText(const QString& text) {
    return text.isNull() ? std::nullopt : std::optional(text);
}

const FeedbackIssue kIssue{u"iss_1"_qs, u"FB-12"_qs, QUrl(u"https://issues.example.com/12"_qs)};

} // namespace

void TestStore::feedbackRequest_data() {
    QTest::addColumn<QString>("appID");     // null: no related app given
    QTest::addColumn<QString>("selection"); // the store's selected app id
    QTest::addColumn<QString>("expectedAppID");
    QTest::addColumn<QString>("diagnosed"); // null: no selected-app keys

    QTest::newRow("visible related app")
        << u"bravo"_qs << u"alpha"_qs << u"bravo"_qs << u"bravo"_qs;
    QTest::newRow("hidden related app dropped")
        << u"old"_qs << u"alpha"_qs << QString() << u"alpha"_qs;
    QTest::newRow("no related app: the selected one")
        << QString() << u"alpha"_qs << QString() << u"alpha"_qs;
    QTest::newRow("neither related nor selected app")
        << QString() << u"old"_qs << QString() << QString();
}

void TestStore::feedbackRequest() {
    QFETCH(QString, appID);
    QFETCH(QString, selection);
    QFETCH(QString, expectedAppID);
    QFETCH(QString, diagnosed);

    // alpha and bravo are published, soon is a preview and old is retired (hidden).
    StoreHarness h;
    AppManifestItem bravo = kBravo;
    bravo.name = u"Bravissimo"_qs;
    bravo.version = u"2.1.0"_qs;
    const QList<AppManifestItem> apps{kAlpha, bravo, comingSoonApp(u"soon"_qs),
                                      publishedApp(u"old"_qs, AppReleaseStatus::retired)};
    h.fakes.manifestLoader->catalog = catalogWith(apps);
    h.fakes.feedbackClient->response = {true, kIssue, {}};
    LauncherStore& store = h.start();
    h.startUp();
    store.setSelectedAppID(selection);
    store.setLocale(NimbaraLocale::de);

    QCoro::waitFor(store.submitFeedback(FeedbackType::idea, u"  Dark mode \n"_qs,
                                        u"\n Please add it.\t "_qs, optionalText(appID)));
    QCoro::waitFor(
        store.submitFeedback(FeedbackType::idea, u"Again"_qs, u"x"_qs, optionalText(appID)));
    QCOMPARE(h.fakes.feedbackClient->calls.size(), 2);

    const FakeFeedbackClient::Call& call = h.fakes.feedbackClient->calls.first();
    const FeedbackSubmissionRequest& request = call.request;
    QCOMPARE(call.locale, NimbaraLocale::de);
    QCOMPARE(request.type, FeedbackType::idea);
    QCOMPARE(request.title, u"Dark mode"_qs);
    QCOMPARE(request.description, u"Please add it."_qs);
    QCOMPARE(request.appId, optionalText(expectedAppID));
    static const QRegularExpression uuid(
        u"^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"_qs);
    QVERIFY2(uuid.match(request.clientRequestId).hasMatch(), qPrintable(request.clientRequestId));
    QVERIFY(request.clientRequestId !=
            h.fakes.feedbackClient->calls.last().request.clientRequestId);

    const FeedbackDiagnostics& diagnostics = request.diagnostics;
    QCOMPARE(diagnostics.macOSVersion, u"14.5.0"_qs);
    QCOMPARE(diagnostics.launcherVersion, builtLauncherVersion()); // no bundle in tests
    QCOMPARE(diagnostics.locale, u"de"_qs);
    QCOMPARE(diagnostics.catalogLifecycle, u"multiAppCatalog"_qs);
    QCOMPARE(diagnostics.visibleAppCount, 3);
    QCOMPARE(diagnostics.publishedAppCount, 2);
    QCOMPARE(diagnostics.comingSoonAppCount, 1);
    const AppManifestItem* app = diagnosed == bravo.id ? &bravo : &kAlpha;
    QCOMPARE(diagnostics.selectedAppId, optionalText(diagnosed));
    QCOMPARE(diagnostics.selectedAppName, optionalText(diagnosed.isNull() ? QString() : app->name));
    QCOMPARE(diagnostics.selectedAppVersion,
             optionalText(diagnosed.isNull() ? QString() : app->version));
}

void TestStore::feedbackOutcome_data() {
    QTest::addColumn<QString>("outcome");
    QTest::addColumn<FeedbackSubmissionState>("expected");

    const FeedbackSubmissionState generic = FeedbackSubmissionState::failed(
        NimbaraCopy::text(CopyKey::feedbackSubmitFailed, NimbaraLocale::en));
    QTest::newRow("issue created, ok ignored")
        << u"issue"_qs << FeedbackSubmissionState::submitted(kIssue);
    QTest::newRow("server message shown")
        << u"server"_qs << FeedbackSubmissionState::failed(u"Title is required."_qs);
    QTest::newRow("invalid response") << u"invalid"_qs << generic;
    QTest::newRow("transport failure") << u"network"_qs << generic;
}

void TestStore::feedbackOutcome() {
    QFETCH(QString, outcome);
    QFETCH(FeedbackSubmissionState, expected);

    StoreHarness h;
    FakeFeedbackClient& client = *h.fakes.feedbackClient;
    client.response = {false, kIssue, u"ignored"_qs};
    if (outcome == u"server"_qs) {
        client.error =
            std::make_exception_ptr(FeedbackClientError::server(u"Title is required."_qs));
    } else if (outcome == u"invalid"_qs) {
        client.error = std::make_exception_ptr(FeedbackClientError::invalidResponse());
    } else if (outcome == u"network"_qs) {
        client.error = offline();
    }
    LauncherStore& store = h.start(catalogWith({kAlpha}));
    QCOMPARE(store.feedbackState(), FeedbackSubmissionState::idle());

    const std::shared_ptr<Gate> gate = client.holdNextSubmission();
    QCoro::Task<> submission =
        store.submitFeedback(FeedbackType::bug, u"Crash"_qs, u"It crashed."_qs, std::nullopt);
    QCOMPARE(store.feedbackState(), FeedbackSubmissionState::submitting());
    gate->open();
    QCoro::waitFor(submission);
    QCOMPARE(store.feedbackState(), expected);
}
