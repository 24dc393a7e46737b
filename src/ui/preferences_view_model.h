#pragma once

#include "ui/store_view_model.h"

#include <QString>
#include <QStringList>

namespace nimbara {

// The preferences screen: the general settings, the launch-at-login notes and the
// uninstall-everything section with its confirmation. Lives with the settings window's content;
// the delete-app-data choice is its own view state, false when it is made.
class PreferencesViewModel : public nimbara::StoreViewModel {
    Q_OBJECT
    QML_ELEMENT
    // The user's launch-at-login wish (not the system's actual state).
    Q_PROPERTY(
        bool launchAtLogin READ launchAtLogin WRITE setLaunchAtLogin NOTIFY launchAtLoginChanged)
    // The system wants the user to approve the login item.
    Q_PROPERTY(bool showsApprovalNote READ showsApprovalNote NOTIFY launchAtLoginChanged)
    // The last change was refused; errorNote says why.
    Q_PROPERTY(bool showsErrorNote READ showsErrorNote NOTIFY launchAtLoginChanged)
    Q_PROPERTY(QString errorNote READ errorNote NOTIFY launchAtLoginChanged)
    Q_PROPERTY(bool includeBetaApps READ includeBetaApps WRITE setIncludeBetaApps NOTIFY
                   includeBetaAppsChanged)
    // The picker's entries ("EN", "PL", "DE") and the one of the store's locale.
    Q_PROPERTY(QStringList languages READ languages CONSTANT)
    Q_PROPERTY(int languageIndex READ languageIndex WRITE setLanguageIndex NOTIFY localeChanged)
    Q_PROPERTY(
        bool deleteAppData READ deleteAppData WRITE setDeleteAppData NOTIFY deleteAppDataChanged)
    Q_PROPERTY(bool uninstallEnabled READ uninstallEnabled NOTIFY uninstallChanged)
    Q_PROPERTY(bool showingUninstallConfirmation READ showingUninstallConfirmation WRITE
                   setShowingUninstallConfirmation NOTIFY uninstallChanged)
    Q_PROPERTY(QString confirmationMessage READ confirmationMessage NOTIFY confirmationChanged)

public:
    explicit PreferencesViewModel(QObject* parent = nullptr);

    bool launchAtLogin() const;
    void setLaunchAtLogin(bool enabled);
    bool showsApprovalNote() const;
    bool showsErrorNote() const;
    QString errorNote() const;
    bool includeBetaApps() const;
    void setIncludeBetaApps(bool include);
    QStringList languages() const;
    int languageIndex() const;
    void setLanguageIndex(int index);
    bool deleteAppData() const { return deleteAppData_; }
    void setDeleteAppData(bool deleteData);
    bool uninstallEnabled() const;
    bool showingUninstallConfirmation() const;
    void setShowingUninstallConfirmation(bool showing);
    QString confirmationMessage() const;

    Q_INVOKABLE void openLoginItemSettings();
    // Onboarding is shown again (where the catalog has published apps).
    Q_INVOKABLE void resetOnboarding();
    // Asks for the uninstall-everything confirmation, unless an uninstall runs.
    Q_INVOKABLE void requestUninstall();
    // The confirmation was accepted: removes every managed app and the launcher, with the
    // delete-app-data choice of this moment, without waiting for the end.
    Q_INVOKABLE void confirmUninstall();

Q_SIGNALS:
    void launchAtLoginChanged();
    void includeBetaAppsChanged();
    void localeChanged();
    void deleteAppDataChanged();
    void uninstallChanged();
    void confirmationChanged();

protected:
    void observe(LauncherStore& store) override;
    void refresh() override;

private:
    NimbaraLocale locale() const;

    bool deleteAppData_ = false;
};

} // namespace nimbara
