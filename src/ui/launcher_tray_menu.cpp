#include "ui/launcher_tray_menu.h"

#include "contracts/feedback_records.h"
#include "core/logging.h"
#include "store/launcher_store.h"
#include "text/nimbara_copy.h"
#include "ui/app_icon_cache.h"
#include "ui/application_actions.h"
#include "ui/design_palette.h"
#include "ui/design_resources.h"
#include "ui/symbol_glyphs.h"
#include "ui/update_all_view_model.h"

#include <QLinearGradient>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QSystemTrayIcon>

namespace nimbara {

namespace {

// Pixels of the drawn icons; the menu and the tray scale them down to their own sizes.
constexpr int symbolPixels = 32;
constexpr int logoPixels = 64;

QIcon symbolIcon(QStringView name) {
    static const QString family = DesignResources().symbolFamily();
    QPixmap pixmap(symbolPixels, symbolPixels);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QFont font(family);
    font.setPixelSize(symbolPixels);
    painter.setFont(font);
    painter.setPen(DesignPalette::fg1());
    painter.drawText(pixmap.rect(), Qt::AlignCenter, SymbolGlyphs::glyph(name));
    return QIcon(pixmap);
}

void fillRoundedSquare(QPainter& painter, const QRectF& square, qreal radius, const QBrush& brush) {
    QPainterPath path;
    path.addRoundedRect(square, radius, radius);
    painter.fillPath(path, brush);
}

} // namespace

LauncherTrayMenu::LauncherTrayMenu(LauncherStore& store, ApplicationActions& actions,
                                   AppIconCache* icons, QString appName, QObject* parent)
    : QObject(parent), store_(store), actions_(actions), icons_(icons),
      appName_(std::move(appName)), menu_(std::make_unique<QMenu>()) {
    menu_->setTitle(appName_);
    for (auto changed : {&LauncherStore::manifestChanged, &LauncherStore::installStatesChanged,
                         &LauncherStore::localeChanged, &LauncherStore::includeBetaAppsChanged,
                         &LauncherStore::updateAllInProgressChanged}) {
        connect(&store_, changed, this, &LauncherTrayMenu::refresh);
    }
    if (icons_) {
        connect(icons_, &AppIconCache::settled, this, &LauncherTrayMenu::refresh);
    }
    refresh();
}

LauncherTrayMenu::~LauncherTrayMenu() = default;

bool LauncherTrayMenu::showInTray() {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        qCInfo(logUi) << "this desktop has no system tray; the launcher runs without its tray menu";
        return false;
    }
    if (!tray_) {
        tray_ = std::make_unique<QSystemTrayIcon>(trayIcon());
        tray_->setToolTip(appName_);
        tray_->setContextMenu(menu_.get());
        // A plain click brings the launcher forward; the menu opens as the tray's context menu.
        connect(tray_.get(), &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    if (reason == QSystemTrayIcon::Trigger) {
                        openLauncher();
                    }
                });
    }
    tray_->show();
    return true;
}

void LauncherTrayMenu::setCanCheckForUpdates(bool canCheck) {
    if (canCheckForUpdates_ != canCheck) {
        canCheckForUpdates_ = canCheck;
        refresh();
    }
}

QIcon LauncherTrayMenu::trayIcon() {
    // The launcher's logo: three nested rounded squares, the outer and inner ones with the
    // lime-to-violet gradient, the middle one in the page background.
    QPixmap pixmap(logoPixels, logoPixels);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal size = logoPixels;
    QLinearGradient gradient(0, 0, size, size);
    gradient.setColorAt(0, DesignPalette::lime());
    gradient.setColorAt(1, DesignPalette::violet());
    fillRoundedSquare(painter, QRectF(0, 0, size, size), 0.22 * size, gradient);
    const qreal middle = 0.22 * size;
    fillRoundedSquare(painter, QRectF(middle, middle, size - 2 * middle, size - 2 * middle),
                      0.10 * size, DesignPalette::bg0());
    const qreal inner = 0.34 * size;
    fillRoundedSquare(painter, QRectF(inner, inner, size - 2 * inner, size - 2 * inner),
                      0.05 * size, gradient);
    return QIcon(pixmap);
}

void LauncherTrayMenu::openLauncher() {
    actions_.activateMainWindow();
}

void LauncherTrayMenu::chooseApp(const AppManifestItem& app) {
    actions_.activateMainWindow();
    store_.setSelectedAppID(app.id);
    switch (trayAppAction(store_.state(app).kind(), store_.canInstall(app))) {
    case TrayAppAction::open:
        store_.open(app);
        break;
    case TrayAppAction::install:
        store_.install(app);
        break;
    case TrayAppAction::selectOnly:
        break;
    }
}

void LauncherTrayMenu::sendFeedback() {
    actions_.activateMainWindow();
    store_.setFeedbackState(FeedbackSubmissionState::idle());
    store_.setShowingFeedbackSheet(true);
}

void LauncherTrayMenu::refresh() {
    QList<TrayEntry> entries =
        trayEntries(store_.manifest(), store_.includeBetaApps(), canCheckForUpdates_,
                    UpdateAllViewModel::titleFor(store_));
    QSet<QUrl> loadedIcons;
    for (const TrayEntry& entry : entries) {
        if (entry.app && entry.app->iconUrl && icons_) {
            icons_->request(*entry.app->iconUrl);
            if (icons_->status(*entry.app->iconUrl) == AppIconCache::Status::ready) {
                loadedIcons.insert(*entry.app->iconUrl);
            }
        }
    }
    if (built_ && entries == entries_ && store_.locale() == builtLocale_ &&
        loadedIcons == builtWithIcons_) {
        return;
    }
    entries_ = std::move(entries);
    builtLocale_ = store_.locale();
    builtWithIcons_ = std::move(loadedIcons);
    built_ = true;
    rebuildMenu();
}

void LauncherTrayMenu::rebuildMenu() {
    const NimbaraLocale locale = store_.locale();
    menu_->clear();
    for (const TrayEntry& entry : entries_) {
        switch (entry.kind) {
        case TrayEntry::Kind::openLauncher:
            menu_->addAction(symbolIcon(u"arrow.up.right"),
                             NimbaraCopy::text(CopyKey::openNimbara, locale), this,
                             &LauncherTrayMenu::openLauncher);
            break;
        case TrayEntry::Kind::separator:
            menu_->addSeparator();
            break;
        case TrayEntry::Kind::app: {
            const AppManifestItem app = *entry.app;
            menu_->addAction(appIcon(app), app.name, this, [this, app] { chooseApp(app); });
            break;
        }
        case TrayEntry::Kind::noApps:
            menu_->addAction(NimbaraCopy::text(CopyKey::emptyTitle, locale))->setEnabled(false);
            break;
        case TrayEntry::Kind::sendFeedback:
            menu_->addAction(symbolIcon(u"bubble.left.and.bubble.right"),
                             NimbaraCopy::text(CopyKey::sendFeedback, locale), this,
                             &LauncherTrayMenu::sendFeedback);
            break;
        case TrayEntry::Kind::updateAll:
            menu_->addAction(symbolIcon(u"arrow.down.circle"), entry.title, this,
                             [this] { UpdateAllViewModel::triggerOn(store_); });
            break;
        case TrayEntry::Kind::checkForUpdates:
            menu_->addAction(symbolIcon(u"arrow.triangle.2.circlepath"),
                             NimbaraCopy::text(CopyKey::menuCheckForUpdates, locale), this,
                             &LauncherTrayMenu::updateCheckRequested);
            break;
        }
    }
}

QIcon LauncherTrayMenu::appIcon(const AppManifestItem& app) const {
    if (app.iconUrl && icons_) {
        const QIcon loaded = icons_->icon(*app.iconUrl);
        if (!loaded.isNull()) {
            return loaded;
        }
    }
    return symbolIcon(app.symbolName);
}

} // namespace nimbara
