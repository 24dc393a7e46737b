#include "ui/startup_sequence.h"

#include "core/logging.h"
#include "platform/detached_task.h"
#include "platform/process_report.h"
#include "store/launcher_store.h"

#include <QCoreApplication>
#include <QImage>
#include <QQuickWindow>
#include <QRegularExpression>
#include <functional>

namespace nimbara {

namespace {

// A window that has drawn no new frame for this long after the catalog arrived has settled.
constexpr int kSettleQuietMs = 400;
// Screenshots are taken at the latest this long after the catalog arrived.
constexpr int kSettleCapMs = 5000;
// When the platform reports no frames at all, the start-up task still starts this long after
// the window became visible.
constexpr int kStartWithoutFrameMs = 500;

QString elapsed() {
    const auto ms = millisecondsSinceProcessStart();
    return ms ? QString::number(*ms) : QStringLiteral("unknown");
}

QCoro::Task<> runStartup(QPointer<LauncherStore> store, QPointer<StartupSequence> sequence,
                         std::function<void()> whenCatalogLoaded) {
    if (!store) {
        co_return;
    }
    co_await store->loadStoredStateIfNeeded();
    if (!store) {
        co_return;
    }
    co_await store->loadManifest();
    if (store && sequence) {
        whenCatalogLoaded();
    }
}

} // namespace

std::optional<QSize> parseWindowSize(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,5})x(\\d{1,5})$"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const QSize size(match.captured(1).toInt(), match.captured(2).toInt());
    if (size.width() <= 0 || size.height() <= 0) {
        return std::nullopt;
    }
    return size;
}

StartupOptions StartupOptions::fromEnvironment() {
    StartupOptions options;
    options.reportStartup = qEnvironmentVariable("NIMBARA_REPORT_STARTUP") == QLatin1String("1");
    options.screenshotPath = qEnvironmentVariable("NIMBARA_SCREENSHOT");
    options.screenshotScene =
        parseScreenshotScene(qEnvironmentVariable("NIMBARA_SCREENSHOT_SCENE"));
    options.windowSize = parseWindowSize(qEnvironmentVariable("NIMBARA_WINDOW_SIZE"));
    return options;
}

StartupSequence::StartupSequence(LauncherStore& store, QQuickWindow& window, StartupOptions options,
                                 QObject* parent)
    : QObject(parent), store_(&store), window_(&window), options_(std::move(options)) {
    if (options_.windowSize) {
        window.resize(*options_.windowSize);
    }
    // frameSwapped comes from the render thread when rendering is threaded: note the time
    // there, carry on here.
    connect(
        &window, &QQuickWindow::frameSwapped, this,
        [this] {
            if (!firstFrameSeen_.exchange(true)) {
                const qint64 atMs = millisecondsSinceProcessStart().value_or(-1);
                QMetaObject::invokeMethod(
                    this, [this, atMs] { firstFrameShown(atMs); }, Qt::QueuedConnection);
            }
        },
        Qt::DirectConnection);
    connect(&window, &QWindow::visibleChanged, this, [this](bool visible) {
        if (visible) {
            QTimer::singleShot(kStartWithoutFrameMs, this, &StartupSequence::start);
        }
    });

    settled_.setSingleShot(true);
    settled_.setInterval(kSettleQuietMs);
    settleCap_.setSingleShot(true);
    settleCap_.setInterval(kSettleCapMs);
    connect(&settled_, &QTimer::timeout, this, &StartupSequence::saveScreenshot);
    connect(&settleCap_, &QTimer::timeout, this, &StartupSequence::saveScreenshot);

    if (!window.isVisible()) {
        window.show();
    } else {
        QTimer::singleShot(kStartWithoutFrameMs, this, &StartupSequence::start);
    }
}

void StartupSequence::noteRaiseRequest() const {
    if (options_.reportStartup) {
        printReportLine(QStringLiteral("raise-requested"));
    }
}

void StartupSequence::firstFrameShown(qint64 atMs) {
    if (options_.reportStartup) {
        printReportLine(QStringLiteral("first-frame-ms: %1")
                            .arg(atMs >= 0 ? QString::number(atMs) : QStringLiteral("unknown")));
    }
    start();
}

void StartupSequence::start() {
    if (started_ || !store_) {
        return;
    }
    started_ = true;
    startDetached(runStartup(store_, QPointer<StartupSequence>(this), [this] { catalogLoaded(); }),
                  logUi(), QStringLiteral("start-up"));
}

void StartupSequence::catalogLoaded() {
    if (catalogLoaded_) {
        return;
    }
    catalogLoaded_ = true;
    if (options_.reportStartup) {
        const auto rss = residentSetKilobytes();
        printReportLine(
            QStringLiteral("catalog-loaded-ms: %1 rss-kb: %2")
                .arg(elapsed(), rss ? QString::number(*rss) : QStringLiteral("unknown")));
    }
    if (!options_.screenshotPath.isEmpty() && window_) {
        if (stage_.setUp) {
            stage_.setUp();
        }
        connect(window_, &QQuickWindow::frameSwapped, this, &StartupSequence::frameAfterCatalog,
                Qt::QueuedConnection);
        settled_.start();
        settleCap_.start();
        window_->update();
    }
}

void StartupSequence::frameAfterCatalog() {
    if (settleCap_.isActive()) {
        settled_.start(); // still changing: wait for quiet again
    }
}

void StartupSequence::saveScreenshot() {
    settled_.stop();
    settleCap_.stop();
    if (!window_) {
        return;
    }
    disconnect(window_, &QQuickWindow::frameSwapped, this, &StartupSequence::frameAfterCatalog);
    const QImage image = stage_.picture ? stage_.picture() : window_->grabWindow();
    if (image.isNull() || !image.save(options_.screenshotPath, "PNG")) {
        qCCritical(logUi).noquote() << "could not write the screenshot" << options_.screenshotPath;
        QCoreApplication::exit(1);
        return;
    }
    QCoreApplication::exit(0);
}

} // namespace nimbara
