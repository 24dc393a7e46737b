#include "ui/app_detail_view_model.h"

#include "catalog/app_accent.h"
#include "catalog/manifest_policy.h"
#include "core/logging.h"
#include "platform/detached_task.h"
#include "presentation/detail_rules.h"
#include "presentation/transfer_text.h"
#include "store/launcher_store.h"
#include "text/nimbara_copy.h"
#include "ui/app_presentation.h"

using namespace Qt::StringLiterals;

namespace nimbara {

namespace {

const AppInstallState& noState() {
    static const AppInstallState state;
    return state;
}

// The state of the shown app, always read from the store.
AppInstallState stateOf(const LauncherStore* store, const std::optional<AppManifestItem>& app) {
    return store && app ? store->state(*app) : noState();
}

} // namespace

AppDetailViewModel::AppDetailViewModel(QObject* parent) : StoreViewModel(parent) {}

void AppDetailViewModel::observe(LauncherStore& store) {
    connect(&store, &LauncherStore::manifestChanged, this, &AppDetailViewModel::refresh);
    connect(&store, &LauncherStore::selectedAppIDChanged, this, &AppDetailViewModel::refresh);
    connect(&store, &LauncherStore::includeBetaAppsChanged, this, &AppDetailViewModel::refresh);
    connect(&store, &LauncherStore::installStatesChanged, this, &AppDetailViewModel::restate);
    connect(&store, &LauncherStore::runningInstallsChanged, this, &AppDetailViewModel::restate);
    connect(&store, &LauncherStore::uninstallInProgressChanged, this, &AppDetailViewModel::restate);
    connect(&store, &LauncherStore::localeChanged, this, &AppDetailViewModel::restate);
    connect(&store, &LauncherStore::keptVersionsChanged, this, &AppDetailViewModel::restate);
}

void AppDetailViewModel::refresh() {
    app_ = store_ ? store_->selectedApp() : std::nullopt;
    Q_EMIT changed();
}

void AppDetailViewModel::restate() {
    Q_EMIT changed();
}

NimbaraLocale AppDetailViewModel::locale() const {
    return store_ ? store_->locale() : NimbaraLocale::en;
}

AppPresentation AppDetailViewModel::app() const {
    return app_ ? appPresentation(*app_, locale()) : AppPresentation();
}

QString AppDetailViewModel::stateLine() const {
    return app_ ? stateOf(store_, app_).label(locale()) : QString();
}

QString AppDetailViewModel::actionDetail() const {
    if (!app_) {
        return {};
    }
    if (installing()) {
        if (const std::optional<InstallTransfer> transfer = store_->installTransfer(app_->id)) {
            const QString line = downloadDetail(transfer->receivedBytes, transfer->totalBytes,
                                                transfer->bytesPerSecond, locale());
            if (!line.isEmpty()) {
                return line;
            }
        }
    }
    return nimbara::actionDetail(*app_, stateOf(store_, app_), locale());
}

QString AppDetailViewModel::primaryTitle() const {
    return app_ ? NimbaraCopy::text(primaryAction(*app_, stateOf(store_, app_)).title, locale())
                : QString();
}

ButtonVariant AppDetailViewModel::primaryVariant() const {
    return app_ ? primaryAction(*app_, stateOf(store_, app_)).variant : ButtonVariant::Primary;
}

QString AppDetailViewModel::primarySymbol() const {
    return app_ ? QString(primaryAction(*app_, stateOf(store_, app_)).symbol) : QString();
}

bool AppDetailViewModel::primaryEnabled() const {
    return app_ && primaryAction(*app_, stateOf(store_, app_)).enabled;
}

bool AppDetailViewModel::installing() const {
    return app_ && stateOf(store_, app_).kind() == AppInstallState::Case::installing;
}

double AppDetailViewModel::progress() const {
    return installing() ? stateOf(store_, app_).progress() : 0.0;
}

bool AppDetailViewModel::canCancel() const {
    return installing() && store_->canCancelInstall(app_->id);
}

bool AppDetailViewModel::showsRemove() const {
    return app_ && offersRemoval(stateOf(store_, app_));
}

bool AppDetailViewModel::removeEnabled() const {
    return showsRemove() && store_ && !store_->uninstallInProgress();
}

bool AppDetailViewModel::showsMetadata() const {
    return app_ && ManifestPolicy::hasPublishedRelease(*app_);
}

QVariantList AppDetailViewModel::metadataRows() const {
    QVariantList rows;
    if (app_) {
        for (const DetailRow& row : nimbara::metadataRows(*app_, locale())) {
            rows.append(QVariant::fromValue(MetadataRow{row.label, row.value}));
        }
    }
    return rows;
}

QStringList AppDetailViewModel::tags() const {
    return app_ ? app_->tags : QStringList();
}

QVariantList AppDetailViewModel::releaseNotes() const {
    QVariantList notes;
    if (app_) {
        const QString accent = QString(AppAccents::rawValue(app_->accent));
        for (const ReleaseNote& note : app_->releaseNotes) {
            notes.append(
                QVariant::fromValue(ReleaseNoteRow{note.version, note.date, note.text, accent}));
        }
    }
    return notes;
}

QString AppDetailViewModel::rollbackTitle() const {
    const std::optional<QString> version =
        store_ && app_ ? store_->rollbackVersion(app_->id) : std::nullopt;
    return version
               ? NimbaraCopy::text(CopyKey::rollBackAction, locale(), {{u"version"_s, *version}})
               : QString();
}

QString AppDetailViewModel::removeConfirmTitle() const {
    return app_ ? NimbaraCopy::text(CopyKey::removeAppConfirmTitle, locale(),
                                    {{u"app"_s, app_->name}})
                : QString();
}

QString AppDetailViewModel::removeConfirmBody() const {
    return app_ ? NimbaraCopy::text(CopyKey::removeAppConfirmBody, locale(),
                                    {{u"app"_s, app_->name}})
                : QString();
}

void AppDetailViewModel::performPrimaryAction() {
    if (!store_ || !app_) {
        return;
    }
    switch (primaryAction(*app_, store_->state(*app_)).kind) {
    case PrimaryActionKind::refreshCatalog:
        startDetached(store_->loadManifest(), logUi(), QStringLiteral("catalog refresh"));
        break;
    case PrimaryActionKind::open:
        store_->open(*app_);
        break;
    case PrimaryActionKind::update:
    case PrimaryActionKind::install:
        store_->install(*app_);
        break;
    case PrimaryActionKind::none:
        break;
    }
}

void AppDetailViewModel::cancelInstall() {
    if (canCancel()) {
        store_->cancelInstall(app_->id);
    }
}

void AppDetailViewModel::rollBack() {
    if (!rollbackTitle().isEmpty()) {
        startDetached(store_->rollBack(app_->id), logUi(),
                      QStringLiteral("rollback of ") + app_->id);
    }
}

void AppDetailViewModel::confirmRemoval(const QString& appID) {
    if (store_ && !appID.isEmpty()) {
        startDetached(store_->uninstall(appID, false), logUi(),
                      QStringLiteral("removal of ") + appID);
    }
}

} // namespace nimbara
