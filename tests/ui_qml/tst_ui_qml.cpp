// The real main window, loaded offscreen through installLauncherUi over a store on substitutes.
// Any QML warning or error fails the test that caused it.
#include "platform/preferences_store.h"
#include "store/launcher_store.h"
#include "support/catalog_samples.h"
#include "support/fake_collaborators.h"
#include "support/temp_home.h"
#include "text/nimbara_copy.h"
#include "ui/launcher_ui.h"
#include "ui/symbol_glyphs.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>
#include <memory>

using namespace nimbara;
using namespace nimbara::test;
using namespace Qt::StringLiterals;

namespace {

QStringList& recordedWarnings() {
    static QStringList warnings;
    return warnings;
}

// Warnings the running test provokes on purpose; cleared after every test.
QStringList& expectedWarnings() {
    static QStringList fragments;
    return fragments;
}

QtMessageHandler testLogHandler = nullptr;

void recordWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    // The offscreen platform's own notice about window size hints is not a fault of ours.
    const bool expected =
        message.contains("propagateSizeHints"_L1) ||
        std::any_of(expectedWarnings().cbegin(), expectedWarnings().cend(),
                    [&](const QString& fragment) { return message.contains(fragment); });
    if (type != QtDebugMsg && type != QtInfoMsg && !expected) {
        recordedWarnings().append(message);
    }
    if (testLogHandler) {
        testLogHandler(type, context, message);
    }
}

// The application's actions object as the entry point hands it over.
class AppActions : public QObject {
    Q_OBJECT
public:
    int settingsWindowRequests = 0;
    Q_INVOKABLE void showSettingsWindow() { ++settingsWindowRequests; }
};

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

// One store on substitutes and the main window loaded over it.
struct Launcher {
    FakeCollaborators fakes;
    std::unique_ptr<LauncherStore> store;
    AppActions actions;
    std::unique_ptr<QQmlApplicationEngine> engine;
    QQuickWindow* window = nullptr;

    // `announcementsSeenBefore`: a catalog was loaded before, so new announcements are pending.
    explicit Launcher(const LauncherManifest& catalog, bool onboardingComplete = true,
                      bool announcementsSeenBefore = false) {
        if (announcementsSeenBefore) {
            PreferencesStore(fakes.preferencesPath)
                .setBool(QString::fromLatin1(StoreKeys::announcementBaselineEstablished), true);
        }
        store = std::make_unique<LauncherStore>(fakes.wiring(catalog));
        store->setOnboardingComplete(onboardingComplete);
        engine = std::make_unique<QQmlApplicationEngine>();
        engine->rootContext()->setContextProperty(u"appName"_s, u"Nimbara"_s);
        installLauncherUi(*engine, *store, &actions);
        engine->load(QUrl(QString::fromLatin1(mainWindowUrl())));
        if (!engine->rootObjects().isEmpty()) {
            window = qobject_cast<QQuickWindow*>(engine->rootObjects().constFirst());
        }
    }
    ~Launcher() {
        engine.reset(); // the screens go before the store they show
    }

    // The item named `objectName` in the window's visual tree (popups included), or null.
    QQuickItem* item(const QString& objectName) const {
        return window ? findItem(window->contentItem()->parentItem()
                                     ? window->contentItem()->parentItem()
                                     : window->contentItem(),
                                 objectName)
                      : nullptr;
    }
    static QQuickItem* findItem(QQuickItem* root, const QString& objectName) {
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
    QObject* object(const QString& objectName) const {
        return window ? window->findChild<QObject*>(objectName) : nullptr;
    }
    // Lets bindings, deferred calls and one frame run.
    void settle() const {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (window) {
            window->grabWindow();
        }
        QCoreApplication::processEvents();
    }
    void click(QQuickItem* target) const {
        const QPointF centre =
            target->mapToScene(QPointF(target->width() / 2, target->height() / 2));
        QTest::mouseClick(window, Qt::LeftButton, {}, centre.toPoint());
        settle();
    }
    void resize(int width) const {
        window->resize(width, window->height());
        settle();
    }
};

LauncherManifest catalogOf(const QList<AppManifestItem>& apps,
                           const QList<LauncherAnnouncement>& announcements = {}) {
    LauncherManifest catalog = catalogWith(apps);
    catalog.announcements = announcements;
    return catalog;
}

} // namespace

class TestUiQml : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void everyScreenLoadsCleanly_data();
    void everyScreenLoadsCleanly();
    void layoutFollowsWidth_data();
    void layoutFollowsWidth();
    void errorAlertClearsMessage_data();
    void errorAlertClearsMessage();
    void announcementNeverCoversOnboarding_data();
    void announcementNeverCoversOnboarding();
    void announcementOpenSelectsApp();
    void sidebarSettingsKeepsSection();
    void tileSelectsAppAndShowsCompactDetail();
    void quickSwitchShortcutFromSearchField();
    void symbolGlyphsExistInFont();
    void iconFallsBackWhenImageFails();
};

// QtTest has installed its own handler by now; ours records, then hands on to it.
void TestUiQml::initTestCase() {
    testLogHandler = qInstallMessageHandler(recordWarnings);
}

void TestUiQml::cleanup() {
    expectedWarnings().clear();
    const QStringList warnings = std::exchange(recordedWarnings(), {});
    QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join(u'\n')));
}

void TestUiQml::everyScreenLoadsCleanly_data() {
    QTest::addColumn<LauncherManifest>("catalog");
    AppManifestItem withNotes = publishedApp(u"beta"_s);
    withNotes.releaseNotes = {{u"1.0"_s, u"May"_s, u"First."_s},
                              {u"0.9"_s, u"April"_s, u"Beta."_s}};
    withNotes.sparkleFeedUrl = QUrl(u"https://updates.example.com/beta.xml"_s);
    QTest::newRow("empty") << catalogOf({});
    QTest::newRow("coming soon only") << catalogOf({comingSoonApp(u"soon"_s)});
    QTest::newRow("one published") << catalogOf({publishedApp(u"alpha"_s)});
    QTest::newRow("several") << catalogOf(
        {publishedApp(u"alpha"_s), withNotes, comingSoonApp(u"soon"_s)});
}

// Every section in both layouts, with and without search text, draws without a warning.
void TestUiQml::everyScreenLoadsCleanly() {
    QFETCH(LauncherManifest, catalog);
    {
        LauncherManifest c = catalog;
        c.announcements = {announcementOf(u"alpha"_s)};
        Launcher l(c, true, true);
        (void)QTest::qWaitForWindowExposed(l.window);
        const QString tag = QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'_');
        l.resize(1200); QTest::qWait(400);
        l.window->grabWindow().save(u"/tmp/shot_%1_wide_ann.png"_s.arg(tag));
        l.store->acknowledgePendingAnnouncement(); QTest::qWait(400);
        l.window->grabWindow().save(u"/tmp/shot_%1_wide.png"_s.arg(tag));
        l.item(u"launcherShell"_s)->setProperty("selectedSection", 1);
        l.resize(960); l.item(u"launcherShell"_s)->setProperty("showCompactDetail", true); QTest::qWait(400);
        l.window->grabWindow().save(u"/tmp/shot_%1_compact.png"_s.arg(tag));
        l.store->setErrorMessage(u"Something failed badly."_s); QTest::qWait(300);
        l.window->grabWindow().save(u"/tmp/shot_%1_error.png"_s.arg(tag));
    }
    Launcher launcher(catalog);
    QVERIFY(launcher.window);
    QVERIFY(QTest::qWaitForWindowExposed(launcher.window));
    QQuickItem* shell = launcher.item(u"launcherShell"_s);
    QVERIFY(shell);
    for (const int width : {1200, 960}) {
        launcher.resize(width);
        for (int section = 0; section < 4; ++section) {
            shell->setProperty("selectedSection", section);
            shell->setProperty("searchText", u"  a "_s);
            launcher.settle();
            shell->setProperty("searchText", QString());
            shell->setProperty("showCompactDetail", true);
            launcher.settle();
        }
    }
    // The detail column while an install runs, then after it.
    const auto alpha =
        std::find_if(catalog.apps.cbegin(), catalog.apps.cend(),
                     [](const AppManifestItem& app) { return app.id == u"alpha"_s; });
    if (alpha != catalog.apps.cend()) {
        const std::shared_ptr<Gate> gate = launcher.fakes.installer->hold(alpha->id);
        launcher.store->install(*alpha);
        launcher.settle();
        gate->open();
        QTRY_VERIFY(launcher.fakes.installer->finished == 1);
        launcher.settle();
    }
}

void TestUiQml::layoutFollowsWidth_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("compact");
    QTest::newRow("1040 is wide") << 1040 << false;
    QTest::newRow("1039 is compact") << 1039 << true;
    QTest::newRow("minimum width") << 900 << true;
    QTest::newRow("default width") << 1060 << false;
}

void TestUiQml::layoutFollowsWidth() {
    QFETCH(int, width);
    QFETCH(bool, compact);
    Launcher launcher(catalogOf({publishedApp(u"alpha"_s)}));
    QVERIFY(launcher.window);
    QVERIFY(QTest::qWaitForWindowExposed(launcher.window));
    launcher.resize(width);
    QQuickItem* shell = launcher.item(u"launcherShell"_s);
    QVERIFY(shell);
    QCOMPARE(shell->width(), qreal(width));
    QCOMPARE(shell->property("compact").toBool(), compact);
    QCOMPARE(launcher.item(u"wideDetailView"_s)->isVisible(), !compact);
}

void TestUiQml::errorAlertClearsMessage_data() {
    QTest::addColumn<bool>("pressOk");
    QTest::newRow("OK button") << true;
    QTest::newRow("Escape key") << false;
}

void TestUiQml::errorAlertClearsMessage() {
    QFETCH(bool, pressOk);
    Launcher launcher(catalogOf({publishedApp(u"alpha"_s)}));
    QVERIFY(launcher.window);
    QVERIFY(QTest::qWaitForWindowExposed(launcher.window));
    QObject* alert = launcher.object(u"errorAlert"_s);
    QVERIFY(alert);
    QVERIFY(!alert->property("visible").toBool());

    launcher.store->setErrorMessage(u"Alpha could not be installed."_s);
    launcher.settle();
    QVERIFY(alert->property("opened").toBool() || alert->property("visible").toBool());
    QCOMPARE(alert->property("title").toString(),
             NimbaraCopy::text(CopyKey::brand, NimbaraLocale::en));
    QCOMPARE(alert->property("message").toString(), u"Alpha could not be installed."_s);

    if (pressOk) {
        QQuickItem* ok = launcher.item(u"alertAcceptButton"_s);
        QVERIFY(ok);
        QCOMPARE(ok->property("text").toString(),
                 NimbaraCopy::text(CopyKey::ok, NimbaraLocale::en));
        launcher.click(ok);
    } else {
        QTest::keyClick(launcher.window, Qt::Key_Escape);
        launcher.settle();
    }
    QVERIFY(!alert->property("visible").toBool());
    QCOMPARE(launcher.store->errorMessage(), std::nullopt);
}

void TestUiQml::announcementNeverCoversOnboarding_data() {
    QTest::addColumn<bool>("onboardingComplete");
    QTest::newRow("onboarding required") << false;
    QTest::newRow("onboarding complete") << true;
}

void TestUiQml::announcementNeverCoversOnboarding() {
    QFETCH(bool, onboardingComplete);
    Launcher launcher(catalogOf({publishedApp(u"alpha"_s)}, {announcementOf(u"alpha"_s)}),
                      onboardingComplete, true);
    QVERIFY(launcher.window);
    QVERIFY(launcher.store->pendingAnnouncement());
    launcher.settle();
    QQuickItem* root = launcher.item(u"rootView"_s);
    QCOMPARE(root->property("showsOnboarding").toBool(), !onboardingComplete);
    QCOMPARE(launcher.item(u"announcementOverlay"_s)->property("shown").toBool(),
             onboardingComplete);
}

void TestUiQml::announcementOpenSelectsApp() {
    Launcher launcher(
        catalogOf({publishedApp(u"alpha"_s), publishedApp(u"beta"_s)}, {announcementOf(u"beta"_s)}),
        true, true);
    QVERIFY(launcher.window);
    QVERIFY(QTest::qWaitForWindowExposed(launcher.window));
    QQuickItem* open = launcher.item(u"announcementOpenButton"_s);
    QVERIFY(open);
    QVERIFY(open->isEnabled());
    launcher.click(open);
    QCOMPARE(launcher.store->selectedAppID(), std::optional(u"beta"_s));
    QVERIFY(!launcher.store->pendingAnnouncement());
    QVERIFY(!launcher.item(u"announcementOverlay"_s)->property("shown").toBool());
}

void TestUiQml::sidebarSettingsKeepsSection() {
    Launcher launcher(catalogOf({publishedApp(u"alpha"_s)}));
    QVERIFY(launcher.window);
    QVERIFY(QTest::qWaitForWindowExposed(launcher.window));
    QQuickItem* shell = launcher.item(u"launcherShell"_s);
    launcher.click(launcher.item(u"sidebarRow1"_s)); // all apps
    QCOMPARE(shell->property("selectedSection").toInt(), 1);
    launcher.click(launcher.item(u"sidebarRow4"_s)); // settings
    QCOMPARE(launcher.actions.settingsWindowRequests, 1);
    QCOMPARE(shell->property("selectedSection").toInt(), 1);
}

void TestUiQml::tileSelectsAppAndShowsCompactDetail() {
    Launcher launcher(catalogOf({publishedApp(u"alpha"_s), publishedApp(u"beta"_s)}));
    QVERIFY(launcher.window);
    QVERIFY(QTest::qWaitForWindowExposed(launcher.window));
    launcher.resize(960);
    QQuickItem* shell = launcher.item(u"launcherShell"_s);
    QCOMPARE(launcher.store->selectedAppID(), std::optional(u"alpha"_s));
    QQuickItem* tile = launcher.item(u"appTile_beta"_s);
    QVERIFY(tile);
    launcher.click(tile);
    QCOMPARE(launcher.store->selectedAppID(), std::optional(u"beta"_s));
    QVERIFY(shell->property("showCompactDetail").toBool());
    QVERIFY(launcher.item(u"compactDetailView"_s)->property("isPresented").toBool());
}

void TestUiQml::quickSwitchShortcutFromSearchField() {
    Launcher launcher(catalogOf({publishedApp(u"alpha"_s)}));
    QVERIFY(launcher.window);
    QVERIFY(QTest::qWaitForWindowExposed(launcher.window));
    launcher.window->requestActivate();
    QVERIFY(QTest::qWaitForWindowActive(launcher.window));
    QQuickItem* search = launcher.item(u"searchField"_s);
    QVERIFY(search);
    search->forceActiveFocus();
    for (const char key : {'n', 'o', 't', 'e', 's'}) {
        QTest::keyClick(launcher.window, key);
    }
    QTest::keyClick(launcher.window, Qt::Key_Home);
    QTest::keyClick(launcher.window, Qt::Key_K, Qt::ControlModifier);
    launcher.settle();
    QVERIFY(launcher.item(u"rootView"_s)->property("showQuickSwitcher").toBool());
    // The key went to the shortcut, not to the text field's delete-to-end-of-line.
    QCOMPARE(launcher.item(u"launcherShell"_s)->property("searchText").toString(), u"notes"_s);
}

// Every symbol the screens draw has its own glyph in the installed icon font.
void TestUiQml::symbolGlyphsExistInFont() {
    Launcher launcher(catalogOf({})); // loads the font
    QVERIFY(launcher.window);
    const QFontMetricsF loaded(QFont(QString(SymbolGlyphs::fontFamily)));
    for (const QString& name : SymbolGlyphs::knownNames()) {
        QVERIFY2(loaded.inFontUcs4(SymbolGlyphs::codePoint(name)), qPrintable(name));
    }
    QVERIFY(loaded.inFontUcs4(SymbolGlyphs::genericGlyph));
}

// An icon whose image cannot be loaded shows the app's symbol instead of an empty square.
void TestUiQml::iconFallsBackWhenImageFails() {
    expectedWarnings().append(u"Connection refused"_s);
    AppManifestItem app = publishedApp(u"alpha"_s);
    app.iconUrl = QUrl(u"http://127.0.0.1:9/alpha.png"_s);        // nothing listens on port 9
    Launcher launcher(catalogOf({app, publishedApp(u"beta"_s)})); // two apps: a tile grid
    QVERIFY(launcher.window);
    QQuickItem* tile = launcher.item(u"appTile_alpha"_s);
    QVERIFY(tile);
    QQuickItem* image = Launcher::findItem(tile, u"iconImage"_s);
    QQuickItem* fallback = Launcher::findItem(tile, u"iconFallback"_s);
    QVERIFY(image && fallback);
    QCOMPARE(image->property("source").toUrl(), *app.iconUrl);
    QTRY_COMPARE(image->property("status").toInt(), 3); // Image.Error
    QVERIFY(fallback->isVisible());
    QVERIFY(!image->isVisible());
}

int main(int argc, char** argv) {
    nimbara::test::TempHome home;
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    QGuiApplication app(argc, argv);
    TestUiQml test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ui_qml.moc"
