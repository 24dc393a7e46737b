#pragma once

#include "ui/screenshot_scene.h"

#include <QObject>
#include <QPointer>
#include <QQuickWindow>
#include <QSize>
#include <QString>
#include <QTimer>
#include <atomic>
#include <optional>

namespace nimbara {

class LauncherStore;

// What the environment asks of a run, besides the launcher itself:
// - NIMBARA_REPORT_STARTUP=1 prints "first-frame-ms: N" when the main window's first frame is
//   on screen, "catalog-loaded-ms: N rss-kb: K" when the first catalog load has finished (times
//   since the process was created) and "raise-requested" whenever a later launch asks this one
//   to come forward;
// - NIMBARA_SCREENSHOT=<file.png> saves the main window as a PNG once the first catalog load has
//   finished and the window has settled, then quits;
// - NIMBARA_SCREENSHOT_SCENE=<scene> pictures another screen instead (see ScreenshotScene);
// - NIMBARA_WINDOW_SIZE=<W>x<H> sizes the main window (for screenshots).
struct StartupOptions {
    bool reportStartup = false;
    QString screenshotPath;
    // None when NIMBARA_SCREENSHOT_SCENE names no scene.
    std::optional<ScreenshotScene> screenshotScene;
    std::optional<QSize> windowSize;

    static StartupOptions fromEnvironment();
};

// "1060x720" -> 1060 by 720; none for anything else (both sides must be positive).
std::optional<QSize> parseWindowSize(const QString& text);

// Starts the store when the main window first shows: one task on the main thread awaits
// loadStoredStateIfNeeded() and then loadManifest(). Also does the reporting and the screenshot
// that StartupOptions ask for.
class StartupSequence : public QObject {
    Q_OBJECT

public:
    StartupSequence(LauncherStore& store, QQuickWindow& window, StartupOptions options,
                    QObject* parent = nullptr);

    // What a screenshot run puts up and pictures; by default the main window as it comes up.
    void setScreenshotStage(ScreenshotStage stage) { stage_ = std::move(stage); }

    // Called when a later launch asked this process to come forward.
    void noteRaiseRequest() const;

private:
    void firstFrameShown(qint64 atMs);
    void start();
    void catalogLoaded();
    void frameAfterCatalog();
    void saveScreenshot();

    QPointer<LauncherStore> store_;
    QPointer<QQuickWindow> window_;
    StartupOptions options_;
    ScreenshotStage stage_;
    bool started_ = false;
    bool catalogLoaded_ = false;
    std::atomic<bool> firstFrameSeen_{false};
    // Screenshots: the window counts as settled when no frame has come for a while after the
    // catalog arrived (pictures loading, lists laying out), or at the latest after a cap, so a
    // running animation cannot hold the screenshot forever.
    QTimer settled_;
    QTimer settleCap_;
};

} // namespace nimbara
