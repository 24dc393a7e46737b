// The feedback sheet in the real main window: its place above the announcement, typing and
// sending by keyboard, a failed try, the confirmation, and closing.

#include "contracts/feedback_client_error.h"
#include "core/error.h"
#include "qml_harness.h"
#include "store/launcher_store.h"
#include "support/catalog_samples.h"
#include "support/fake_collaborators.h"
#include "support/test_registry.h"
#include "text/nimbara_copy.h"

#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>
#include <exception>

using namespace nimbara;
using namespace nimbara::test;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(std::exception_ptr)

namespace {

QString english(CopyKey key, const CopyValues& values = {}) {
    return NimbaraCopy::text(key, NimbaraLocale::en, values);
}

LauncherManifest twoApps() {
    return catalogWith({publishedApp(u"alpha"_s), publishedApp(u"beta"_s)});
}

// Opens the sheet as the sidebar's and the menu's feedback entries do.
void openSheet(const QmlLauncher& launcher) {
    QObject* shell = launcher.item(u"rootView"_s)->property("shellModel").value<QObject*>();
    QVERIFY(shell);
    QVERIFY(QMetaObject::invokeMethod(shell, "openFeedbackSheet"));
    launcher.settle();
}

// Types plain ASCII text into the focused field, one key at a time.
void typeText(QQuickWindow* window, const QString& text) {
    for (const QChar ch : text) {
        QTest::keyClick(window, ch.toLatin1());
    }
}

// Types a summary, moves on with Return and types the details, all by keyboard.
void typeReport(const QmlLauncher& launcher, const QString& summary, const QString& details) {
    QQuickItem* summaryField = launcher.item(u"feedbackSummaryField"_s);
    QVERIFY(summaryField);
    QVERIFY(summaryField->hasActiveFocus());
    typeText(launcher.window, summary);
    QTest::keyClick(launcher.window, Qt::Key_Return);
    typeText(launcher.window, details);
    launcher.settle();
}

QString textOf(const QmlLauncher& launcher, const QString& objectName) {
    QQuickItem* found = launcher.item(objectName);
    return found ? found->property("text").toString() : u"<missing>"_s;
}

} // namespace

class TestFeedbackQml : public QmlTest {
    Q_OBJECT

private Q_SLOTS:
    // With an announcement pending, the sheet lies above it: a click on the announcement's
    // open button reaches the sheet's layer and leaves the announcement alone.
    void sheetCoversAnnouncement() {
        LauncherManifest catalog = twoApps();
        catalog.announcements = {announcementOf(u"beta"_s)};
        QmlLauncher launcher(catalog, true, true);
        QVERIFY(launcher.shown());
        QQuickItem* announcement = launcher.item(u"announcementOverlay"_s);
        QVERIFY(announcement && announcement->property("shown").toBool());
        QQuickItem* open = launcher.item(u"announcementOpenButton"_s);
        QVERIFY(open && open->isEnabled());

        openSheet(launcher);
        QQuickItem* sheetLayer = launcher.item(u"feedbackLayer"_s);
        QVERIFY(sheetLayer && sheetLayer->property("shown").toBool());
        QVERIFY(launcher.item(u"feedbackSheet"_s));
        QVERIFY(sheetLayer->z() > announcement->z());
        const std::optional<QString> selectedBefore = launcher.store->selectedAppID();
        launcher.click(open);
        QVERIFY(launcher.store->pendingAnnouncement());
        QCOMPARE(launcher.store->selectedAppID(), selectedBefore);
        QVERIFY(launcher.store->showingFeedbackSheet());
    }

    void tabCyclesInsideSheet_data() {
        QTest::addColumn<bool>("filled");
        QTest::addColumn<QStringList>("order");
        // From the summary field; Send is skipped while it cannot send.
        QTest::newRow("empty form")
            << false
            << QStringList{u"feedbackDetailsField"_s, u"feedbackCancelButton"_s, u"feedbackType0"_s,
                           u"feedbackType1"_s,        u"feedbackType2"_s,        u"feedbackType3"_s,
                           u"feedbackRelatedApp"_s,   u"feedbackSummaryField"_s};
        // From the details editor, once both fields hold text.
        QTest::newRow("filled form")
            << true
            << QStringList{u"feedbackCancelButton"_s, u"feedbackSendButton"_s, u"feedbackType0"_s};
    }

    // Tab walks the form in reading order and comes round again without leaving the sheet.
    void tabCyclesInsideSheet() {
        QFETCH(bool, filled);
        QFETCH(QStringList, order);
        QmlLauncher launcher(twoApps());
        QVERIFY(launcher.shown());
        QVERIFY(launcher.activate());
        openSheet(launcher);
        if (filled) {
            typeReport(launcher, u"Crash"_s, u"It quits."_s);
        }
        for (const QString& expected : order) {
            QTest::keyClick(launcher.window, Qt::Key_Tab);
            launcher.settle();
            QQuickItem* focused = launcher.window->activeFocusItem();
            QCOMPARE(focused ? focused->objectName() : QString(), expected);
        }
    }

    void failureKeepsText_data() {
        QTest::addColumn<std::exception_ptr>("error");
        QTest::addColumn<QString>("shown");
        QTest::newRow("server down")
            << std::make_exception_ptr(NetworkError(u"Connection refused"_s))
            << english(CopyKey::feedbackSubmitFailed);
        QTest::newRow("server's words")
            << std::make_exception_ptr(FeedbackClientError::server(u"Too many reports today."_s))
            << u"Too many reports today."_s;
    }

    // A failed try shows why under the form and keeps what the user typed for another try.
    void failureKeepsText() {
        QFETCH(std::exception_ptr, error);
        QFETCH(QString, shown);
        QmlLauncher launcher(twoApps());
        launcher.fakes.feedbackClient->error = error;
        expectWarning(u"feedback submission failed"_s);
        QVERIFY(launcher.shown());
        QVERIFY(launcher.activate());
        openSheet(launcher);
        QQuickItem* failure = launcher.item(u"feedbackFailure"_s);
        QVERIFY(failure && !failure->isVisible());
        QQuickItem* send = launcher.item(u"feedbackSendButton"_s);
        QVERIFY(send && !send->isEnabled());

        typeReport(launcher, u"Crash"_s, u"It quits."_s);
        QVERIFY(send->isEnabled());
        launcher.click(send);

        QCOMPARE(launcher.fakes.feedbackClient->calls.size(), 1);
        QVERIFY(failure->isVisible());
        QCOMPARE(QmlLauncher::findItem(failure, u"noticeBody"_s)->property("text").toString(),
                 shown);
        QCOMPARE(textOf(launcher, u"feedbackSummaryField"_s), u"Crash"_s);
        QCOMPARE(textOf(launcher, u"feedbackDetailsField"_s), u"It quits."_s);
        QVERIFY(send->isEnabled());
    }

    void confirmationShowsIssue_data() {
        QTest::addColumn<std::optional<QString>>("identifier");
        QTest::newRow("with identifier") << std::optional(u"FB-42"_s);
        QTest::newRow("without identifier") << std::optional<QString>();
    }

    // Ctrl+Return sends; the confirmation replaces the form and names the issue when the
    // server gave a reference; Return on Close closes the sheet.
    void confirmationShowsIssue() {
        QFETCH(std::optional<QString>, identifier);
        QmlLauncher launcher(twoApps());
        launcher.fakes.feedbackClient->response.issue = {u"i-42"_s, identifier, std::nullopt};
        QVERIFY(launcher.shown());
        QVERIFY(launcher.activate());
        openSheet(launcher);
        typeReport(launcher, u"Idea"_s, u"Dark icons."_s);
        QTest::keyClick(launcher.window, Qt::Key_Return, Qt::ControlModifier);
        launcher.settle();

        QCOMPARE(launcher.fakes.feedbackClient->calls.size(), 1);
        QCOMPARE(launcher.fakes.feedbackClient->calls[0].request.title, u"Idea"_s);
        QCOMPARE(launcher.fakes.feedbackClient->calls[0].request.description, u"Dark icons."_s);
        QVERIFY(launcher.item(u"feedbackSuccess"_s)->isVisible());
        QVERIFY(!launcher.item(u"feedbackForm"_s)->isVisible());
        QQuickItem* issue = launcher.item(u"feedbackIssueLine"_s);
        QCOMPARE(issue->isVisible(), identifier.has_value());
        if (identifier) {
            QCOMPARE(issue->property("text").toString(),
                     english(CopyKey::feedbackIssue, {{u"identifier"_s, *identifier}}));
        }
        QTest::keyClick(launcher.window, Qt::Key_Return);
        launcher.settle();
        QVERIFY(!launcher.store->showingFeedbackSheet());
        QVERIFY(launcher.store->feedbackState() == FeedbackSubmissionState::idle());
    }

    void closingResetsState_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("escape") << true;
        QTest::newRow("cancel") << false;
    }

    // Escape and Cancel hide the sheet and forget the failed try; the next opening starts with
    // an empty form.
    void closingResetsState() {
        QFETCH(bool, escape);
        QmlLauncher launcher(twoApps());
        launcher.fakes.feedbackClient->error =
            std::make_exception_ptr(FeedbackClientError::invalidResponse());
        expectWarning(u"feedback submission failed"_s);
        QVERIFY(launcher.shown());
        QVERIFY(launcher.activate());
        openSheet(launcher);
        typeReport(launcher, u"Crash"_s, u"It quits."_s);
        QTest::keyClick(launcher.window, Qt::Key_Return, Qt::ControlModifier);
        launcher.settle();
        QCOMPARE(launcher.store->feedbackState().kind, FeedbackSubmissionState::Case::failed);

        if (escape) {
            QTest::keyClick(launcher.window, Qt::Key_Escape);
            launcher.settle();
        } else {
            launcher.click(launcher.item(u"feedbackCancelButton"_s));
        }
        QVERIFY(!launcher.store->showingFeedbackSheet());
        QVERIFY(launcher.store->feedbackState() == FeedbackSubmissionState::idle());
        QVERIFY(!launcher.item(u"feedbackLayer"_s)->property("shown").toBool());

        openSheet(launcher);
        QCOMPARE(textOf(launcher, u"feedbackSummaryField"_s), QString());
        QCOMPARE(textOf(launcher, u"feedbackDetailsField"_s), QString());
        QVERIFY(!launcher.item(u"feedbackFailure"_s)->isVisible());
    }
};

NIMBARA_REGISTER_TEST(TestFeedbackQml);

#include "tst_feedback_qml.moc"
