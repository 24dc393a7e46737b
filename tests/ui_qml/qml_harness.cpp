#include "qml_harness.h"

#include "platform/preferences_store.h"
#include "ui/launcher_ui.h"

#include <QCoreApplication>
#include <QTest>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace nimbara::test {

namespace {

QStringList recordedWarnings;
QStringList expectedWarnings; // provoked on purpose by the running test; cleared after each

QtMessageHandler testLogHandler = nullptr;

void recordWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    // The offscreen platform's own notices about size hints and raising windows are not faults
    // of ours.
    const bool expected =
        message.contains("propagateSizeHints"_L1) ||
        message.contains("does not support raise()"_L1) ||
        std::any_of(expectedWarnings.cbegin(), expectedWarnings.cend(),
                    [&](const QString& fragment) { return message.contains(fragment); });
    if (type != QtDebugMsg && type != QtInfoMsg && !expected) {
        recordedWarnings.append(message);
    }
    if (testLogHandler) {
        testLogHandler(type, context, message);
    }
}

} // namespace

void QmlTest::expectWarning(const QString& fragment) {
    expectedWarnings.append(fragment);
}

void QmlTest::cleanup() {
    expectedWarnings.clear();
    const QStringList warnings = std::exchange(recordedWarnings, {});
    QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join(u'\n')));
}

void QmlTest::initTestCase() {
    testLogHandler = qInstallMessageHandler(recordWarnings);
}

void QmlTest::cleanupTestCase() {
    qInstallMessageHandler(std::exchange(testLogHandler, nullptr));
}

QString english(CopyKey key, const CopyValues& values) {
    return NimbaraCopy::text(key, NimbaraLocale::en, values);
}

LauncherAnnouncement announcementOf(const QString& appID) {
    LauncherAnnouncement announcement;
    announcement.id = u"announce-"_s + appID;
    announcement.appId = appID;
    announcement.appName = appID;
    announcement.kind = u"newApp"_s;
    announcement.title = u"Meet "_s + appID;
    announcement.body = u"Just published."_s;
    announcement.version = u"1.0.0"_s;
    return announcement;
}

QmlLauncher::QmlLauncher(const LauncherManifest& catalog, bool onboardingComplete,
                         bool announcementsSeenBefore, LauncherUpdater* updater) {
    if (announcementsSeenBefore) {
        PreferencesStore(fakes.preferencesPath)
            .setBool(QString::fromLatin1(StoreKeys::announcementBaselineEstablished), true);
    }
    store = std::make_unique<LauncherStore>(fakes.wiring(catalog));
    store->setOnboardingComplete(onboardingComplete);
    actions = std::make_unique<ApplicationActions>(*store);
    engine = std::make_unique<QQmlApplicationEngine>();
    installLauncherUi(*engine, *store, *actions, u"Nimbara"_s, updater);
    engine->load(QUrl(QString::fromLatin1(mainWindowUrl())));
    if (!engine->rootObjects().isEmpty()) {
        window = qobject_cast<QQuickWindow*>(engine->rootObjects().constFirst());
        actions->setMainWindow(window);
    }
}

QmlLauncher::~QmlLauncher() {
    engine.reset(); // the screens go before the store they show
    actions.reset();
}

bool QmlLauncher::shown() const {
    return window && QTest::qWaitForWindowExposed(window) && activate();
}

QmlWindow QmlLauncher::settings() const {
    actions->showSettingsWindow();
    const QmlWindow shown{actions->settingsWindow()};
    settle();
    shown.settle();
    return shown;
}

QQuickItem* QmlWindow::item(const QString& objectName) const {
    return window ? findItem(window->contentItem(), objectName) : nullptr;
}

QQuickItem* QmlWindow::findItem(QQuickItem* root, const QString& objectName) {
    if (root->objectName() == objectName) {
        return root;
    }
    for (QQuickItem* child : root->childItems()) {
        if (QQuickItem* found = findItem(child, objectName)) {
            return found;
        }
    }
    return nullptr;
}

QObject* QmlWindow::object(const QString& objectName) const {
    return window ? window->findChild<QObject*>(objectName) : nullptr;
}

void QmlWindow::settle() const {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (window) {
        window->grabWindow();
    }
    QCoreApplication::processEvents();
}

void QmlWindow::click(QQuickItem* target) const {
    const QPointF centre = target->mapToScene(QPointF(target->width() / 2, target->height() / 2));
    QTest::mouseClick(target->window(), Qt::LeftButton, {}, centre.toPoint());
    settle();
}

void QmlWindow::resize(int width) const {
    window->resize(width, window->height());
    settle();
}

bool QmlWindow::activate() const {
    window->requestActivate();
    return QTest::qWaitForWindowActive(window);
}

void QmlWindow::key(Qt::Key key, Qt::KeyboardModifiers modifiers) const {
    QTest::keyClick(window, key, modifiers);
    settle();
}

void QmlWindow::type(const QString& text) const {
    for (const QChar ch : text) {
        QTest::keyClick(window, ch.toLatin1());
    }
    settle();
}

QString QmlWindow::focusedName() const {
    QQuickItem* focused = window->activeFocusItem();
    return focused ? focused->objectName() : QString();
}

} // namespace nimbara::test
