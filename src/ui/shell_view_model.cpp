#include "ui/shell_view_model.h"

#include "catalog/manifest_policy.h"
#include "presentation/shell_rules.h"
#include "presentation/sidebar_section.h"
#include "store/launcher_store.h"
#include "text/nimbara_copy.h"
#include "ui/app_presentation.h"

using namespace Qt::StringLiterals;

namespace nimbara {

ShellViewModel::ShellViewModel(QObject* parent) : StoreViewModel(parent) {}

void ShellViewModel::observe(LauncherStore& store) {
    connect(&store, &LauncherStore::manifestChanged, this, &ShellViewModel::onCatalogChanged);
    connect(&store, &LauncherStore::includeBetaAppsChanged, this,
            &ShellViewModel::onCatalogChanged);
    connect(&store, &LauncherStore::localeChanged, this, [this] {
        Q_EMIT catalogChanged();
        Q_EMIT announcementChanged();
    });
    connect(&store, &LauncherStore::onboardingCompleteChanged, this, [this] {
        Q_EMIT onboardingChanged();
        Q_EMIT announcementChanged();
    });
    connect(&store, &LauncherStore::pendingAnnouncementChanged, this,
            &ShellViewModel::announcementChanged);
    connect(&store, &LauncherStore::errorMessageChanged, this, &ShellViewModel::errorChanged);
    connect(&store, &LauncherStore::showingFeedbackSheetChanged, this,
            &ShellViewModel::feedbackChanged);
}

void ShellViewModel::refresh() {
    recountCatalog();
    Q_EMIT catalogChanged();
    Q_EMIT onboardingChanged();
    Q_EMIT announcementChanged();
    Q_EMIT errorChanged();
    Q_EMIT feedbackChanged();
}

void ShellViewModel::onCatalogChanged() {
    recountCatalog();
    Q_EMIT catalogChanged();
    // Whether onboarding is needed and which app an announcement opens follow the catalog.
    Q_EMIT onboardingChanged();
    Q_EMIT announcementChanged();
}

void ShellViewModel::recountCatalog() {
    const QList<AppManifestItem> visible =
        store_ ? ManifestPolicy::visibleApps(store_->manifest(), store_->includeBetaApps())
               : QList<AppManifestItem>();
    visibleAppCount_ = static_cast<int>(visible.size());
    categories_ = sortedCategories(visible);
}

QVariantList ShellViewModel::sections() const {
    const NimbaraLocale locale = store_ ? store_->locale() : NimbaraLocale::en;
    QVariantList rows;
    for (const SidebarSection section : SidebarSections::allCases()) {
        rows.append(QVariant::fromValue(SidebarRow{
            section,
            NimbaraCopy::text(SidebarSections::title(section), locale),
            QString(SidebarSections::symbol(section)),
            section == SidebarSection::AllApps,
            section == SidebarSection::Settings,
        }));
    }
    return rows;
}

bool ShellViewModel::requiresOnboarding() const {
    return store_ && store_->requiresOnboarding();
}

bool ShellViewModel::onboardingComplete() const {
    return store_ && store_->onboardingComplete();
}

bool ShellViewModel::hasPendingAnnouncement() const {
    return store_ && store_->pendingAnnouncement().has_value();
}

bool ShellViewModel::showsAnnouncement() const {
    return hasPendingAnnouncement() && !requiresOnboarding();
}

AnnouncementText ShellViewModel::announcement() const {
    if (!hasPendingAnnouncement()) {
        return {};
    }
    const LauncherAnnouncement& pending = *store_->pendingAnnouncement();
    return {pending.title, pending.body, pending.version.value_or(QString())};
}

bool ShellViewModel::hasAnnouncedApp() const {
    return !announcedApp().id.isEmpty();
}

AppPresentation ShellViewModel::announcedApp() const {
    if (!hasPendingAnnouncement()) {
        return {};
    }
    const std::optional<AppManifestItem> app = nimbara::announcedApp(
        *store_->pendingAnnouncement(),
        ManifestPolicy::visibleApps(store_->manifest(), store_->includeBetaApps()));
    return app ? appPresentation(*app, store_->locale()) : AppPresentation();
}

bool ShellViewModel::hasError() const {
    return store_ && store_->errorMessage().has_value();
}

QString ShellViewModel::errorMessage() const {
    return store_ ? store_->errorMessage().value_or(QString()) : QString();
}

bool ShellViewModel::showingFeedbackSheet() const {
    return store_ && store_->showingFeedbackSheet();
}

void ShellViewModel::setShowingFeedbackSheet(bool showing) {
    if (store_) {
        store_->setShowingFeedbackSheet(showing);
    }
}

void ShellViewModel::clearError() {
    if (store_) {
        store_->setErrorMessage(std::nullopt);
    }
}

void ShellViewModel::acknowledgeAnnouncement() {
    if (store_) {
        store_->acknowledgePendingAnnouncement();
    }
}

void ShellViewModel::openAnnouncedApp() {
    if (store_) {
        store_->selectPendingAnnouncementApp();
    }
}

void ShellViewModel::openFeedbackSheet() {
    if (store_) {
        store_->setFeedbackState(FeedbackSubmissionState::idle());
        store_->setShowingFeedbackSheet(true);
    }
}

} // namespace nimbara
