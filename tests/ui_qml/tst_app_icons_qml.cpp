// App icons on the screens: fetched once per run through the icon cache, whatever the sizes and
// screens that show them, and the app's symbol wherever an icon cannot be had.

#include "qml_harness.h"
#include "support/catalog_samples.h"
#include "support/test_registry.h"
#include "ui/app_icon_cache.h"

#include <QBuffer>
#include <QHttpServer>
#include <QHttpServerResponse>
#include <QImage>
#include <QQuickItem>
#include <QRegularExpression>
#include <QTest>

using namespace nimbara;
using namespace nimbara::test;
using namespace Qt::StringLiterals;

namespace {

constexpr int imageReady = 1; // Image.Ready
constexpr int imageError = 3; // Image.Error

QByteArray pngIcon() {
    QImage image(64, 64, QImage::Format_ARGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A loopback server with a few icon paths; counts the requests of each path.
class IconServer {
public:
    IconServer() {
        serve(u"/icon.png"_s, pngIcon());
        serve(u"/garbage.png"_s, QByteArray("this is not an image"));
        serve(u"/huge.png"_s, QByteArray(int(AppIconCache::maximumIconBytes) + 1, 'x'));
        serve(u"/missing.png"_s, {}, QHttpServerResponse::StatusCode::NotFound);
        port_ = server_.listen(QHostAddress::LocalHost, 0);
    }

    QUrl url(const QString& path) const {
        return QUrl(u"http://127.0.0.1:%1%2"_s.arg(port_).arg(path));
    }
    int requests(const QString& path) const { return requests_.value(path); }
    bool listening() const { return port_ != 0; }

private:
    void serve(const QString& path, const QByteArray& body,
               QHttpServerResponse::StatusCode status = QHttpServerResponse::StatusCode::Ok) {
        server_.route(path, [this, path, body, status] {
            ++requests_[path];
            QHttpServerResponse response("image/png", body, status);
            // Never from the HTTP cache: every fetch reaches this server and is counted.
            response.setHeader("Cache-Control", "no-store");
            return response;
        });
    }

    QHttpServer server_;
    QHash<QString, int> requests_;
    quint16 port_ = 0;
};

// The image items of the app icons shown in the window (a hidden icon may have no app).
QList<QQuickItem*> iconImages(QQuickItem* root) {
    QList<QQuickItem*> found;
    if (root->objectName() == u"iconImage"_s && root->parentItem()->isVisible()) {
        found.append(root);
    }
    for (QQuickItem* child : root->childItems()) {
        found += iconImages(child);
    }
    return found;
}

} // namespace

class TestAppIconsQml : public QmlTest {
    Q_OBJECT

private Q_SLOTS:
    // One app shown at once in the featured card, the detail, the announcement and then the
    // all-apps grid: four sizes, one request.
    void eachIconIsFetchedOnce() {
        IconServer server;
        QVERIFY(server.listening());
        AppManifestItem app = publishedApp(u"alpha"_s);
        app.iconUrl = server.url(u"/icon.png"_s);
        LauncherManifest catalog = catalogWith({app});
        catalog.announcements = {announcementOf(app.id)};
        QmlLauncher launcher(catalog, true, true);
        QVERIFY(launcher.shown());
        launcher.resize(1200);
        QQuickItem* shell = launcher.item(u"launcherShell"_s);
        QVERIFY(shell);

        QSet<int> sizes;
        for (const int section : {0, 1}) { // home, then all apps
            shell->setProperty("selectedSection", section);
            launcher.settle();
            const QList<QQuickItem*> images = iconImages(launcher.window->contentItem());
            QVERIFY(!images.isEmpty());
            for (QQuickItem* image : images) {
                QTRY_COMPARE(image->property("status").toInt(), imageReady);
                QCOMPARE(image->property("source").toUrl(),
                         QUrl(AppIconCache::imageSource(*app.iconUrl)));
                sizes.insert(qRound(image->width()));
            }
        }
        QVERIFY2(sizes.size() >= 3, "the icon is shown in several sizes");
        QCOMPARE(server.requests(u"/icon.png"_s), 1);
    }

    void failedIconsShowTheSymbol_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("reason"); // in the log line of the ui category
        QTest::newRow("refused connection") << QString() << u"Connection refused"_s;
        QTest::newRow("missing") << u"/missing.png"_s << u"status 404"_s;
        QTest::newRow("undecodable") << u"/garbage.png"_s << u"could not be decoded"_s;
        QTest::newRow("oversized") << u"/huge.png"_s << u"larger than 2 MiB"_s;
    }

    // An icon that cannot be had is fetched once, logged with its reason, and every icon of the
    // app shows the app's symbol instead of an empty square.
    void failedIconsShowTheSymbol() {
        QFETCH(QString, path);
        QFETCH(QString, reason);
        IconServer server;
        QVERIFY(server.listening());
        AppManifestItem app = publishedApp(u"alpha"_s);
        // Nothing listens on port 9.
        app.iconUrl = path.isEmpty() ? QUrl(u"http://127.0.0.1:9/alpha.png"_s) : server.url(path);
        expectWarning(u"could not be loaded"_s);
        // Qt's own reply, refused, sometimes reports its error twice and says so.
        expectWarning(u"this method must only be called once"_s);
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(u"the app icon .* could not be loaded: .*"_s +
                                                QRegularExpression::escape(reason)));
        // Two apps: a tile grid on the home section, and the detail beside it.
        QmlLauncher launcher(catalogWith({app, publishedApp(u"beta"_s)}));
        QVERIFY(launcher.shown());
        QQuickItem* tile = launcher.item(u"appTile_alpha"_s);
        QVERIFY(tile);
        QQuickItem* image = QmlLauncher::findItem(tile, u"iconImage"_s);
        QQuickItem* fallback = QmlLauncher::findItem(tile, u"iconFallback"_s);
        QVERIFY(image && fallback);
        QCOMPARE(image->property("source").toUrl(), QUrl(AppIconCache::imageSource(*app.iconUrl)));
        QTRY_COMPARE(image->property("status").toInt(), imageError);
        QVERIFY(fallback->isVisible());
        QVERIFY(!image->isVisible());
        if (!path.isEmpty()) {
            QCOMPARE(server.requests(path), 1);
        }
    }
};

NIMBARA_REGISTER_TEST(TestAppIconsQml);

#include "tst_app_icons_qml.moc"
