#include "ui/app_icon_provider.h"

#include <QMetaObject>
#include <QMutexLocker>
#include <QQuickTextureFactory>

namespace nimbara {

namespace {

// `image` scaled smoothly to fit `requested`; a side of 0 or less leaves that side free.
QImage fitted(const QImage& image, const QSize& requested) {
    const bool width = requested.width() > 0;
    const bool height = requested.height() > 0;
    if (width && height) {
        return image.scaled(requested, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    if (width) {
        return image.scaledToWidth(requested.width(), Qt::SmoothTransformation);
    }
    if (height) {
        return image.scaledToHeight(requested.height(), Qt::SmoothTransformation);
    }
    return image;
}

// One request of the image loader. It lives on the loader's thread; the cache's answer arrives
// there as a queued call, and the first answer for its address ends it.
class AppIconResponse : public QQuickImageResponse {
public:
    AppIconResponse(QUrl url, QSize requestedSize)
        : url_(std::move(url)), requestedSize_(requestedSize) {}

    void take(const QUrl& url, const QImage& image) {
        if (done_ || url != url_) {
            return;
        }
        done_ = true;
        if (image.isNull()) {
            error_ = QStringLiteral("The app icon %1 could not be loaded.").arg(url_.toString());
        } else {
            image_ = fitted(image, requestedSize_);
        }
        Q_EMIT finished();
    }

    QQuickTextureFactory* textureFactory() const override {
        return QQuickTextureFactory::textureFactoryForImage(image_);
    }
    QString errorString() const override { return error_; }

private:
    QUrl url_;
    QSize requestedSize_;
    bool done_ = false;
    QImage image_;
    QString error_;
};

} // namespace

AppIconProvider::AppIconProvider(std::shared_ptr<AppIconCache::Link> link)
    : link_(std::move(link)) {}

QQuickImageResponse* AppIconProvider::requestImageResponse(const QString& id,
                                                           const QSize& requestedSize) {
    const QUrl url(QUrl::fromPercentEncoding(id.toUtf8()), QUrl::StrictMode);
    auto* response = new AppIconResponse(url, requestedSize);
    QMutexLocker lock(&link_->mutex);
    AppIconCache* cache = link_->cache;
    if (!cache || !url.isValid()) {
        // Answered from the loader's own event loop, once it listens for the answer.
        QMetaObject::invokeMethod(
            response, [response, url] { response->take(url, {}); }, Qt::QueuedConnection);
        return response;
    }
    QObject::connect(
        cache, &AppIconCache::settled, response,
        [response](const QUrl& settled, const QImage& image) { response->take(settled, image); },
        Qt::QueuedConnection);
    QMetaObject::invokeMethod(
        cache, [cache, url] { cache->requestAnswer(url); }, Qt::QueuedConnection);
    return response;
}

} // namespace nimbara
