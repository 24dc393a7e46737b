// The feedback sheet in the real main window: its place above the announcement, typing and
// sending by keyboard, a failed try, the confirmation, and closing.

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

using namespace nimbara;
using namespace nimbara::test;
using namespace Qt::StringLiterals;

namespace {

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

// Types a summary, moves on with Return and types the details, all by keyboard.
void typeReport(const QmlLauncher& launcher, const QString& summary, const QString& details) {
    QQuickItem* summaryField = launcher.item(u"feedbackSummaryField"_s);
    QVERIFY(summaryField);
    QVERIFY(summaryField->hasActiveFocus());
    launcher.type(summary);
    launcher.key(Qt::Key_Return);
    launcher.type(details);
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
    // open button reaches the sheet's layer and leaves the announcement alone. Once Escape has
    // closed the sheet, the same click opens the announced app and puts the announcement away.
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

        launcher.key(Qt::Key_Escape);
        QVERIFY(!launcher.store->showingFeedbackSheet());
        QTRY_VERIFY(!sheetLayer->isVisible()); // it fades out
        launcher.click(open);
        QCOMPARE(launcher.store->selectedAppID(), std::optional(u"beta"_s));
        QVERIFY(!launcher.store->pendingAnnouncement());
        QVERIFY(!announcement->property("shown").toBool());
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
        openSheet(launcher);
        if (filled) {
            typeReport(launcher, u"Crash"_s, u"It quits."_s);
        }
        for (const QString& expected : order) {
            launcher.key(Qt::Key_Tab);
            QCOMPARE(launcher.focusedName(), expected);
        }
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
        openSheet(launcher);
        typeReport(launcher, u"Idea"_s, u"Dark icons."_s);
        launcher.key(Qt::Key_Return, Qt::ControlModifier);

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
        launcher.key(Qt::Key_Return);
        QVERIFY(!launcher.store->showingFeedbackSheet());
        QVERIFY(launcher.store->feedbackState() == FeedbackSubmissionState::idle());
    }

    void failureThenClosing_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("escape") << true;
        QTest::newRow("cancel") << false;
    }

    // A failed try shows why under the form and keeps what the user typed; Escape and Cancel
    // hide the sheet and forget the failed try, so the next opening starts with an empty form.
    void failureThenClosing() {
        QFETCH(bool, escape);
        QmlLauncher launcher(twoApps());
        launcher.fakes.feedbackClient->error =
            std::make_exception_ptr(NetworkError(u"Connection refused"_s));
        expectWarning(u"feedback submission failed"_s);
        QVERIFY(launcher.shown());
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
                 english(CopyKey::feedbackSubmitFailed));
        QCOMPARE(textOf(launcher, u"feedbackSummaryField"_s), u"Crash"_s);
        QCOMPARE(textOf(launcher, u"feedbackDetailsField"_s), u"It quits."_s);
        QVERIFY(send->isEnabled());

        if (escape) {
            launcher.key(Qt::Key_Escape);
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
