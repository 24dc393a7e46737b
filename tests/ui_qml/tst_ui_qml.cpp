// The main window's shell: layouts, the alert, the detail's buttons and the symbols.

#include "presentation/detail_rules.h"
#include "presentation/library_rules.h"
#include "qml_harness.h"
#include "store/launcher_store.h"
#include "support/catalog_samples.h"
#include "support/fake_collaborators.h"
#include "support/test_registry.h"
#include "ui/symbol_glyphs.h"

#include <QDirIterator>
#include <QFontMetricsF>
#include <QQuickItem>
#include <QQuickWindow>
#include <QRegularExpression>
#include <QTest>
#include <QThreadPool>

using namespace nimbara;
using namespace nimbara::test;
using namespace Qt::StringLiterals;

class TestUiQml : public QmlTest {
    Q_OBJECT

private Q_SLOTS:
    void layoutFollowsWidth_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("compact");
        QTest::newRow("1040 is wide") << 1040 << false;
        QTest::newRow("1039 is compact") << 1039 << true;
    }

    void layoutFollowsWidth() {
        QFETCH(int, width);
        QFETCH(bool, compact);
        QmlLauncher launcher(catalogWith({publishedApp(u"alpha"_s), publishedApp(u"beta"_s)}));
        QVERIFY(launcher.shown());
        launcher.resize(width);
        QQuickItem* shell = launcher.item(u"launcherShell"_s);
        QVERIFY(shell);
        QCOMPARE(shell->width(), qreal(width));
        QCOMPARE(shell->property("compact").toBool(), compact);
        QQuickItem* detail = launcher.item(u"wideDetailView"_s);
        QCOMPARE(detail->isVisible(), !compact);
        if (!compact) { // the whole detail column lies inside the window
            QCOMPARE(detail->width(), 390.0);
            QCOMPARE(detail->mapToScene(QPointF(detail->width(), 0)).x(), qreal(width));
            QVERIFY(launcher.item(u"libraryView"_s)->width() >= qMin(520, width - 230 - 391));
        }
        // A tile selects its app; in the compact layout the detail slides in over the library.
        QQuickItem* tile = launcher.item(u"appTile_beta"_s);
        QVERIFY(tile);
        launcher.click(tile);
        QCOMPARE(launcher.store->selectedAppID(), std::optional(u"beta"_s));
        QCOMPARE(launcher.item(u"compactDetailView"_s)->property("isPresented").toBool(), compact);
    }

    void errorAlertClearsMessage_data() {
        QTest::addColumn<bool>("pressOk");
        QTest::newRow("OK button") << true;
        QTest::newRow("Escape key") << false;
    }

    void errorAlertClearsMessage() {
        QFETCH(bool, pressOk);
        QmlLauncher launcher(catalogWith({publishedApp(u"alpha"_s)}));
        QVERIFY(launcher.shown());
        QObject* alert = launcher.object(u"errorAlert"_s);
        QVERIFY(alert && !alert->property("visible").toBool());
        launcher.store->setErrorMessage(u"Alpha could not be installed."_s);
        launcher.settle();
        QVERIFY(alert->property("opened").toBool() || alert->property("visible").toBool());
        QCOMPARE(alert->property("message").toString(), u"Alpha could not be installed."_s);

        if (pressOk) {
            QQuickItem* ok = launcher.item(u"alertAcceptButton"_s);
            QVERIFY(ok);
            launcher.click(ok);
        } else {
            launcher.key(Qt::Key_Escape);
        }
        QVERIFY(!alert->property("visible").toBool());
        QCOMPARE(launcher.store->errorMessage(), std::nullopt);
    }

    // The detail column's own buttons, pressed with the mouse: install, then open, then remove
    // (confirmed in the alert) reach the store's collaborators.
    void detailButtonsReachStore() {
        const AppManifestItem alpha = publishedApp(u"alpha"_s);
        QmlLauncher launcher(catalogWith({alpha}));
        QVERIFY(launcher.shown());
        QQuickItem* detail = launcher.item(u"wideDetailView"_s);
        QVERIFY(detail);
        QQuickItem* primary = QmlLauncher::findItem(detail, u"primaryActionButton"_s);
        QVERIFY(primary);

        const std::shared_ptr<Gate> gate = launcher.fakes.installer->hold(alpha.id);
        launcher.click(primary);
        QVERIFY(!primary->isEnabled());
        gate->open();
        QTRY_COMPARE(launcher.fakes.installer->finished, 1);
        QCOMPARE(launcher.fakes.installer->calls.size(), 1);
        launcher.settle();
        launcher.click(primary);                      // now the open button
        QThreadPool::globalInstance()->waitForDone(); // the app is opened on a worker
        launcher.settle();
        QCOMPARE(launcher.fakes.workspace->opened.size(), 1);

        QQuickItem* remove = QmlLauncher::findItem(detail, u"removeButton"_s);
        QVERIFY(remove && remove->isVisible());
        launcher.click(remove);
        QQuickItem* confirm = nullptr;
        for (QObject* dialog : launcher.window->findChildren<QObject*>(u"removeConfirmation"_s)) {
            if (dialog->property("visible").toBool()) {
                confirm = dialog->findChild<QQuickItem*>(u"alertAcceptButton"_s);
            }
        }
        QVERIFY2(confirm, "the removal is confirmed before anything is removed");
        QVERIFY(launcher.fakes.uninstaller->requests.isEmpty());
        launcher.click(confirm);
        QTRY_COMPARE(launcher.fakes.uninstaller->requests.size(), 1);
    }

    // Every symbol the screens draw, named in QML or handed over by a view model, has its own
    // glyph in the installed icon font.
    void symbolGlyphsExistInFont() {
        QStringList used;
        static const QRegularExpression literal(uR"re(\b(?:symbol|name):\s*"([a-z0-9.]+)")re"_s);
        QDirIterator files(u":/qt/qml/Nimbara"_s, {u"*.qml"_s}, QDir::Files,
                           QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QFile file(files.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            QRegularExpressionMatchIterator matches =
                literal.globalMatch(QString::fromUtf8(file.readAll()));
            while (matches.hasNext()) {
                used.append(matches.next().captured(1));
            }
        }
        for (const SidebarSection section : SidebarSections::allCases()) {
            used.append(SidebarSections::symbol(section));
        }
        for (const EmptyStateKind kind :
             {EmptyStateKind::generic, EmptyStateKind::selected, EmptyStateKind::updates}) {
            used.append(emptyStateContent(kind).symbol);
        }
        const AppManifestItem app = publishedApp(u"alpha"_s);
        used << statusSymbol(app, {}).symbol << statusSymbol(app, {app.id}).symbol
             << statusSymbol(comingSoonApp(u"soon"_s), {}).symbol
             << primaryAction(comingSoonApp(u"soon"_s), {}).symbol;
        for (const AppInstallState& state : {AppInstallState(), AppInstallState::installed(u"1"_s),
                                             AppInstallState::updateAvailable(u"1"_s, u"2"_s)}) {
            used.append(primaryAction(app, state).symbol);
        }
        QVERIFY(used.size() > 20);

        QmlLauncher launcher(catalogWith({})); // registers the icon font
        QVERIFY(launcher.window);
        const QFontMetricsF font(QFont(QString(SymbolGlyphs::fontFamily)));
        for (const QString& name : std::as_const(used)) {
            QVERIFY2(SymbolGlyphs::isKnown(name), qPrintable(name));
        }
        for (const QString& name : SymbolGlyphs::knownNames()) {
            QVERIFY2(font.inFontUcs4(SymbolGlyphs::codePoint(name)), qPrintable(name));
        }
        QVERIFY(font.inFontUcs4(SymbolGlyphs::genericGlyph));
    }
};

NIMBARA_REGISTER_TEST(TestUiQml);

#include "tst_ui_qml.moc"
