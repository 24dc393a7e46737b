#pragma once

#include <QCoro/QCoroTask>
#include <QHash>
#include <QIcon>
#include <QImage>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QUrl>
#include <memory>

class QNetworkAccessManager;
class QQmlEngine;

namespace nimbara {

// The catalog's app icons, each address fetched at most once per run and kept decoded in
// memory, for the screens (through the "appicon" image provider) and the tray menu. Fetches
// go through the given network manager and never block the main thread; the body is capped
// at maximumIconBytes and decoded on a worker. A failed fetch is logged once and not retried
// in the same run: its icons show the app's symbol.
//
// Lives on the main thread; every member is called there. The provider reaches it from its
// own threads only through link().
class AppIconCache : public QObject {
    Q_OBJECT

public:
    // The largest icon body accepted; a larger answer is refused.
    static constexpr qint64 maximumIconBytes = 2 * 1024 * 1024;
    // A decoded icon larger than this on either side is scaled down to it when decoded.
    static constexpr int maximumIconSide = 1024;

    enum class Status { unknown, loading, ready, failed };

    explicit AppIconCache(QNetworkAccessManager& network, QObject* parent = nullptr);
    ~AppIconCache() override;

    // Starts fetching `url` unless it has been fetched or is being fetched in this run.
    void request(const QUrl& url);
    // request(), and when the outcome is known already, settled() again at once for a new
    // listener that missed it.
    void requestAnswer(const QUrl& url);
    Status status(const QUrl& url) const;
    // The decoded icon; null unless the status is ready.
    QImage image(const QUrl& url) const;
    // The icon for a menu; null unless the status is ready.
    QIcon icon(const QUrl& url) const;

    // How the provider, on its own threads, reaches the cache while it exists: lock `mutex`
    // and use `cache` when it is not null (it is cleared when the cache goes).
    struct Link {
        QMutex mutex;
        AppIconCache* cache = nullptr;
    };
    std::shared_ptr<Link> link() const { return link_; }

    // Gives `engine` a cache over `network` (owned by the engine) and its image provider
    // "appicon"; call once per engine, before loading.
    static AppIconCache& provide(QQmlEngine& engine, QNetworkAccessManager& network);
    // The cache provided to `engine`, or null.
    static AppIconCache* of(QQmlEngine& engine);

    // The image source of the icon at `url`: "image://appicon/" and the URL percent-encoded.
    static QString imageSource(const QUrl& url);

Q_SIGNALS:
    // The fetch of `url` ended: `image` is the decoded icon, or null when it failed.
    void settled(const QUrl& url, const QImage& image);

private:
    struct Entry {
        Status status = Status::unknown;
        QImage image;
    };

    QCoro::Task<> fetch(QUrl url);
    void settle(const QUrl& url, QImage image);

    QNetworkAccessManager& network_;
    QHash<QUrl, Entry> entries_;
    std::shared_ptr<Link> link_;
};

} // namespace nimbara
