// The feedback sheet's model over a store on substitutes: when a report can be sent, what is
// sent, and what the user keeps when sending fails.

#include "contracts/feedback_client_error.h"
#include "model_store.h"
#include "support/catalog_samples.h"
#include "support/fake_collaborators.h"
#include "support/test_registry.h"
#include "ui/feedback_view_model.h"

#include <QSignalSpy>
#include <QTest>
#include <exception>
#include <optional>

using namespace nimbara;
using namespace nimbara::test;
using namespace Qt::StringLiterals;

using FormType = FeedbackTypes::FeedbackType;

Q_DECLARE_METATYPE(nimbara::FeedbackType)
Q_DECLARE_METATYPE(std::optional<QString>)

namespace {

LauncherManifest twoApps() {
    return catalogWith({publishedApp(u"alpha"_s), publishedApp(u"beta"_s)});
}

} // namespace

class TestFeedbackModel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void canSubmitNeedsTextAndIdleStore_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("description");
        QTest::addColumn<bool>("alreadySubmitting");
        QTest::addColumn<bool>("expected");
        QTest::newRow("empty") << QString() << QString() << false << false;
        QTest::newRow("spaces-only title") << u"   "_s << u"It crashes."_s << false << false;
        QTest::newRow("newline-only details") << u"Crash"_s << u"\n\r\n\t"_s << false << false;
        QTest::newRow("both filled") << u" Crash "_s << u"It crashes.\n"_s << false << true;
        QTest::newRow("while submitting") << u"Crash"_s << u"It crashes."_s << true << false;
    }

    // Send is offered only for a complete report while none is on its way, and submit() itself
    // refuses whatever Send would refuse.
    void canSubmitNeedsTextAndIdleStore() {
        QFETCH(QString, title);
        QFETCH(QString, description);
        QFETCH(bool, alreadySubmitting);
        QFETCH(bool, expected);
        ModelStore s;
        FeedbackViewModel model;
        LauncherStore& store = s.show(model, twoApps());
        if (alreadySubmitting) {
            store.setFeedbackState(FeedbackSubmissionState::submitting());
        }
        model.setTitle(title);
        model.setDescription(description);
        QCOMPARE(model.canSubmit(), expected);

        model.submit();
        settle();
        QCOMPARE(s.fakes.feedbackClient->calls.size(), expected ? 1 : 0);
    }

    void sendsChosenTypeAndApp_data() {
        QTest::addColumn<FormType>("type");
        QTest::addColumn<int>("appRow");
        QTest::addColumn<FeedbackType>("sentType");
        QTest::addColumn<std::optional<QString>>("sentAppID");
        QTest::newRow("bug, no app")
            << FormType::Bug << 0 << FeedbackType::bug << std::optional<QString>();
        QTest::newRow("idea, first app")
            << FormType::Idea << 1 << FeedbackType::idea << std::optional(u"alpha"_s);
        QTest::newRow("improvement, second app")
            << FormType::Improvement << 2 << FeedbackType::improvement << std::optional(u"beta"_s);
        QTest::newRow("other, no app")
            << FormType::Other << 0 << FeedbackType::other << std::optional<QString>();
    }

    // The chosen type and related app reach the server; "No app" sends no app.
    void sendsChosenTypeAndApp() {
        QFETCH(FormType, type);
        QFETCH(int, appRow);
        QFETCH(FeedbackType, sentType);
        QFETCH(std::optional<QString>, sentAppID);
        ModelStore s;
        FeedbackViewModel model;
        s.show(model, twoApps()).setSelectedAppID(u"beta"_s);
        model.setType(type);
        model.setRelatedAppIndex(appRow);
        model.setTitle(u"Crash"_s);
        model.setDescription(u"It quits."_s);
        model.submit();
        settle();

        QCOMPARE(s.fakes.feedbackClient->calls.size(), 1);
        QCOMPARE(s.fakes.feedbackClient->calls[0].request.type, sentType);
        QCOMPARE(s.fakes.feedbackClient->calls[0].request.appId, sentAppID);
    }

    void preselectsShownApp_data() {
        QTest::addColumn<LauncherManifest>("catalog");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("expectedID");
        QTest::addColumn<int>("expectedRow");
        QTest::newRow("selected app") << twoApps() << u"beta"_s << u"beta"_s << 2;
        // Without a selection the library shows the first visible app.
        QTest::newRow("no selection") << twoApps() << QString() << u"alpha"_s << 1;
        QTest::newRow("empty catalog") << catalogWith({}) << QString() << QString() << 0;
    }

    // The related app starts as the app the library shows; the user's later choice is kept
    // when the store's selection moves on.
    void preselectsShownApp() {
        QFETCH(LauncherManifest, catalog);
        QFETCH(QString, selected);
        QFETCH(QString, expectedID);
        QFETCH(int, expectedRow);
        ModelStore s;
        LauncherStore& store = s.start(catalog);
        if (!selected.isEmpty()) {
            store.setSelectedAppID(selected);
        }
        FeedbackViewModel model;
        model.setStore(&store);
        QCOMPARE(model.relatedAppID(), expectedID);
        QCOMPARE(model.relatedAppIndex(), expectedRow);
        QCOMPARE(model.relatedAppNames().size(), catalog.apps.size() + 1);
        QCOMPARE(model.relatedAppNames().constFirst(), english(CopyKey::feedbackNoRelatedApp));

        model.setRelatedAppIndex(0);
        store.setSelectedAppID(u"alpha"_s);
        QCOMPARE(model.relatedAppID(), QString());
    }

    // A failed try shows why in the server's words, keeps what the user wrote (also over a
    // catalog refresh) and lets them send it again.
    void failureKeepsText() {
        ModelStore s;
        s.fakes.feedbackClient->error =
            std::make_exception_ptr(FeedbackClientError::server(u"Title is too long."_s));
        FeedbackViewModel model;
        LauncherStore& store = s.show(model, twoApps());
        model.setTitle(u"Crash"_s);
        model.setDescription(u"It quits."_s);
        model.submit();
        settle();

        QVERIFY(model.failed());
        QVERIFY(!model.submitted());
        QCOMPARE(model.failureMessage(), u"Title is too long."_s);
        s.fakes.manifestLoader->catalog = catalogWith({publishedApp(u"alpha"_s)});
        QCoro::waitFor(store.loadManifest());
        QCOMPARE(model.relatedAppNames().size(), 2);
        QCOMPARE(model.title(), u"Crash"_s);
        QCOMPARE(model.description(), u"It quits."_s);
        QVERIFY(model.canSubmit());

        s.fakes.feedbackClient->error = nullptr;
        model.submit();
        settle();
        QCOMPARE(s.fakes.feedbackClient->calls.size(), 2);
        QVERIFY(model.submitted());
        QVERIFY(!model.failed());
    }

    // Pressing Send again while the report is on its way, or after it arrived, sends nothing
    // more; the confirmation names the issue the server created.
    void secondPressSendsNothing() {
        ModelStore s;
        s.fakes.feedbackClient->response.issue = {u"i-7"_s, u"FB-7"_s, std::nullopt};
        const std::shared_ptr<Gate> gate = s.fakes.feedbackClient->holdNextSubmission();
        FeedbackViewModel model;
        s.show(model, twoApps());
        model.setTitle(u"Crash"_s);
        model.setDescription(u"It quits."_s);
        QSignalSpy canSubmit(&model, &FeedbackViewModel::canSubmitChanged);
        model.submit();
        model.submit();
        QVERIFY(model.submitting());
        QVERIFY(!model.canSubmit());
        QCOMPARE(canSubmit.size(), 1);
        gate->open();
        settle();
        model.submit();
        settle();

        QCOMPARE(s.fakes.feedbackClient->calls.size(), 1);
        QVERIFY(model.submitted());
        QCOMPARE(model.issueLine(),
                 english(CopyKey::feedbackIssue, {{u"identifier"_s, u"FB-7"_s}}));
    }
};

NIMBARA_REGISTER_TEST(TestFeedbackModel);

#include "tst_feedback_model.moc"
