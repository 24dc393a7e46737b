#pragma once

#include "ui/app_list_model.h"
#include "ui/store_view_model.h"

#include <QString>

namespace nimbara {

// The first-run screen: the published apps with their ticks, the counts of its status line and
// footer, and whether the user may continue. The ticks live in the store, so they survive a
// catalog refresh; this model only reads them and asks the store to change them.
class OnboardingViewModel : public nimbara::StoreViewModel {
    Q_OBJECT
    QML_ELEMENT
    // The published apps in catalog order; the role "starterSelected" is each app's tick.
    Q_PROPERTY(nimbara::AppListModel* apps READ apps CONSTANT)
    Q_PROPERTY(int publishedCount READ publishedCount NOTIFY countsChanged)
    Q_PROPERTY(int selectedCount READ selectedCount NOTIFY countsChanged)
    Q_PROPERTY(bool canContinue READ canContinue NOTIFY countsChanged)

public:
    explicit OnboardingViewModel(QObject* parent = nullptr);

    AppListModel* apps() { return &apps_; }
    int publishedCount() const { return apps_.count(); }
    // The size of the store's starter selection, including ticked apps not listed now.
    int selectedCount() const;
    // False without published apps or with nothing ticked.
    bool canContinue() const;

    // Ticks `appID` when unticked and unticks it otherwise; an id that is not listed is refused.
    Q_INVOKABLE void toggle(const QString& appID);
    // Marks onboarding complete and starts the installs of the ticked apps.
    Q_INVOKABLE void finish();

Q_SIGNALS:
    void countsChanged();

protected:
    void observe(LauncherStore& store) override;
    void refresh() override;

private:
    void onSelectionChanged();

    AppListModel apps_;
};

} // namespace nimbara
