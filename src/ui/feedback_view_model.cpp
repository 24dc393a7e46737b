#include "ui/feedback_view_model.h"

#include "catalog/manifest_policy.h"
#include "contracts/feedback_records.h"
#include "core/logging.h"
#include "platform/detached_task.h"
#include "store/launcher_store.h"
#include "text/nimbara_copy.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace nimbara {

namespace {

FeedbackType wireType(FeedbackTypes::FeedbackType type) {
    switch (type) {
    case FeedbackTypes::FeedbackType::Bug:
        return FeedbackType::bug;
    case FeedbackTypes::FeedbackType::Idea:
        return FeedbackType::idea;
    case FeedbackTypes::FeedbackType::Improvement:
        return FeedbackType::improvement;
    case FeedbackTypes::FeedbackType::Other:
        return FeedbackType::other;
    }
    return FeedbackType::bug;
}

} // namespace

FeedbackViewModel::FeedbackViewModel(QObject* parent) : StoreViewModel(parent) {}

void FeedbackViewModel::observe(LauncherStore& store) {
    connect(&store, &LauncherStore::manifestChanged, this, &FeedbackViewModel::reloadApps);
    connect(&store, &LauncherStore::includeBetaAppsChanged, this, &FeedbackViewModel::reloadApps);
    connect(&store, &LauncherStore::localeChanged, this, [this] {
        Q_EMIT choicesChanged();
        Q_EMIT submissionChanged();
    });
    connect(&store, &LauncherStore::feedbackStateChanged, this, [this] {
        Q_EMIT submissionChanged();
        recheckCanSubmit();
    });
}

void FeedbackViewModel::refresh() {
    // The related app starts as the app the library shows, once; later changes of the store's
    // selection leave the user's choice alone.
    if (store_ && !preselected_) {
        preselected_ = true;
        const std::optional<AppManifestItem> selected = store_->selectedApp();
        relatedAppID_ = selected ? selected->id : QString();
    }
    reloadApps();
    Q_EMIT submissionChanged();
    recheckCanSubmit();
}

void FeedbackViewModel::reloadApps() {
    apps_.clear();
    if (store_) {
        for (const AppManifestItem& app :
             ManifestPolicy::visibleApps(store_->manifest(), store_->includeBetaApps())) {
            apps_.append({app.id, app.name});
        }
    }
    // An app that left the catalog can no longer be chosen.
    if (!relatedAppID_.isEmpty() &&
        std::none_of(apps_.cbegin(), apps_.cend(),
                     [this](const RelatedApp& app) { return app.id == relatedAppID_; })) {
        relatedAppID_.clear();
    }
    Q_EMIT choicesChanged();
    Q_EMIT relatedAppChanged();
}

void FeedbackViewModel::setType(FeedbackTypes::FeedbackType type) {
    if (type_ != type) {
        type_ = type;
        Q_EMIT typeChanged();
    }
}

QVariantList FeedbackViewModel::typeChoices() const {
    const NimbaraLocale locale = store_ ? store_->locale() : NimbaraLocale::en;
    QVariantList choices;
    for (const FeedbackTypes::FeedbackType type : FeedbackTypes::allCases()) {
        choices.append(QVariant::fromValue(
            FeedbackTypeChoice{type, NimbaraCopy::text(FeedbackTypes::title(type), locale)}));
    }
    return choices;
}

void FeedbackViewModel::setRelatedAppID(const QString& appID) {
    if (relatedAppID_ != appID) {
        relatedAppID_ = appID;
        Q_EMIT relatedAppChanged();
    }
}

int FeedbackViewModel::relatedAppIndex() const {
    for (qsizetype row = 0; row < apps_.size(); ++row) {
        if (apps_[row].id == relatedAppID_) {
            return int(row) + 1;
        }
    }
    return 0;
}

void FeedbackViewModel::setRelatedAppIndex(int index) {
    setRelatedAppID(index >= 1 && index <= apps_.size() ? apps_[index - 1].id : QString());
}

QStringList FeedbackViewModel::relatedAppNames() const {
    const NimbaraLocale locale = store_ ? store_->locale() : NimbaraLocale::en;
    QStringList names{NimbaraCopy::text(CopyKey::feedbackNoRelatedApp, locale)};
    for (const RelatedApp& app : apps_) {
        names.append(app.name);
    }
    return names;
}

void FeedbackViewModel::setTitle(const QString& title) {
    if (title_ != title) {
        title_ = title;
        Q_EMIT titleChanged();
        recheckCanSubmit();
    }
}

void FeedbackViewModel::setDescription(const QString& description) {
    if (description_ != description) {
        description_ = description;
        Q_EMIT descriptionChanged();
        recheckCanSubmit();
    }
}

bool FeedbackViewModel::canSubmit() const {
    return store_ && !submitting() && feedbackFieldsComplete(title_, description_);
}

void FeedbackViewModel::recheckCanSubmit() {
    const bool now = canSubmit();
    if (canSubmit_ != now) {
        canSubmit_ = now;
        Q_EMIT canSubmitChanged();
    }
}

bool FeedbackViewModel::submitting() const {
    return store_ && store_->feedbackState().kind == FeedbackSubmissionState::Case::submitting;
}

bool FeedbackViewModel::submitted() const {
    return store_ && store_->feedbackState().kind == FeedbackSubmissionState::Case::submitted;
}

bool FeedbackViewModel::failed() const {
    return store_ && store_->feedbackState().kind == FeedbackSubmissionState::Case::failed;
}

QString FeedbackViewModel::failureMessage() const {
    return failed() ? store_->feedbackState().message : QString();
}

QString FeedbackViewModel::issueLine() const {
    if (!submitted()) {
        return {};
    }
    const std::optional<QString>& identifier = store_->feedbackState().issue.identifier;
    return identifier ? NimbaraCopy::text(CopyKey::feedbackIssue, store_->locale(),
                                          {{u"identifier"_s, *identifier}})
                      : QString();
}

void FeedbackViewModel::submit() {
    if (!canSubmit() || submitted()) {
        return;
    }
    const std::optional<QString> appID =
        relatedAppID_.isEmpty() ? std::nullopt : std::optional<QString>(relatedAppID_);
    // The store trims the texts, and marks the submission as running before this returns,
    // which closes the way for a second press until it has ended.
    startDetached(store_->submitFeedback(wireType(type_), title_, description_, appID), logUi(),
                  u"feedback submission"_s);
}

void FeedbackViewModel::close() {
    if (store_) {
        store_->setShowingFeedbackSheet(false);
        store_->setFeedbackState(FeedbackSubmissionState::idle());
    }
}

} // namespace nimbara
