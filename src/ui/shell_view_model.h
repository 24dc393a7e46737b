#pragma once

#include "ui/app_presentation.h"
#include "ui/screen_records.h"
#include "ui/store_view_model.h"

#include <QString>
#include <QStringList>
#include <QVariantList>

namespace nimbara {

// The root view, shell and sidebar: whether onboarding replaces the shell, the sidebar's rows
// and categories, the pending announcement, the one error message and the feedback sheet.
class ShellViewModel : public nimbara::StoreViewModel {
    Q_OBJECT
    QML_ELEMENT
    // SidebarRow values in sidebar order.
    Q_PROPERTY(QVariantList sections READ sections NOTIFY catalogChanged)
    Q_PROPERTY(int visibleAppCount READ visibleAppCount NOTIFY catalogChanged)
    Q_PROPERTY(QStringList categories READ categories NOTIFY catalogChanged)
    Q_PROPERTY(bool requiresOnboarding READ requiresOnboarding NOTIFY onboardingChanged)
    Q_PROPERTY(bool onboardingComplete READ onboardingComplete NOTIFY onboardingChanged)
    Q_PROPERTY(bool hasPendingAnnouncement READ hasPendingAnnouncement NOTIFY announcementChanged)
    // A pending announcement, and no onboarding screen to cover.
    Q_PROPERTY(bool showsAnnouncement READ showsAnnouncement NOTIFY announcementChanged)
    // The texts of the pending announcement; empty without one.
    Q_PROPERTY(nimbara::AnnouncementText announcement READ announcement NOTIFY announcementChanged)
    Q_PROPERTY(bool hasAnnouncedApp READ hasAnnouncedApp NOTIFY announcementChanged)
    // The announced app; empty when it is not visible.
    Q_PROPERTY(nimbara::AppPresentation announcedApp READ announcedApp NOTIFY announcementChanged)
    Q_PROPERTY(bool hasError READ hasError NOTIFY errorChanged)
    Q_PROPERTY(QString errorMessage READ errorMessage NOTIFY errorChanged)
    Q_PROPERTY(bool showingFeedbackSheet READ showingFeedbackSheet WRITE setShowingFeedbackSheet
                   NOTIFY feedbackChanged)

public:
    explicit ShellViewModel(QObject* parent = nullptr);

    QVariantList sections() const;
    int visibleAppCount() const { return visibleAppCount_; }
    QStringList categories() const { return categories_; }
    bool requiresOnboarding() const;
    bool onboardingComplete() const;
    bool hasPendingAnnouncement() const;
    bool showsAnnouncement() const;
    AnnouncementText announcement() const;
    bool hasAnnouncedApp() const;
    AppPresentation announcedApp() const;
    bool hasError() const;
    QString errorMessage() const;
    bool showingFeedbackSheet() const;
    void setShowingFeedbackSheet(bool showing);

    // The alert was dismissed, whichever way.
    Q_INVOKABLE void clearError();
    Q_INVOKABLE void acknowledgeAnnouncement();
    Q_INVOKABLE void openAnnouncedApp();
    // A fresh feedback form: the submission state back to idle, then the sheet shown.
    Q_INVOKABLE void openFeedbackSheet();

Q_SIGNALS:
    void catalogChanged();
    void onboardingChanged();
    void announcementChanged();
    void errorChanged();
    void feedbackChanged();

protected:
    void observe(LauncherStore& store) override;
    void refresh() override;

private:
    void recountCatalog();
    void onCatalogChanged();

    int visibleAppCount_ = 0;
    QStringList categories_;
};

} // namespace nimbara
