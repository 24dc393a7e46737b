#pragma once

#include "ui/app_icon_cache.h"

#include <QQuickAsyncImageProvider>
#include <memory>

namespace nimbara {

// Serves the app icons of an AppIconCache to QML: the id is the icon's address,
// percent-encoded; the image is scaled to fit the requested size. Requests arrive on the image
// loader's threads and are answered once the cache, on the main thread, has the icon; a failed
// icon is an image error, so the screens show the app's symbol.
class AppIconProvider : public QQuickAsyncImageProvider {
public:
    explicit AppIconProvider(std::shared_ptr<AppIconCache::Link> link);

    static QString providerId() { return QStringLiteral("appicon"); }

    QQuickImageResponse* requestImageResponse(const QString& id,
                                              const QSize& requestedSize) override;

private:
    std::shared_ptr<AppIconCache::Link> link_;
};

} // namespace nimbara
