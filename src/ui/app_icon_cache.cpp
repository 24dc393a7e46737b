#include "ui/app_icon_cache.h"

#include "core/error.h"
#include "core/logging.h"
#include "install/worker_task.h"
#include "platform/detached_task.h"
#include "platform/network_session.h"
#include "ui/app_icon_provider.h"

#include <QBuffer>
#include <QImageReader>
#include <QMutexLocker>
#include <QNetworkAccessManager>
#include <QPixmap>
#include <QPointer>
#include <QQmlEngine>

namespace nimbara {

namespace {

constexpr char cacheProperty[] = "nimbaraAppIconCache";
// What a decoder may allocate for one icon, in MiB: far above any sensible icon, far below
// what a hostile image header could ask for.
constexpr int decodeAllocationLimit = 64;

class AppIconError : public Error {
public:
    explicit AppIconError(const QString& message)
        : Error(message, QStringLiteral("AppIconError(%1)").arg(renderedString(message))) {}
};

// Runs on a worker: the decoded image, scaled down to maximumIconSide when larger.
QImage decodeIcon(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAllocationLimit(decodeAllocationLimit);
    const QSize size = reader.size();
    const int side = AppIconCache::maximumIconSide;
    if (size.isValid() && (size.width() > side || size.height() > side)) {
        reader.setScaledSize(size.scaled(side, side, Qt::KeepAspectRatio));
    }
    QImage image = reader.read();
    if (image.isNull()) {
        throw AppIconError(
            QStringLiteral("The icon could not be decoded (%1).").arg(reader.errorString()));
    }
    return image;
}

QCoro::Task<QImage> download(QNetworkAccessManager& network, QUrl url) {
    // Each task is bound to a name before it is awaited (GCC 12 frees temporaries of a co_await
    // expression too early).
    QCoro::Task<HttpResponse> fetching =
        httpGet(network, makeNetworkRequest(url), {}, AppIconCache::maximumIconBytes);
    const HttpResponse response = co_await fetching;
    const int status = response.statusCode.value_or(200);
    if (status < 200 || status > 299) {
        throw AppIconError(QStringLiteral("The server answered with status %1.").arg(status));
    }
    QCoro::Task<QImage> decoding = onWorker([bytes = response.body] { return decodeIcon(bytes); });
    co_return co_await decoding;
}

} // namespace

AppIconCache::AppIconCache(QNetworkAccessManager& network, QObject* parent)
    : QObject(parent), network_(network), link_(std::make_shared<Link>()) {
    link_->cache = this;
}

AppIconCache::~AppIconCache() {
    QMutexLocker lock(&link_->mutex);
    link_->cache = nullptr;
}

void AppIconCache::request(const QUrl& url) {
    Entry& entry = entries_[url];
    if (entry.status == Status::unknown) {
        entry.status = Status::loading;
        startDetached(fetch(url), logUi(),
                      QStringLiteral("fetching the app icon ") + url.toString());
    }
}

void AppIconCache::requestAnswer(const QUrl& url) {
    request(url);
    const Entry& entry = entries_[url];
    if (entry.status == Status::ready || entry.status == Status::failed) {
        Q_EMIT settled(url, entry.image);
    }
}

QCoro::Task<> AppIconCache::fetch(QUrl url) {
    QPointer<AppIconCache> self(this);
    QNetworkAccessManager& network = network_;
    QImage image;
    try {
        QCoro::Task<QImage> downloading = download(network, url);
        image = co_await downloading;
    } catch (...) {
        qCWarning(logUi).noquote()
            << "the app icon" << url.toString() << "could not be loaded:" << currentFailureReason();
    }
    if (self) {
        self->settle(url, std::move(image));
    }
}

void AppIconCache::settle(const QUrl& url, QImage image) {
    Entry& entry = entries_[url];
    entry.status = image.isNull() ? Status::failed : Status::ready;
    entry.image = std::move(image);
    Q_EMIT settled(url, entry.image);
}

AppIconCache::Status AppIconCache::status(const QUrl& url) const {
    return entries_.value(url).status;
}

QImage AppIconCache::image(const QUrl& url) const {
    return entries_.value(url).image;
}

QIcon AppIconCache::icon(const QUrl& url) const {
    const QImage decoded = image(url);
    return decoded.isNull() ? QIcon() : QIcon(QPixmap::fromImage(decoded));
}

AppIconCache& AppIconCache::provide(QQmlEngine& engine, QNetworkAccessManager& network) {
    auto* cache = new AppIconCache(network, &engine);
    engine.setProperty(cacheProperty, QVariant::fromValue<QObject*>(cache));
    engine.addImageProvider(AppIconProvider::providerId(), new AppIconProvider(cache->link()));
    return *cache;
}

AppIconCache* AppIconCache::of(QQmlEngine& engine) {
    return qobject_cast<AppIconCache*>(engine.property(cacheProperty).value<QObject*>());
}

QString AppIconCache::imageSource(const QUrl& url) {
    return QStringLiteral("image://%1/").arg(AppIconProvider::providerId()) +
           QString::fromLatin1(QUrl::toPercentEncoding(url.toString(QUrl::FullyEncoded)));
}

} // namespace nimbara
